// Text for the XML and HTML documents panelhost writes (the JUnit report, the
// HTML page): the markup characters as entities, UTF-8 sequences kept as they
// are, and control characters and stray bytes, which XML 1.0 does not allow, as
// the scenario escape \xHH.
#pragma once

#include <string>

std::string markupText(const std::string& text);
