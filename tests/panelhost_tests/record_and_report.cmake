# Records a scenario (--record) and plays what was recorded: the recording must
# pass, hold at least as many held expectations as the scenario played as
# written, and play the same traffic (steps, commands, events and replies, in
# every instance) as the run it was recorded from. With STRIP the scenario's
# expectations are taken out before it is recorded. The recording run's HTML page (--html) must hold its records as
# JSON, a state after each step among them.
#   cmake -DEMULATOR=... -DPANELHOST=... -DLIBRARY=... -DUI=... -DSCENARIO=...
#         -DOUT=folder [-DSTRIP=ON] -P record_and_report.cmake
file(MAKE_DIRECTORY ${OUT})

# Plays a scenario with --json and counts its held and failed expectations.
function(play scenario)
    execute_process(COMMAND ${EMULATOR} ${PANELHOST} ${LIBRARY} ${scenario} --ui ${UI} --json
                            ${ARGN}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    string(REGEX MATCHALL "\"held\":true" held "${output}")
    string(REGEX MATCHALL "\"held\":false" failed "${output}")
    list(LENGTH held held)
    list(LENGTH failed failed)
    set(status ${status} PARENT_SCOPE)
    set(output "${output}${errors}" PARENT_SCOPE)
    set(held ${held} PARENT_SCOPE)
    set(failed ${failed} PARENT_SCOPE)
    # The traffic, its lines aside: the recording has lines of its own.
    string(REGEX MATCHALL "[^\n]*\"type\":\"(step|sent|event|reply)\"[^\n]*" traffic
           "${output}")
    string(REGEX REPLACE "\"line\":[0-9]+," "" traffic "${traffic}")
    set(traffic "${traffic}" PARENT_SCOPE)
endfunction()

play(${SCENARIO})
set(written ${held})
set(source ${SCENARIO})
if(STRIP)
    file(STRINGS ${SCENARIO} lines)
    set(source ${OUT}/stripped.scenario)
    file(WRITE ${source} "")
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^[ \t]*([A-Za-z0-9_.-]+:[ \t]*)?expect ")
            file(APPEND ${source} "${line}\n")
        endif()
    endforeach()
endif()

file(REMOVE ${OUT}/recorded.scenario ${OUT}/recorded.html)
play(${source} --record ${OUT}/recorded.scenario --html ${OUT}/recorded.html)
if(NOT status EQUAL 0 OR NOT output MATCHES "\"type\":\"recorded\"")
    message(FATAL_ERROR "recording ${source} exits ${status}, or says nothing of it:\n${output}")
endif()
set(recorded_traffic "${traffic}")
play(${OUT}/recorded.scenario)
if(NOT traffic STREQUAL recorded_traffic)
    message(FATAL_ERROR "the recording plays other traffic than the run it was recorded from")
endif()
if(NOT status EQUAL 0 OR failed GREATER 0 OR held LESS written)
    message(FATAL_ERROR "the recording exits ${status} with ${held} expectations held and "
                        "${failed} failed; the scenario as written holds ${written}:\n${output}")
endif()

file(READ ${OUT}/recorded.html page)
if(NOT page MATCHES "<script type=\"application/json\" id=\"run-data\">([^<]*)</script>")
    message(FATAL_ERROR "the page holds no run data")
endif()
set(data "${CMAKE_MATCH_1}")
string(JSON records LENGTH "${data}" runs 0 records)
string(JSON status GET "${data}" status)
if(records LESS 10 OR NOT status EQUAL 0 OR NOT data MATCHES "\"type\":\"state\"")
    message(FATAL_ERROR "the page's data holds ${records} records, status ${status}")
endif()
list(LENGTH traffic alike)
message("recorded ${source}: ${held} expectations held when played, ${written} as written, "
        "${alike} records of traffic alike; the page holds ${records} records")
