# Warnings for the project's own libraries; errors where KERBOLT_WERROR is on (CI).
function(kerbolt_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
    if(KERBOLT_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# Results of float arithmetic must not change with the compiler's choice of fused instructions.
add_compile_options(-ffp-contract=off)
