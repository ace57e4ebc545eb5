# Checks that the README's command-line section is exactly what --help prints
# (each line indented by four spaces), lines ending in a line feed:
#   cmake -DEMULATOR=... -DPANELHOST=... -DREADME=... -P help_in_readme.cmake
execute_process(COMMAND ${EMULATOR} ${PANELHOST} --help RESULT_VARIABLE status
                OUTPUT_VARIABLE help ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "--help exit status ${status}: ${errors}")
endif()
string(FIND "${help}" "\r" carriageReturn)
if(NOT carriageReturn EQUAL -1)
    message(FATAL_ERROR "--help ends its lines with CRLF")
endif()
string(REGEX REPLACE "\n$" "" help "${help}")
string(REPLACE "\n" "\n    " indented "    ${help}")
string(REGEX REPLACE "\n    \n" "\n\n" indented "${indented}\n")
file(READ ${README} readme)
string(FIND "${readme}" "${indented}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the README does not hold --help as printed:\n${indented}")
endif()
