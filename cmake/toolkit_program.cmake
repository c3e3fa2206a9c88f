# toolkit_program(NAME SOURCES source... [LIBRARIES library...])
#
# What every program of the toolkit needs: the executable from its sources
# and libraries, the toolkit's version as TOOLKIT_VERSION, the install of
# the program into bin/ and of its man page man/NAME.1 into share/man/man1/
# (and so into the packages), and a place in the list of programs. The list
# is written to programs.txt in the build folder, one name a line, which
# .ci/run and the package smoke run read; the tests get each program's path
# as NAME_PATH (GLYPHMILL_PATH, ...).
include(GNUInstallDirs)

function(toolkit_program name)
  cmake_parse_arguments(PARSE_ARGV 1 program "" "" "SOURCES;LIBRARIES")
  add_executable(${name} ${program_SOURCES})
  target_link_libraries(${name} PRIVATE ${program_LIBRARIES})
  target_compile_definitions(${name} PRIVATE TOOLKIT_VERSION="${PROJECT_VERSION}")
  if(EMSCRIPTEN)
    toolkit_web_module(${name})
    return()
  endif()
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/man/${name}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  set_property(GLOBAL APPEND PROPERTY TOOLKIT_PROGRAMS ${name})
endfunction()

# In the web build (Emscripten) a program is NAME.js and NAME.wasm: a
# factory createNAME (createGlyphmill, ...) that makes a fresh instance of
# the program with its own files in memory (MEMFS), whose callMain(args)
# runs main once and returns its exit status. The site in web/ runs them;
# nothing is installed.
function(toolkit_web_module name)
  string(SUBSTRING ${name} 0 1 first)
  string(TOUPPER ${first} first)
  string(SUBSTRING ${name} 1 -1 rest)
  target_link_options(${name} PRIVATE
    -sMODULARIZE=1 -sEXPORT_NAME=create${first}${rest}
    -sINVOKE_RUN=0 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
    -sEXPORTED_RUNTIME_METHODS=callMain,FS -sENVIRONMENT=web,worker,node)
  set_property(GLOBAL APPEND PROPERTY TOOLKIT_PROGRAMS ${name})
endfunction()

# The programs made so far, in the order they were added.
function(toolkit_programs out)
  get_property(programs GLOBAL PROPERTY TOOLKIT_PROGRAMS)
  set(${out} ${programs} PARENT_SCOPE)
endfunction()
