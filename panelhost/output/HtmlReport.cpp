#include "output/HtmlReport.h"

#include "EmbeddedFile.h"
#include "language/Text.h"
#include "output/JsonBytes.h"
#include "output/MarkupText.h"
#include "output/OutputFile.h"
#include "output/RecordJson.h"

using nlohmann::json;

namespace {

void replaceAll(std::string& text, const std::string& what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}

} // namespace

HtmlReport::HtmlReport(const std::string& mode, const std::string& title)
    : m_title(title),
      m_data(
          {{"mode", mode}, {"title", jsonBytes(title)}, {"status", 0}, {"runs", json::array()}}) {}

void HtmlReport::beginRun(const std::string& key, const std::string& name,
                          const std::string& scenarioText) {
    m_data["runs"].push_back({{"key", key},
                              {"name", jsonBytes(name)},
                              {"lines", json::array()},
                              {"records", json::array()}});
    setScenario(scenarioText);
}

void HtmlReport::setScenario(const std::string& scenarioText) {
    json lines = json::array();
    for (const std::string& line : splitLines(scenarioText)) {
        lines.push_back(jsonBytes(line));
    }
    m_data["runs"].back()["lines"] = lines;
}

void HtmlReport::see(const Record& record) {
    if (m_data["runs"].empty()) {
        beginRun("", m_title, "");
    }
    m_data["runs"].back()["records"].push_back(recordJson(record));
}

void HtmlReport::judge(const std::string& outcome, const std::string& summary,
                       const std::vector<std::string>& lines) {
    if (m_data["runs"].empty()) {
        beginRun("", m_title, "");
    }
    json shown = json::array();
    for (const std::string& line : lines) {
        shown.push_back(jsonBytes(line));
    }
    m_data["runs"].back()["verdict"] = {
        {"outcome", outcome}, {"summary", jsonBytes(summary)}, {"lines", shown}};
}

std::string HtmlReport::page() const {
    // The records go into a script element as JSON: no "<" may end it early,
    // and "\u003c" is the same text to the JSON reader.
    std::string data = dumpJson(m_data);
    replaceAll(data, "<", "\\u003c");
    std::string page = embeddedText(pageTemplateFiles[0]);
    replaceAll(page, "@TITLE@", markupText(printable(m_title)));
    const std::string marker = "@RUN_DATA@";
    const std::size_t at = page.find(marker);
    if (at != std::string::npos) {
        page.replace(at, marker.size(), data);
    }
    return page;
}

bool HtmlReport::write(const std::string& path, std::string& reason) const {
    return writeWholeFile(path, page(), reason);
}
