# Plays every example and every scenario the panelhost tests play, and runs
# validate, fuzz and the command line's own answers, and compares what panelhost
# shows with the files kept in golden/: the transcript, the --json output (with
# --html, so that it holds the state records the page draws), the recorded
# scenario, validate's and fuzz's text, each with its standard error and exit
# status. With UPDATE (or QUILLON_UPDATE_GOLDEN=1 in the environment) it writes
# the files instead; scripts/update-goldens.sh does that for a build folder.
#   cmake -DPANELHOST=... -DBIN=folder -DSOURCE=... -DGOLDEN=... -DWORK=...
#         [-DPREFIX=lib -DSUFFIX=.so] [-DUPDATE=ON] -P golden_outputs.cmake
# BIN holds the libraries (Quillon, the faulty component, the own faults) and
# their ui/ folder; panelhost runs there and names them as the file alone, so
# that no path of the checkout shows in a command the component sends.
#
# What is masked, since it differs from run to run and says nothing of the code:
# - times: "micros":N of an end record; "N.N s" and "N.N ms" wherever validate
#   or fuzz shows a duration, and "seconds":N in their JSON; the slowest step
#   of VL5, whose place and length are the machine's (everything after
#   "slowest step"; validate runs with --skip VL5 here, since whether it warns
#   is the machine's too);
# - the events a time-limited fuzz run reached (VL6's "N events, seed");
# - addresses ("0x" and hex digits), which the loader places anew each run;
# - the paths of this checkout and build, shown as <source> and <work>, so
#   that any checkout compares alike.
if(DEFINED ENV{QUILLON_UPDATE_GOLDEN} AND "$ENV{QUILLON_UPDATE_GOLDEN}")
    set(UPDATE ON)
endif()
file(MAKE_DIRECTORY ${WORK} ${GOLDEN})
if(NOT DEFINED PREFIX)
    set(PREFIX lib)
endif()
if(NOT DEFINED SUFFIX)
    set(SUFFIX .so)
endif()
set(QUILLON ${PREFIX}quillon${SUFFIX})
set(FAULTY ${PREFIX}faulty_component${SUFFIX})
set(UI ui)
set(examples ${SOURCE}/examples)
set(tests ${SOURCE}/tests/panelhost_tests)
set(mismatches "")
set(compared 0)

