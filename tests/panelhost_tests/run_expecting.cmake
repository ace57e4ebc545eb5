# Runs one command and checks its exit status and, optionally, its output:
#   cmake -DEMULATOR=... -DEXPECT_STATUS=N [-DEXPECT_OUTPUT=regex] [-DREJECT_OUTPUT=regex]
#         [-DEXPECT_EACH=re1,re2,...] [-DINPUT=file] -P run_expecting.cmake -- COMMAND...
# EMULATOR (Wine for the Windows build, empty natively) is put before the command;
# INPUT, when given, is its standard input.
include(${CMAKE_CURRENT_LIST_DIR}/command_after_separator.cmake)
if(DEFINED INPUT)
    set(input INPUT_FILE ${INPUT})
endif()
execute_process(COMMAND ${EMULATOR} ${command} RESULT_VARIABLE status ${input}
                OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT status EQUAL EXPECT_STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECT_STATUS}")
endif()
if(DEFINED EXPECT_OUTPUT AND NOT "${output}${errors}" MATCHES "${EXPECT_OUTPUT}")
    message(FATAL_ERROR "the output does not match '${EXPECT_OUTPUT}'")
endif()
if(DEFINED EXPECT_EACH)
    string(REPLACE "," ";" each "${EXPECT_EACH}")
    foreach(pattern ${each})
        if(NOT "${output}${errors}" MATCHES "${pattern}")
            message(FATAL_ERROR "the output does not match '${pattern}'")
        endif()
    endforeach()
endif()
if(DEFINED REJECT_OUTPUT AND "${output}${errors}" MATCHES "${REJECT_OUTPUT}")
    message(FATAL_ERROR "the output matches '${REJECT_OUTPUT}', which it must not")
endif()
