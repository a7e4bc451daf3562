# Builds the Debian package, unpacks it into a scratch root and runs the
# programs it holds; its dependencies must have been found from the shared
# libraries they link; it is dressed as Debian wants (the licence, the manual
# pages, the library's pkg-config file). Arguments: BUILD_DIR STAGE_DIR CPACK
# VERSION LIB_DIR LICENSE
include(${CMAKE_CURRENT_LIST_DIR}/ProgramVersions.cmake)
file(REMOVE_RECURSE "${STAGE_DIR}")
execute_process(COMMAND "${CPACK}" -G DEB -B "${STAGE_DIR}" WORKING_DIRECTORY "${BUILD_DIR}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB deb "${STAGE_DIR}/folivo-converter_*.deb")
if(rc OR NOT deb)
  message(FATAL_ERROR "cpack -G DEB failed (${rc}):\n${out}${err}")
endif()

set(root "${STAGE_DIR}/root")
execute_process(COMMAND dpkg-deb -x "${deb}" "${root}" RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "dpkg-deb -x failed on ${deb}")
endif()
expect_program_versions("${root}/usr/bin" "${VERSION}")

execute_process(COMMAND dpkg-deb -f "${deb}" Depends OUTPUT_VARIABLE depends)
foreach(library libqt6widgets6 libboost-regex1.74 zlib1g libc6)
  string(FIND "${depends}" "${library}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package does not depend on ${library}: ${depends}")
  endif()
endforeach()
message(STATUS "${deb}: Depends: ${depends}")

# The licence in Debian's machine-readable copyright format, its Expat
# paragraph holding LICENSE's text: every line one space in, an empty line
# as " ." (a blank one would end the paragraph).
set(copyright "${root}/usr/share/doc/folivo-converter/copyright")
if(NOT EXISTS "${copyright}")
  message(FATAL_ERROR "the package has no ${copyright}")
endif()
file(READ "${copyright}" text)
file(READ "${LICENSE}" licence)
if(NOT licence MATCHES "\nCopyright \\(c\\) ([^\n]+)\n+(.*)")
  message(FATAL_ERROR "${LICENSE} has no copyright line")
endif()
set(holder "${CMAKE_MATCH_1}")
set(terms "${CMAKE_MATCH_2}")
string(FIND "${text}" "\n\nLicense: Expat\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${copyright}: no paragraph \"License: Expat\"")
endif()
math(EXPR at "${at} + 17")
string(SUBSTRING "${text}" ${at} -1 body)
string(REPLACE "\n .\n" "\n\n" decoded "${body}")
string(REGEX REPLACE "(^|\n) " "\\1" decoded "${decoded}")
if(NOT text MATCHES "^Format: https://www\\.debian\\.org/doc/packaging-manuals/copyright-format/1\\.0/\n"
   OR NOT text MATCHES "\n\nFiles: \\*\nCopyright: ${holder}\nLicense: Expat\n\n"
   OR "\n${body}" MATCHES "\n([^ ]| +\n)" OR NOT decoded STREQUAL terms)
  message(FATAL_ERROR "${copyright} is not LICENSE in Debian's copyright format:\n${text}")
endif()

# The manual pages: compressed by gzip -9n (no name and no time in the
# header, the best compression in its flags) and telling the programs' version.
foreach(page folivo folivo-converter folivo-desktop-integration)
  set(gz "${root}/usr/share/man/man1/${page}.1.gz")
  if(NOT EXISTS "${gz}")
    message(FATAL_ERROR "the package has no ${gz}")
  endif()
  file(READ "${gz}" header LIMIT 10 HEX)
  execute_process(COMMAND gzip -dc "${gz}" RESULT_VARIABLE rc OUTPUT_VARIABLE man)
  string(REGEX MATCH "^\\.TH [^\n]*" th "${man}")
  string(FIND "${th}" " \"Folivo Converter ${VERSION}\" " version)
  if(NOT header STREQUAL "1f8b0800000000000203" OR rc OR version EQUAL -1)
    message(FATAL_ERROR "${gz}: header ${header} (gzip -9n gives 1f8b0800000000000203), gzip -dc ${rc}, "
                        "'${th}' (should tell ${VERSION})")
  endif()
endforeach()

# pkg-config gives a client the folders as they are, without "..".
set(ENV{PKG_CONFIG_LIBDIR} "${root}/usr/${LIB_DIR}/pkgconfig")
execute_process(COMMAND pkg-config --variable=includedir patternkit OUTPUT_VARIABLE includedir
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND pkg-config --variable=libdir patternkit OUTPUT_VARIABLE libdir
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT includedir STREQUAL "/usr/include" OR NOT libdir STREQUAL "/usr/${LIB_DIR}")
  message(FATAL_ERROR "patternkit.pc: includedir '${includedir}', libdir '${libdir}'")
endif()
