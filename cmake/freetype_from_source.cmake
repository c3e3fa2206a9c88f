# FreeType built from Debian's source package of the installed
# libfreetype-dev's version (tools/freetype_source.sh), for a build with no
# FreeType of its own to find, such as the Windows cross-build. It is linked
# statically as Freetype::Freetype and installs nothing. Of the optional
# libraries only zlib is used, through FreeType's bundled copy, for
# gzip-compressed fonts; bzip2, PNG, HarfBuzz and Brotli are left out.
execute_process(
  COMMAND bash ${PROJECT_SOURCE_DIR}/tools/freetype_source.sh ${CMAKE_BINARY_DIR}/_deps
  OUTPUT_VARIABLE freetype_source OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE freetype_source_status)
if(NOT freetype_source_status EQUAL 0)
  message(FATAL_ERROR "tools/freetype_source.sh could not provide FreeType's source")
endif()

# FreeType's own options; FT_DISABLE_ZLIB means its bundled zlib.
foreach(option FT_DISABLE_ZLIB FT_DISABLE_BZIP2 FT_DISABLE_PNG FT_DISABLE_HARFBUZZ FT_DISABLE_BROTLI)
  set(${option} ON CACHE BOOL "Set by cmake/freetype_from_source.cmake" FORCE)
endforeach()
set(BUILD_SHARED_LIBS OFF)
set(SKIP_INSTALL_ALL ON)
add_subdirectory(${freetype_source} ${CMAKE_BINARY_DIR}/_deps/freetype-build EXCLUDE_FROM_ALL)
add_library(Freetype::Freetype ALIAS freetype)
# Built with FreeType's own flags, not the toolkit's warnings.
set_property(TARGET freetype PROPERTY COMPILE_OPTIONS -w)