function(masked text out)
    # The work folder first: it may lie in the checkout.
    string(REPLACE "${WORK}" "<work>" text "${text}")
    string(REPLACE "${SOURCE}" "<source>" text "${text}")
    string(REGEX REPLACE "\"micros\":[0-9]+" "\"micros\":<time>" text "${text}")
    string(REGEX REPLACE "\"seconds\":[0-9.e+-]+" "\"seconds\":<time>" text "${text}")
    string(REGEX REPLACE "slowest step [^\n]*" "slowest step <time>" text "${text}")
    string(REGEX REPLACE "[0-9]+\\.[0-9]+ (m?s)" "<time> \\1" text "${text}")
    string(REGEX REPLACE "[0-9]+ events, seed" "<n> events, seed" text "${text}")
    string(REGEX REPLACE "0x[0-9a-fA-F]+" "<address>" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Compares (or writes) golden/NAME with TEXT.
function(compare name text)
    masked("${text}" text)
    set(file ${GOLDEN}/${name})
    math(EXPR count "${compared} + 1")
    set(compared ${count} PARENT_SCOPE)
    if(UPDATE)
        file(WRITE ${file} "${text}")
        return()
    endif()
    if(NOT EXISTS ${file})
        set(mismatches "${mismatches}\n  ${name}: no golden file" PARENT_SCOPE)
        return()
    endif()
    file(READ ${file} golden)
    if(NOT golden STREQUAL text)
        file(WRITE ${WORK}/${name} "${text}")
        execute_process(COMMAND diff -u ${file} ${WORK}/${name} OUTPUT_VARIABLE difference)
        message("${name} differs:\n${difference}")
        set(mismatches "${mismatches}\n  ${name}" PARENT_SCOPE)
    endif()
endfunction()

# Runs panelhost with ARGN and compares its output as golden/NAME.
function(shown name)
    execute_process(COMMAND ${PANELHOST} ${ARGN} WORKING_DIRECTORY ${BIN}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    set(text "${output}")
    if(NOT errors STREQUAL "")
        string(APPEND text "--- standard error ---\n${errors}")
    endif()
    compare(${name} "${text}--- exit ${status} ---\n")
    set(compared ${compared} PARENT_SCOPE)
    set(mismatches "${mismatches}" PARENT_SCOPE)
endfunction()

# A scenario: its transcript, and its JSON with the page's state records.
function(played name library scenario)
    shown(${name}.txt ${library} ${scenario} --ui ${UI} ${ARGN})
    shown(${name}.jsonl ${library} ${scenario} --ui ${UI} --json --html ${WORK}/${name}.html
          ${ARGN})
    set(compared ${compared} PARENT_SCOPE)
    set(mismatches "${mismatches}" PARENT_SCOPE)
endfunction()

file(GLOB example_files ${examples}/*.scenario)
foreach(example ${example_files})
    get_filename_component(name ${example} NAME_WE)
    played(example_${name} ${QUILLON} ${example})
endforeach()
foreach(name audits crash instances output throw unforeseen)
    played(faulty_${name} ${FAULTY} ${tests}/faulty/${name}.scenario)
endforeach()
played(faulty_hang ${FAULTY} ${tests}/faulty/hang.scenario --timeout 1)
played(cli_crash_then_more ${FAULTY} ${tests}/cli/crash_then_more.scenario)
played(cli_bad_lines ${FAULTY} ${tests}/cli/bad_lines.scenario)
played(cli_no_step ${FAULTY} ${tests}/cli/no_step.scenario)
played(cli_quote ${QUILLON} ${tests}/cli/quote.scenario -v)
played(cli_unknown_control ${QUILLON} ${tests}/cli/unknown_control.scenario)
played(report_failing ${QUILLON} ${tests}/report/failing.scenario)

# Recorded scenarios: what --record writes, and what the run says of it.
foreach(case "demo|${QUILLON}|${examples}/demo.scenario" "audits|${FAULTY}|${tests}/faulty/audits.scenario")
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 library)
    list(GET fields 2 scenario)
    file(REMOVE ${WORK}/${name}.recorded)
    shown(record_${name}.txt ${library} ${scenario} --ui ${UI} --record ${WORK}/${name}.recorded)
    file(READ ${WORK}/${name}.recorded recorded)
    compare(record_${name}.scenario "${recorded}")
endforeach()

# validate and fuzz, as a person reads them. VL5 is left out: whether a step
# took longer than its bound is the machine's, not the code's.
shown(validate_quillon.txt validate ${QUILLON} --skip VL5 --seconds 0.5 --ui ${UI})
shown(validate_faulty.txt validate ${FAULTY} --skip VL5 --seconds 0.5 --ui ${UI})
shown(validate_faulty_selected.txt validate ${FAULTY} --only VL3,GB1,CT1 --skip CT2 --strict
      --seconds 0.5 --ui ${UI})
shown(validate_faulty_replay_selected.txt validate ${FAULTY} --only VL6,SH4,GB1 --skip SH1
      --strict --seconds 0.5 --ui ${UI})
foreach(fault crash_on_own_button reply_never_back leak_per_command null_lookup_kept deep_stack
              read_after_give_back write_past_nul)
    shown(validate_own_${fault}.txt validate ${PREFIX}own_${fault}${SUFFIX} --skip VL5
          --seconds 0.5 --ui ${UI})
endforeach()
shown(fuzz_faulty.txt fuzz ${FAULTY} --seed 11 --events 300 --ui ${UI})
# The same as records, for a program to read.
shown(validate_own_write_past_nul.jsonl validate ${PREFIX}own_write_past_nul${SUFFIX} --skip VL5
      --seconds 0.5 --ui ${UI} --json)
shown(fuzz_faulty.jsonl fuzz ${FAULTY} --seed 11 --events 300 --ui ${UI} --json)
shown(fuzz_quillon.txt fuzz ${QUILLON} --seed 7 --events 2000 --ui ${UI})
shown(fuzz_own_reply_back_twice.txt fuzz ${PREFIX}own_reply_back_twice${SUFFIX} --seed 2
      --events 500 --strict --ui ${UI})

# The command line's own answers and refusals.
shown(cli_help.txt --help)
shown(cli_list_rules.txt --list-rules)
shown(cli_usage_error.txt validate ${QUILLON} --record r.scenario)
shown(cli_usage_error_json.txt --json ${QUILLON})
shown(cli_events_bound.txt fuzz ${QUILLON} --events 0)
shown(cli_nothing_to_validate.txt validate ${QUILLON} --only VL1 --skip VL1)

if(UPDATE)
    message("wrote ${compared} golden files to ${GOLDEN}")
elseif(NOT mismatches STREQUAL "")
    message(FATAL_ERROR "outputs that differ from their golden files:${mismatches}\n"
                        "(if the change is meant: QUILLON_UPDATE_GOLDEN=1, or "
                        "scripts/update-goldens.sh)")
else()
    message("${compared} outputs equal their golden files")
endif()
