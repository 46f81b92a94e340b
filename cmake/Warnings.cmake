# Warnings as errors on our own code only; third-party headers come in as SYSTEM.
# -Wrestrict stays a warning under GCC: GCC 12 reports it falsely inside
# std::string's operator+ at -O2 (GCC bug 105329). Clang has no such flag.
function(plovermix_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
    -Wno-sign-conversion -Werror $<$<CXX_COMPILER_ID:GNU>:-Wno-error=restrict>)
endfunction()
