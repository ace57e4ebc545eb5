#include "output/JUnitReport.h"

#include "language/Text.h"
#include "output/MarkupText.h"
#include "output/OutputFile.h"

#include <cstdio>

namespace {

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

} // namespace

void JUnitReport::pass(const std::string& name, double time) {
    m_cases.push_back({name, time, Case::Outcome::Passed, "", ""});
}

void JUnitReport::fail(const std::string& name, double time, const std::string& message,
                       const std::string& text) {
    m_cases.push_back({name, time, Case::Outcome::Failed, message, text});
}

void JUnitReport::skip(const std::string& name, const std::string& reason) {
    m_cases.push_back({name, 0, Case::Outcome::Skipped, reason, ""});
}

bool JUnitReport::write(const std::string& path, std::string& reason) const {
    int failures = 0;
    int skipped = 0;
    double total = 0;
    for (const Case& c : m_cases) {
        failures += c.outcome == Case::Outcome::Failed ? 1 : 0;
        skipped += c.outcome == Case::Outcome::Skipped ? 1 : 0;
        total += c.seconds;
    }
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<testsuites tests=\"" + std::to_string(m_cases.size()) + "\" failures=\"" +
           std::to_string(failures) + "\" time=\"" + seconds(total) + "\">\n";
    xml += "  <testsuite name=\"" + markupText(m_suite) + "\" tests=\"" +
           std::to_string(m_cases.size()) + "\" failures=\"" + std::to_string(failures) +
           "\" errors=\"0\" skipped=\"" + std::to_string(skipped) + "\" time=\"" + seconds(total) +
           "\">\n";
    for (const Case& c : m_cases) {
        xml += "    <testcase classname=\"" + markupText(m_suite) + "\" name=\"" +
               markupText(c.name) + "\" time=\"" + seconds(c.seconds) + "\"";
        if (c.outcome == Case::Outcome::Passed) {
            xml += "/>\n";
        } else if (c.outcome == Case::Outcome::Skipped) {
            xml +=
                ">\n      <skipped message=\"" + markupText(c.message) + "\"/>\n    </testcase>\n";
        } else {
            xml += ">\n      <failure message=\"" + markupText(c.message) + "\">" +
                   markupText(c.text) + "</failure>\n    </testcase>\n";
        }
    }
    xml += "  </testsuite>\n</testsuites>\n";
    return writeWholeFile(path, xml, reason);
}
