# Runs panelhost with --junit and checks that the report parses as XML and lists
# what it should:
#   cmake -DEMULATOR=... -DREPORT=file -DEXPECT_CASES=N -DEXPECT_STATUS=N
#         [-DEXPECT_XML=regex] -P junit_check.cmake -- PANELHOST ARGUMENTS...
# Every report must carry real times: not every testcase took no time.
include(${CMAKE_CURRENT_LIST_DIR}/command_after_separator.cmake)
file(REMOVE ${REPORT})
execute_process(COMMAND ${EMULATOR} ${command} --junit ${REPORT} RESULT_VARIABLE status
                OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT status EQUAL EXPECT_STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECT_STATUS}")
endif()
execute_process(COMMAND xmllint --noout ${REPORT} RESULT_VARIABLE parsed ERROR_VARIABLE why)
if(NOT parsed EQUAL 0)
    message(FATAL_ERROR "the JUnit report does not parse as XML: ${why}")
endif()
file(READ ${REPORT} xml)
string(REGEX MATCHALL "<testcase " cases "${xml}")
list(LENGTH cases count)
if(NOT count EQUAL EXPECT_CASES)
    message(FATAL_ERROR "the report lists ${count} testcases, expected ${EXPECT_CASES}")
endif()
if(DEFINED EXPECT_XML AND NOT xml MATCHES "${EXPECT_XML}")
    message(FATAL_ERROR "the report does not match '${EXPECT_XML}'")
endif()
if(NOT xml MATCHES "<testcase [^>]*time=\"[0-9]*\\.[0-9]*[1-9]")
    message(FATAL_ERROR "every testcase of the report took no time")
endif()
