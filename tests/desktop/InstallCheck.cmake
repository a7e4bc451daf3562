# Installs the whole product into a staging folder, checks that every part is
# in place, that the desktop entry is valid, and that the installed programs
# run. Arguments: BUILD_DIR STAGE_DIR LIB_DIR VERSION
include(${CMAKE_CURRENT_LIST_DIR}/ProgramVersions.cmake)
file(REMOVE_RECURSE "${STAGE_DIR}")
set(prefix "${STAGE_DIR}/prefix")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

foreach(f bin/folivo bin/folivo-converter bin/folivo-desktop-integration
          ${LIB_DIR}/libpatternkit.so
          share/folivo-converter/help/index.html share/folivo-converter/help/PAGE2.HTM
          share/applications/folivo-converter.desktop
          share/icons/hicolor/scalable/apps/folivo-converter.svg
          share/icons/hicolor/16x16/apps/folivo-converter.png
          share/icons/hicolor/48x48/apps/folivo-converter.png
          share/icons/hicolor/256x256/apps/folivo-converter.png
          share/man/man1/folivo.1.gz share/man/man1/folivo-converter.1.gz
          share/man/man1/folivo-desktop-integration.1.gz share/doc/folivo-converter/copyright)
  if(NOT EXISTS "${prefix}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

expect_program_versions("${prefix}/bin" "${VERSION}")

find_program(VALIDATE desktop-file-validate)
if(NOT VALIDATE)
  message(FATAL_ERROR "desktop-file-validate not found (package desktop-file-utils)")
endif()
# Its hints count too: they name entries that menus show wrongly.
execute_process(COMMAND "${VALIDATE}" "${prefix}/share/applications/folivo-converter.desktop"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc OR out OR err)
  message(FATAL_ERROR "the installed desktop entry is not valid:\n${out}${err}")
endif()
