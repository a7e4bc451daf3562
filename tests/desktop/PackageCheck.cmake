# Builds the Debian package, unpacks it into a scratch root and runs the
# programs it holds; its dependencies must have been found from the shared
# libraries they link. Arguments: BUILD_DIR STAGE_DIR CPACK VERSION
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
foreach(program folivo folivo-converter folivo-desktop-integration)
  execute_process(COMMAND "${root}/usr/bin/${program}" --version
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(rc OR NOT out STREQUAL "${program} ${VERSION}")
    message(FATAL_ERROR "the packaged ${program} --version: ${rc} '${out}' ${err}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb -f "${deb}" Depends OUTPUT_VARIABLE depends)
foreach(library libqt6widgets6 libboost-regex1.74 zlib1g libc6)
  string(FIND "${depends}" "${library}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package does not depend on ${library}: ${depends}")
  endif()
endforeach()
message(STATUS "${deb}: Depends: ${depends}")
