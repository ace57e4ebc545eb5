# High warning level for every target of the project; warnings are kept at zero.
# Microsoft's compiler and clang-cl take Microsoft's flags; clang-cl also takes
# clang's own warnings.
function(quillon_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /permissive-)
        # fopen, strncpy and their kin are the standard C the code is written in,
        # not a choice the Microsoft runtime's "secure" variants should flag.
        target_compile_definitions(${target} PRIVATE _CRT_SECURE_NO_WARNINGS)
        if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
            target_compile_options(${target} PRIVATE -Wpedantic -Wshadow -Wold-style-cast)
        endif()
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                                 -Wold-style-cast)
    endif()
endfunction()
