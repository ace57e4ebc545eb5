// The page template of --html (output/report.html), built into panelhost so
// that the program needs no file beside it to write a page.
#pragma once

#include <string>

std::string pageTemplate();
