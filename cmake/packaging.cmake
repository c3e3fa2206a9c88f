# Packages of the installed programs, made by cpack in a build directory:
#
#   cpack -G DEB    a Debian package (Linux build): the programs, their man
#                   pages, the README, the licenses and the web page; the
#                   libraries it needs are found by dpkg-shlibdeps
#   cpack -G ZIP    a .zip of the Windows programs (MinGW build) and the web
#                   page
#
# The version is the project's, set once in project().
# The licenses, the stb PNG writer's among them, go with every package;
# Debian keeps a package's as /usr/share/doc/PACKAGE/copyright.
install(FILES README.md LICENSE packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The web page, where it was built before (cmake --workflow --preset web):
# share/bdfrom/web/ in the Debian package, web/ at the top of the .zip.
set(TOOLKIT_WEB_SITE ${PROJECT_SOURCE_DIR}/build-web/site CACHE PATH "The built web page the packages carry")
if(WIN32)
  set(web_destination web)
else()
  set(web_destination ${CMAKE_INSTALL_DATADIR}/${PROJECT_NAME}/web)
endif()
install(DIRECTORY ${TOOLKIT_WEB_SITE}/ DESTINATION ${web_destination} OPTIONAL)

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The bdfrom authors")
set(CPACK_PACKAGE_CONTACT "The bdfrom authors <bdfrom@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Converters from BDF fonts to character and kanji ROM images, with a viewer")
set(CPACK_PACKAGE_DESCRIPTION
  "glyphmill writes a 1024-kanji ROM image and cellforge two character ROM images from BDF bitmap fonts; romview draws, lists, compares and exports the images, and fontprep turns PCF, TrueType and other fonts into BDF.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
endif()

include(CPack)
