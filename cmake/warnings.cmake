# Warnings for the project's own libraries; errors where KERBOLT_WERROR is on (CI).
function(kerbolt_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
    # GCC 12 at -O3 takes the standard library's own "text" + string concatenation for an
    # overlapping copy, a false report fixed in GCC 13 (its bug 105329); a release build would
    # print dozens of them. Only that compiler's release builds go without the warning.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
       AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-restrict>)
    endif()
    if(KERBOLT_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# Results of float arithmetic must not change with the compiler's choice of fused instructions.
add_compile_options(-ffp-contract=off)
