# Installs the library's component into a staging folder, builds a client against the
# installed header and library only, runs it, and checks that the library
# exports the component's interface and nothing of the engine or the internals.
# Arguments: BUILD_DIR STAGE_DIR LIB_DIR CXX CLIENT_SOURCE CLIENT_FLAGS
file(REMOVE_RECURSE "${STAGE_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${STAGE_DIR}" --component patternkit
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(lib "${STAGE_DIR}/${LIB_DIR}/libpatternkit.so")
foreach(f "${STAGE_DIR}/include/patternkit/RegularExpression.h" "${STAGE_DIR}/include/framework/CArchive.h" "${lib}")
  if(NOT EXISTS "${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

separate_arguments(flags UNIX_COMMAND "${CLIENT_FLAGS}")
# The installed headers ask for no more than C++17, cleanly.
foreach(standard 17 20)
  set(client "${STAGE_DIR}/installed-client-${standard}")
  execute_process(COMMAND "${CXX}" -std=c++${standard} -Wall -Wextra -Wpedantic -Werror ${flags} "${CLIENT_SOURCE}"
                          -o "${client}" -I "${STAGE_DIR}/include" -L "${STAGE_DIR}/${LIB_DIR}" -lpatternkit
                          "-Wl,-rpath,${STAGE_DIR}/${LIB_DIR}"
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(rc)
    message(FATAL_ERROR "client does not build as C++${standard} against the installed files:\n${err}")
  endif()
  execute_process(COMMAND "${client}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc)
    message(FATAL_ERROR "installed client (C++${standard}) failed (${rc}):\n${out}${err}")
  endif()
endforeach()

execute_process(COMMAND nm -D -C --defined-only "${lib}" OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "nm failed on ${lib}")
endif()
foreach(required "RegularExpression::Grep()" "RegularExpression::Serialize(CArchive&)" "CArchive::ReadObject")
  string(FIND "${symbols}" "${required}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "not exported: ${required}")
  endif()
endforeach()
string(REGEX MATCHALL "[^\n]*(boost|patternkit::|platform::|re_detail)[^\n]*" leaks "${symbols}")
if(leaks)
  list(JOIN leaks "\n" text)
  message(FATAL_ERROR "the library exports internals:\n${text}")
endif()
message(STATUS "${out}")
