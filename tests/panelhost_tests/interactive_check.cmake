# Plays a session typed at a terminal (a pseudo-terminal made by script(1)) and
# checks the prompt, help, show, an expectation's result shown at once, and quit:
#   cmake -DPANELHOST=... -DLIBRARY=... -DUI=... -DINPUT=file -P interactive_check.cmake
execute_process(COMMAND script -qfec "${PANELHOST} -i ${LIBRARY} --ui ${UI}" /dev/null
                INPUT_FILE ${INPUT} RESULT_VARIABLE status OUTPUT_VARIABLE output
                ERROR_VARIABLE errors)
message("${output}${errors}")
foreach(pattern "panelhost> " "quit, exit" "routers registered: 20"
                "ok   line 5: expect sent" "FAIL line 6: expect sent"
                "line 8, column 1: unknown keyword 'expct'" "summary: 3 steps")
    if(NOT "${output}" MATCHES "${pattern}")
        message(FATAL_ERROR "the session does not show '${pattern}'")
    endif()
endforeach()
