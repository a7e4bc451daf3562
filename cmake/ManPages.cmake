# folivo_man_page(NAME): installs the manual page res/man/NAME.1.in in
# section 1, telling the version the programs print, compressed as Debian
# wants manual pages: gzip -9n keeps the file's name and time out of the
# header, so that every build of a version gives the same bytes.
find_program(GZIP gzip REQUIRED)
function(folivo_man_page name)
  set(page ${PROJECT_BINARY_DIR}/man/${name}.1)
  configure_file(${PROJECT_SOURCE_DIR}/res/man/${name}.1.in ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz COMMAND ${GZIP} -9nkf ${page} DEPENDS ${page} VERBATIM)
  add_custom_target(man-${name} ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
