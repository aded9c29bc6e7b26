# Warnings apply to our targets only; Qt's headers come in as system headers.
function(veltro_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
endfunction()
