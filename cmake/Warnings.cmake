# Warnings as errors on our own code only; third-party headers come in as SYSTEM.
function(plovermix_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
    -Wno-sign-conversion -Werror)
endfunction()
