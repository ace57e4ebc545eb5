# The HTML page as a person sees it, in headless Chromium: the demo's page
# renders (a screenshot 1280 px wide and of more than a trivial size), the last
# step of its DOM holds every control of the panel with the values that the
# run's panel record gives, its statesheets are drawn by the rule the legend
# names, the page of a failing scenario marks the failure, links it to its line
# from the summary and the timeline and labels its implicit steps as such,
# validate's page of a faulty component links what a check found to its steps,
# and the page of a panel of buttons (PANEL: instances named A, B, C and D,
# each pressed in turn, its parent relaying the selection) shows the four side
# by side and, after each press and what the parent delivered for it, that one
# button alone high.
#   cmake -DPANELHOST=... -DLIBRARY=... -DUI=... -DDEMO=... -DFAILING=... -DFAILING_LINE=N
#         [-DFAULTY=library] [-DPANEL=scenario] -DBROWSER=headless-chromium.sh -DOUT=folder
#         -P report_in_browser.cmake
# Where the machine has no chromium it says "browser tests skipped" and ends.
# The screenshots are OUT/demo-report.png and OUT/destination-panel-report.png
# (scripts/report-screenshot.sh copies them).
file(MAKE_DIRECTORY ${OUT})

function(browse page what)
    execute_process(COMMAND bash ${BROWSER} ${ARGN} ${page} RESULT_VARIABLE status
                    OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 90)
    if(status EQUAL 77)
        message("browser tests skipped: ${errors}")
        set(skipped TRUE PARENT_SCOPE)
        return()
    endif()
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "chromium could not ${what} ${page} (status ${status}): ${errors}")
    endif()
    set(skipped FALSE PARENT_SCOPE)
    set(browsed "${output}" PARENT_SCOPE)
endfunction()

# The value of an XPath expression over a DOM that Chromium dumped.
function(xpath dom expression)
    execute_process(COMMAND xmllint --html --xpath "${expression}" ${dom}
                    OUTPUT_VARIABLE value ERROR_QUIET)
    string(STRIP "${value}" value)
    set(found "${value}" PARENT_SCOPE)
endfunction()

function(expect_xpath dom expression wanted)
    xpath(${dom} "${expression}")
    if(NOT "${found}" STREQUAL "${wanted}")
        message(FATAL_ERROR "${dom}: ${expression} is '${found}', expected '${wanted}'")
    endif()
endfunction()

# The demo: its page, and its last panel record in JSON.
execute_process(COMMAND ${PANELHOST} ${LIBRARY} ${DEMO} --ui ${UI} --json --html ${OUT}/demo.html
                RESULT_VARIABLE status OUTPUT_VARIABLE records)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the demo exits ${status}")
endif()
if(NOT records MATCHES "\n({\"controls\"[^\n]*\"type\":\"panel\"})")
    message(FATAL_ERROR "the demo's JSON holds no panel record")
endif()
set(panel "${CMAKE_MATCH_1}")

browse(${OUT}/demo.html "dump the DOM of" --dump-dom)
if(skipped)
    return()
endif()
file(WRITE ${OUT}/demo.dom.html "${browsed}")
expect_xpath(${OUT}/demo.dom.html "string(//*[@id='summary']//*[contains(@class,'verdict')])"
             "PASS")
set(last "(//article[contains(@class,'step')])[last()]")
string(JSON controls LENGTH "${panel}" controls)
math(EXPR controls "${controls} - 1")
set(checked 0)
foreach(c RANGE ${controls})
    string(JSON control GET "${panel}" controls ${c} name)
    string(JSON properties LENGTH "${panel}" controls ${c} properties)
    math(EXPR properties "${properties} - 1")
    foreach(p RANGE ${properties})
        string(JSON property GET "${panel}" controls ${c} properties ${p} 0)
        string(JSON value GET "${panel}" controls ${c} properties ${p} 1)
        # The demo's values are printable: shown as they are, the empty one as "".
        if(value STREQUAL "")
            set(value "\"\"")
        endif()
        expect_xpath(${OUT}/demo.dom.html
                     "string(${last}//*[@data-control='${control}']//*[@data-property='${property}'])"
                     "${value}")
        math(EXPR checked "${checked} + 1")
    endforeach()
endforeach()
xpath(${OUT}/demo.dom.html "count(${last}//*[@data-property])")
if(NOT found EQUAL checked OR checked LESS 10)
    message(FATAL_ERROR "the last step shows ${found} properties; the panel record has ${checked}")
endif()
# A statesheet named with a colour word is drawn in that colour (amber's edge);
# the legend says which rule drew each, the word or the name's own colour.
expect_xpath(${OUT}/demo.dom.html
             "count(${last}//*[@data-control='tally_L1'][contains(@style,'#d98200')])" "1")
expect_xpath(${OUT}/demo.dom.html "string(//*[@data-sheet='tally_amber'])"
             "tally_amber from the colour word amber")
expect_xpath(${OUT}/demo.dom.html "string(//*[@data-sheet='dest_low'])"
             "dest_low a colour of its own, from its name")

