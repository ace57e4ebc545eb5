// HtmlReport: the page a person reads a run from, written with --html. It is
// one self-contained HTML file: the page template (output/report.html, built
// into panelhost) with the run's records embedded as their own JSON, which the
// template's script draws when the file is opened: the summary, the panels
// after each step with what changed, each step's traffic and a timeline. A
// page holds one run (a scenario, a fuzz replay) or several (validate: one per
// check).
#pragma once

#include "records/Records.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

class HtmlReport {
public:
    // `mode`: "scenario", "validate" or "fuzz"; `title`: what the page is of.
    HtmlReport(const std::string& mode, const std::string& title);

    // A run begins: `key` names its anchors (empty for a page's only run),
    // `name` heads it, and `scenarioText` is what it plays, shown by line.
    void beginRun(const std::string& key, const std::string& name,
                  const std::string& scenarioText = std::string());
    // The scenario that the run begun last plays.
    void setScenario(const std::string& scenarioText);
    // A record of the run begun last.
    void see(const Record& record);
    // The verdict of the run begun last where it is judged outside its records
    // (a validation check, a fuzz run): "ok", "warn", "FAIL" or "skip", one line
    // saying what was found, and the lines under it.
    void judge(const std::string& outcome, const std::string& summary,
               const std::vector<std::string>& lines);
    // The status the program ends with.
    void setStatus(int status) { m_data["status"] = status; }
    // A member of the page's data for a script of its own (the live page's).
    void attach(const std::string& key, const nlohmann::json& value) { m_data[key] = value; }

    std::string page() const;
    // False when the file could not be written whole.
    // Writes the page whole (OutputFile); false with the reason.
    bool write(const std::string& path, std::string& reason) const;

private:
    std::string m_title;
    nlohmann::json m_data;
};
