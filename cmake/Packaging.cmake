# The Debian package of the whole product: both programs, the integration
# helper, the library with its headers, the help pages, the icon, the desktop
# entry and the manual pages. Its dependencies are found from the shared
# libraries the programs link (dpkg-shlibdeps, from dpkg-dev).
#   cmake --build build && (cd build && cpack -G DEB)
set(CPACK_PACKAGE_NAME folivo-converter)
set(CPACK_PACKAGE_VENDOR "Kavvan Software")
set(CPACK_PACKAGE_CONTACT "Kavvan Software <folivo@kavvan.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts text and HTML documents into Palm e-books (PalmDoc, zTXT)")
set(CPACK_PACKAGE_DESCRIPTION "Folivo Converter turns plain-text and HTML documents into Palm OS e-books,
one PalmDoc or zTXT database per document, after cleaning the text by rules
of your choice and with bookmarks made by a regular expression. It has a
desktop program with a conversion wizard and a preview, a command line for
scripts, and the pattern library patternkit.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

# Debian keeps a package's licence in /usr/share/doc/<package>/copyright, in
# its machine-readable format: LICENSE's holder and text, under the format's
# short name for this licence (Expat), every line indented by one space and an
# empty one written as ".".
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
if(NOT licence MATCHES "\nCopyright \\(c\\) ([^\n]+)\n(.+)")
  message(FATAL_ERROR "LICENSE has no line \"Copyright (c) ...\"")
endif()
set(COPYRIGHT_HOLDER "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " LICENSE_TEXT " ${licence}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
