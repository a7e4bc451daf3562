# Builds the Debian package, unpacks it into a scratch root and runs the
# programs it holds; its dependencies must have been found from the shared
# libraries they link. Arguments: BUILD_DIR STAGE_DIR CPACK VERSION
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
