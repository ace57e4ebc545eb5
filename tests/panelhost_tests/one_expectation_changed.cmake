# Plays a scenario with one expectation changed, for each case: the run must
# fail (exit 1) at that line, with every other expectation held. A case names
# the comment after which the line stands, the line's beginning, and the value
# it is changed to (a value the line does not hold):
#   cmake -DEMULATOR=... -DPANELHOST=... -DLIBRARY=... -DUI=... -DSCENARIO=...
#         -DOUT=folder "-DCASES=comment|line start|new value;..." -P one_expectation_changed.cmake
file(MAKE_DIRECTORY ${OUT})
file(READ ${SCENARIO} text)
# The scenario's own semicolons stand aside while its lines are a CMake list.
string(REPLACE ";" "<semicolon>" text "${text}")
string(REPLACE "\n" ";" lines "${text}")
set(number 0)
foreach(case IN LISTS CASES)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 comment)
    list(GET fields 1 start)
    list(GET fields 2 value)
    set(changed "")
    set(at 0)
    set(past FALSE)
    set(index 0)
    foreach(line IN LISTS lines)
        math(EXPR index "${index} + 1")
        string(STRIP "${line}" stripped)
        if(stripped STREQUAL comment)
            set(past TRUE)
        elseif(past AND at EQUAL 0 AND stripped MATCHES "^${start}")
            string(REGEX REPLACE "= .*$" "= ${value}" line "${line}")
            set(at ${index})
        endif()
        string(APPEND changed "${line}\n")
    endforeach()
    if(at EQUAL 0)
        message(FATAL_ERROR "no line '${start}' after '${comment}' in ${SCENARIO}")
    endif()
    math(EXPR number "${number} + 1")
    set(file ${OUT}/changed-${number}.scenario)
    string(REPLACE "<semicolon>" ";" changed "${changed}")
    file(WRITE ${file} "${changed}")
    execute_process(COMMAND ${EMULATOR} ${PANELHOST} ${LIBRARY} ${file} --ui ${UI}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    string(REGEX MATCHALL "\n *FAIL line [0-9]+" failures "${output}")
    if(NOT status EQUAL 1 OR NOT failures STREQUAL "\n    FAIL line ${at}")
        message(FATAL_ERROR "line ${at} changed to '${value}': exit ${status}, failed"
                            " '${failures}', expected exit 1 and line ${at} alone:\n"
                            "${output}${errors}")
    endif()
    message("line ${at} changed to '${value}': exit 1, failed at that line alone")
endforeach()
