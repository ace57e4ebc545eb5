// LivePage: the page of a live session. It is the report's page
// (output/report.html, through HtmlReport) with no record yet, and the live
// script (live/live.js, built into panelhost) added, which draws the session's
// records with the report's own drawing functions as they arrive, and holds
// what the session is driven with.
#pragma once

#include <string>
#include <vector>

// `library` heads the page; `suggestions` are the parent commands offered
// (the component's own list of what it takes); `record` is the file the page
// offers to save the session to.
std::string livePage(const std::string& library, const std::vector<std::string>& suggestions,
                     const std::string& record);
