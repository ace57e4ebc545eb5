# Fuzzes a faulty component, then replays the scenario the fuzzer wrote: the
# fuzzer must report a finding (exit 1) and the replay must show the same rule,
# as must the HTML page of the fuzz run (the replay played and drawn).
#   cmake -DEMULATOR=... -DPANELHOST=... -DLIBRARY=... -DUI=... -DREPLAY=... -P fuzz_replay.cmake
file(REMOVE ${REPLAY}.html)
execute_process(COMMAND ${EMULATOR} ${PANELHOST} fuzz ${LIBRARY} --seed 11 --events 300
                        --ui ${UI} --out ${REPLAY} --html ${REPLAY}.html
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT status EQUAL 1)
    message(FATAL_ERROR "fuzz exit status ${status}, expected 1 (a finding)")
endif()
if(NOT output MATCHES "finding ([A-Z][A-Z][0-9]) ")
    message(FATAL_ERROR "fuzz printed no finding")
endif()
set(rule ${CMAKE_MATCH_1})
# The replay says what it needs: the library and the UI folder.
file(READ ${REPLAY} replay)
if(NOT replay MATCHES "# library: [^\n]+" OR NOT replay MATCHES "# ui folder: [^\n]+")
    message(FATAL_ERROR "the replay does not name its library and UI folder")
endif()
execute_process(COMMAND ${EMULATOR} ${PANELHOST} ${LIBRARY} ${REPLAY} --ui ${UI}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
# Once in a few hundred runs under a loaded machine's Wine, this replay has ended
# with status 1 and no output at all, which panelhost itself never does (every run
# prints its header, or a fatal message); such a run is made once more, and said.
if(EMULATOR AND "${output}${errors}" STREQUAL "")
    message("the emulator gave no output at all (status ${status}); replaying once more")
    execute_process(COMMAND ${EMULATOR} ${PANELHOST} ${LIBRARY} ${REPLAY} --ui ${UI}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
endif()
message("${output}${errors}")
if(NOT status EQUAL 1)
    message(FATAL_ERROR "replay exit status ${status}, expected 1")
endif()
if(NOT output MATCHES "!! [a-z]+ ${rule} ")
    message(FATAL_ERROR "the replay does not show ${rule}")
endif()
file(READ ${REPLAY}.html page)
if(NOT page MATCHES "id=\"run-data\">([^<]*)</script>")
    message(FATAL_ERROR "the fuzz run's page holds no run data")
endif()
set(data "${CMAKE_MATCH_1}")
string(JSON status GET "${data}" status)
if(NOT status EQUAL 1 OR NOT data MATCHES "\"rule\":\"${rule}\"[^}]*\"type\":\"breach\""
   OR NOT data MATCHES "\"type\":\"state\"")
    message(FATAL_ERROR "the fuzz run's page does not draw the replay showing ${rule}")
endif()