file(REMOVE ${OUT}/demo-report.png)
browse(${OUT}/demo.html "screenshot" --window-size=1280,1400 --screenshot=${OUT}/demo-report.png)
file(SIZE ${OUT}/demo-report.png bytes)
file(READ ${OUT}/demo-report.png header LIMIT 24 HEX)
# The PNG signature, then the IHDR chunk: width 1280 (0x500), height 1400 (0x578).
if(NOT header STREQUAL "89504e470d0a1a0a0000000d494844520000050000000578")
    message(FATAL_ERROR "the screenshot is not a 1280 x 1400 PNG: ${header}")
endif()
if(bytes LESS 60000)
    message(FATAL_ERROR "the screenshot is ${bytes} bytes: the page drew next to nothing")
endif()

# A failing scenario: the failure is marked, listed in the summary and on the
# timeline, each a link to the line that failed.
execute_process(COMMAND ${PANELHOST} ${LIBRARY} ${FAILING} --ui ${UI} --html ${OUT}/failing.html
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 1)
    message(FATAL_ERROR "the failing scenario exits ${status}, not 1")
endif()
browse(${OUT}/failing.html "dump the DOM of" --dump-dom)
file(WRITE ${OUT}/failing.dom.html "${browsed}")
set(dom ${OUT}/failing.dom.html)
set(link "@href='#line-${FAILING_LINE}'")
expect_xpath(${dom} "string(//*[@id='summary']//*[contains(@class,'verdict')])" "FAIL")
expect_xpath(${dom} "count(//*[@id='summary']//a[${link}])" "1")
expect_xpath(${dom} "count(//*[@id='line-${FAILING_LINE}'][contains(@class,'fail')])" "1")
expect_xpath(${dom} "count(//*[contains(@class,'timeline')]//a[contains(@class,'red')][${link}])" "1")
expect_xpath(${dom} "count(//article[contains(@class,'fail')])" "1")
# The steps the scenario did not write say so, with no line of their own.
expect_xpath(${dom} "string(//article[contains(@class,'implicit')][last()]//h4/a)"
             "implicit destroy at the end")
# validate: a check that failed says what it found in the summary, each line
# a link to the first breach of its rule among the check's own steps.
if(DEFINED FAULTY)
    execute_process(COMMAND ${PANELHOST} validate ${FAULTY} --only VL3 --ui ${UI}
                            --html ${OUT}/validate.html
                    RESULT_VARIABLE status OUTPUT_QUIET)
    if(NOT status EQUAL 1)
        message(FATAL_ERROR "validating the faulty component exits ${status}, not 1")
    endif()
    browse(${OUT}/validate.html "dump the DOM of" --dump-dom)
    file(WRITE ${OUT}/validate.dom.html "${browsed}")
    set(dom ${OUT}/validate.dom.html)
    xpath(${dom} "string((//*[@id='summary']//li/a[starts-with(@href,'#VL3-line-')])[1]/@href)")
    string(REGEX REPLACE "^#" "" target "${found}")
    if(target STREQUAL "")
        message(FATAL_ERROR "validate's page links nothing VL3 found to its steps")
    endif()
    expect_xpath(${dom} "count(//*[@id='run-VL3']//article[@id='${target}'][contains(@class,'fail')])"
                 "1")
endif()
# A panel of four buttons: all four drawn after the last step, and the
# selection moving from button to button as each is pressed.
if(DEFINED PANEL)
    execute_process(COMMAND ${PANELHOST} ${LIBRARY} ${PANEL} --ui ${UI} --html ${OUT}/panel.html
                    RESULT_VARIABLE status OUTPUT_QUIET)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "the panel of buttons exits ${status}")
    endif()
    browse(${OUT}/panel.html "dump the DOM of" --dump-dom)
    file(WRITE ${OUT}/panel.dom.html "${browsed}")
    set(dom ${OUT}/panel.dom.html)
    set(sheet "//*[@data-control='myDest']//*[@data-property='statesheet']")
    expect_xpath(${dom} "count(//section[@class='final']//*[@data-instance]${sheet})" "4")
    foreach(button A B C D)
        # The press, and the last command the parent delivered in answer to it:
        # every button's panel as the chain left it.
        xpath(${dom} "string((//article[@data-instance='${button}'][starts-with(.//code,'${button}: press')])[1]/@id)")
        if(NOT found MATCHES "^line-([0-9]+)-${button}$")
            message(FATAL_ERROR "the page has no press of ${button}: '${found}'")
        endif()
        set(after "//article[@id='line-${CMAKE_MATCH_1}-D-parent']")
        expect_xpath(${dom} "string(${after}//*[@data-instance='${button}']${sheet})" "button_high")
        expect_xpath(${dom} "count(${after}//*[@data-instance]${sheet}[.='button_high'])" "1")
        expect_xpath(${dom} "count(${after}//*[@data-instance]${sheet}[.='button_low'])" "3")
    endforeach()
    file(REMOVE ${OUT}/destination-panel-report.png)
    browse(${OUT}/panel.html "screenshot" --window-size=1280,1400
           --screenshot=${OUT}/destination-panel-report.png)
    file(SIZE ${OUT}/destination-panel-report.png bytes)
    if(bytes LESS 60000)
        message(FATAL_ERROR "the panel's screenshot is ${bytes} bytes: the page drew next to nothing")
    endif()
    set(panel_said ", the selection moving over four buttons")
endif()
message("the pages render: ${checked} properties of the demo's panel as the run left them, "
        "line ${FAILING_LINE} of the failing scenario marked and linked${panel_said}")
