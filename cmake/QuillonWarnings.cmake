# High warning level for every target of the project; warnings are kept at zero.
function(quillon_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wold-style-cast)
endfunction()
