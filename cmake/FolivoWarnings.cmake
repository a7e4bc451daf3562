# folivo_warnings(target): the warning set every target of the project builds with.
function(folivo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(FOLIVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
