#include "output/JUnitReport.h"

#include "language/Text.h"
#include "output/OutputFile.h"

#include <cstdio>

namespace {

// The length of the UTF-8 sequence that begins at `at`, or 0 when it is not one.
std::size_t utf8Length(const std::string& text, std::size_t at) {
    const unsigned char first = static_cast<unsigned char>(text[at]);
    const std::size_t length = first < 0x80           ? 1
                               : (first >> 5) == 0x6  ? 2
                               : (first >> 4) == 0xE  ? 3
                               : (first >> 3) == 0x1E ? 4
                                                      : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) >> 6) != 0x2) {
            return 0;
        }
    }
    return length;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t length = utf8Length(text, i);
        if (length > 1) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        ++i;
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '\n':
        case '\t':
            out += c;
            break;
        default:
            // Control characters and stray bytes are not allowed in XML 1.0.
            out += length == 0 || static_cast<unsigned char>(c) < 0x20 ? hexEscape(c)
                                                                       : std::string(1, c);
        }
    }
    return out;
}

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

bool JUnitReport::write(const std::string& path) const {
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
    xml += "  <testsuite name=\"" + escaped(m_suite) + "\" tests=\"" +
           std::to_string(m_cases.size()) + "\" failures=\"" + std::to_string(failures) +
           "\" errors=\"0\" skipped=\"" + std::to_string(skipped) + "\" time=\"" + seconds(total) +
           "\">\n";
    for (const Case& c : m_cases) {
        xml += "    <testcase classname=\"" + escaped(m_suite) + "\" name=\"" + escaped(c.name) +
               "\" time=\"" + seconds(c.seconds) + "\"";
        if (c.outcome == Case::Outcome::Passed) {
            xml += "/>\n";
        } else if (c.outcome == Case::Outcome::Skipped) {
            xml += ">\n      <skipped message=\"" + escaped(c.message) + "\"/>\n    </testcase>\n";
        } else {
            xml += ">\n      <failure message=\"" + escaped(c.message) + "\">" + escaped(c.text) +
                   "</failure>\n    </testcase>\n";
        }
    }
    xml += "  </testsuite>\n</testsuites>\n";
    return writeFile(path, xml);
}
