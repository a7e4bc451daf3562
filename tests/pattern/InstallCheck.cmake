# Installs the library's component into a staging folder, then builds a client
# against the installed files only, once through the CMake package and once
# through pkg-config, both as C++17, and runs both. Checks that the library
# exports the component's interface and nothing of the engine or the internals.
# Arguments: BUILD_DIR STAGE_DIR LIB_DIR CXX CLIENT_DIR CLIENT_FLAGS
file(REMOVE_RECURSE "${STAGE_DIR}")
set(prefix "${STAGE_DIR}/prefix")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" --component patternkit
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(lib "${prefix}/${LIB_DIR}/libpatternkit.so")
foreach(f "${prefix}/include/patternkit/RegularExpression.h" "${prefix}/include/framework/CArchive.h" "${lib}"
          "${prefix}/${LIB_DIR}/cmake/patternkit/patternkitConfig.cmake"
          "${prefix}/${LIB_DIR}/cmake/patternkit/patternkitConfigVersion.cmake"
          "${prefix}/${LIB_DIR}/pkgconfig/patternkit.pc")
  if(NOT EXISTS "${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
if(EXISTS "${prefix}/include/framework/Windows1252.h")
  message(FATAL_ERROR "installed, though the library exports none of it: include/framework/Windows1252.h")
endif()

function(run_client client how)
  execute_process(COMMAND "${client}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc)
    message(FATAL_ERROR "installed client built ${how} failed (${rc}):\n${out}${err}")
  endif()
  message(STATUS "${how}: ${out}")
endfunction()

# The CMake way: find_package(patternkit CONFIG) and the target patternkit::patternkit.
set(cmake_build "${STAGE_DIR}/cmake-client")
execute_process(COMMAND "${CMAKE_COMMAND}" -S "${CLIENT_DIR}" -B "${cmake_build}"
                        "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}"
                        "-DCMAKE_CXX_FLAGS=${CLIENT_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${CLIENT_FLAGS}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc)
  execute_process(COMMAND "${CMAKE_COMMAND}" --build "${cmake_build}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
if(rc)
  message(FATAL_ERROR "the client does not build with find_package(patternkit):\n${out}${err}")
endif()
run_client("${cmake_build}/installed_client" "with find_package")

# The pkg-config way.
set(ENV{PKG_CONFIG_PATH} "${prefix}/${LIB_DIR}/pkgconfig")
execute_process(COMMAND pkg-config --cflags --libs patternkit
                RESULT_VARIABLE rc OUTPUT_VARIABLE pc_flags ERROR_VARIABLE err OUTPUT_STRIP_TRAILING_WHITESPACE)
if(rc)
  message(FATAL_ERROR "pkg-config does not find patternkit:\n${err}")
endif()
# The folders as installed, without "..".
if(NOT pc_flags STREQUAL "-I${prefix}/include -L${prefix}/${LIB_DIR} -lpatternkit")
  message(FATAL_ERROR "pkg-config's flags do not name the installed folders: ${pc_flags}")
endif()
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(flags UNIX_COMMAND "${CLIENT_FLAGS}")
set(pc_client "${STAGE_DIR}/pkg-config-client")
execute_process(COMMAND "${CXX}" -std=c++17 ${flags} "${CLIENT_DIR}/InstalledClient.cpp" -o "${pc_client}" ${pc_flags}
                        "-Wl,-rpath,${prefix}/${LIB_DIR}"
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc)
  message(FATAL_ERROR "the client does not build with pkg-config's flags:\n${err}")
endif()
run_client("${pc_client}" "with pkg-config")

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
