# expect_program_versions(BIN VERSION): each program of the product in the
# folder BIN runs and tells VERSION.
function(expect_program_versions bin version)
  foreach(program folivo folivo-converter folivo-desktop-integration)
    execute_process(COMMAND "${bin}/${program}" --version
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(rc OR NOT out STREQUAL "${program} ${version}")
      message(FATAL_ERROR "${bin}/${program} --version: ${rc} '${out}' ${err}")
    endif()
  endforeach()
endfunction()
