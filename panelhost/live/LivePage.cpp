#include "live/LivePage.h"

#include "EmbeddedFile.h"
#include "output/HtmlReport.h"
#include "output/JsonBytes.h"

std::string livePage(const std::string& library, const std::vector<std::string>& suggestions,
                     const std::string& record) {
    HtmlReport report("live", "panelhost live: " + library);
    report.beginRun("", library);
    nlohmann::json offered = nlohmann::json::array();
    for (const std::string& suggestion : suggestions) {
        offered.push_back(jsonBytes(suggestion));
    }
    report.attach("live", {{"suggestions", offered}, {"record", jsonBytes(record)}});
    std::string page = report.page();
    const std::string script = "<script>\n" + embeddedText(liveScriptFiles[0]) + "</script>\n";
    const std::size_t end = page.rfind("</body>");
    page.insert(end == std::string::npos ? page.size() : end, script);
    return page;
}
