# panelhost under a file-size limit, as on a full disk. An output that cannot be
# written whole leaves the file that was there as it was, leaves nothing beside
# it, and exits 2; the starter leaves no folder behind. panelhost's own files
# failing (its channel of the child's records, its capture of what the component
# writes, standard output itself) is its own fatal error: exit 2, never a breach
# of a correct component.
#   cmake -DPANELHOST=... -DLIBRARY=... -DUI=... -DDEMO=... -DOUT=folder -P size_limit.cmake
file(REMOVE_RECURSE ${OUT})
# Each testcase of a JUnit report names the scenario's path: a long one makes
# the report outgrow the records that make it.
string(REPEAT "a-folder-whose-name-repeats-in-each-testcase-" 4 long)
set(folder ${OUT}/${long})
file(MAKE_DIRECTORY ${folder})

# Runs panelhost with files limited to `kib` KiB, a write past it failing
# (SIGXFSZ ignored) as on a full disk.
function(limited kib)
    execute_process(COMMAND bash -c "trap '' XFSZ; ulimit -f ${kib}; exec \"$@\"" bash
                            ${PANELHOST} ${ARGN}
                    WORKING_DIRECTORY ${OUT} RESULT_VARIABLE status OUTPUT_VARIABLE output
                    ERROR_VARIABLE errors)
    set(status ${status} PARENT_SCOPE)
    set(output "${output}${errors}" PARENT_SCOPE)
endfunction()

function(fail what)
    message(FATAL_ERROR "${what}: exit ${status}\n${output}")
endfunction()

# The scenarios: a recording much longer than its records (comments are
# recorded, not played), and many expectations in the long folder.
set(recording "load\n")
foreach(i RANGE 300)
    string(APPEND recording "# a comment that the recording keeps and the records never hold\n")
endforeach()
file(WRITE ${OUT}/kept.scenario "${recording}")
set(many "load\n")
foreach(i RANGE 40)
    string(APPEND many "  expect property 1 myDest text = \"\"\n")
endforeach()
file(WRITE ${folder}/many.scenario "${many}")
file(WRITE ${OUT}/page.html "an earlier page\n")
file(WRITE ${OUT}/report.xml "an earlier report\n")

# Each output over the file before it: the old file is kept, and exit 2.
foreach(case "kept.scenario|the recorded scenario|${OUT}/kept.scenario|--record"
             "page.html|the HTML page|${folder}/many.scenario|--html"
             "report.xml|the JUnit report|${folder}/many.scenario|--junit")
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 target)
    list(GET fields 1 what)
    list(GET fields 2 scenario)
    list(GET fields 3 option)
    file(READ ${OUT}/${target} before)
    limited(8 ${LIBRARY} ${scenario} ${option} ${target} --ui ${UI})
    file(READ ${OUT}/${target} after)
    file(GLOB partial ${OUT}/*.partial-*)
    if(NOT status EQUAL 2 OR NOT output MATCHES "cannot write ${what} to ${target}")
        fail("${option} past the limit")
    endif()
    if(NOT after STREQUAL before OR partial)
        fail("${option} past the limit changed ${target} or left ${partial}")
    endif()
endforeach()

# The starter: nothing of it stays.
limited(1 new Beacon starter)
if(NOT status EQUAL 2 OR EXISTS ${OUT}/starter)
    fail("panelhost new past the limit")
endif()

# panelhost's own files: the records of the demo's child, the records of
# validate's first child, the capture of the debug output while fuzzing (which
# sends no debug record), the component's configuration.
string(REPEAT "x" 6000 value)
file(WRITE ${OUT}/setting.scenario "setting PKG long = ${value}\nload\n")
foreach(case "4|${LIBRARY}|${DEMO}" "4|validate|${LIBRARY}" "16|fuzz|${LIBRARY}|--seconds|2"
             "4|${LIBRARY}|${OUT}/setting.scenario")
    string(REPLACE "|" ";" arguments "${case}")
    list(POP_FRONT arguments kib)
    limited(${kib} ${arguments} --ui ${UI})
    if(NOT status EQUAL 2 OR output MATCHES "CR[0-9]" OR
       NOT output MATCHES "panelhost's own failure, not the component's")
        fail("${arguments} past panelhost's own limit")
    endif()
endforeach()
# Standard output itself on a full device: the transcript is lost, so exit 2.
execute_process(COMMAND ${PANELHOST} ${LIBRARY} ${DEMO} --ui ${UI} OUTPUT_FILE /dev/full
                RESULT_VARIABLE status ERROR_VARIABLE output)
if(NOT status EQUAL 2 OR NOT output MATCHES "could not be written whole to standard output")
    fail("the demo's transcript to a full device")
endif()
message("every output kept its old file past the limit; panelhost's own failures exit 2")
