#include "Transcript.h"

#include "Text.h"

#include <cstring>

using nlohmann::json;

namespace {

const char* const Indent = "    ";

std::string shown(const json& value) {
    if (value.is_null()) {
        return "none";
    }
    if (value.is_string()) {
        return encodeText(value.get<std::string>());
    }
    if (value.is_array()) {
        std::string out;
        for (const json& item : value) {
            out += (out.empty() ? "" : " ") + shown(item);
        }
        return out.empty() ? "none" : out;
    }
    return value.dump();
}

// A list of texts shown one per line under its label.
std::string shownList(const char* label, const json& value) {
    std::string out = std::string(Indent) + "     " + label;
    if (!value.is_array() || value.empty() || !value.front().is_string()) {
        // scalars, number lists and the empty list fit on the label's line
        return out + " " + shown(value) + "\n";
    }
    out += "\n";
    for (const json& item : value) {
        out += std::string(Indent) + "       " + encodeText(item.get<std::string>()) + "\n";
    }
    return out;
}

std::string step(const json& record) {
    std::string out =
        "\n[" + std::to_string(record.value("line", 0)) + "] " + record.value("step", "");
    const std::string kind = record.value("step", "");
    if (kind == "press") {
        out += " " + record.value("panel", "") + " " + record.value("control", "");
    }
    if (record.contains("numbers")) {
        const json& n = record["numbers"];
        if (kind == "timer") {
            out += " " + n[0].dump();
        } else {
            out += " " + n[0].dump() + " " + n[1].dump() + " " + n[2].dump();
        }
        if (kind == "dbchange") {
            out += " =";
        }
    }
    if (record.contains("text") && !(kind == "press" && record["text"] == "")) {
        out += " " + shown(record["text"]);
    }
    if (record.value("implicit", false)) {
        out += "   (implicit)";
    }
    return out + "\n";
}

std::string sent(const json& record) {
    const std::string command = record.value("command", "");
    std::string out = std::string(Indent) + "> " + command;
    const json& reply = record["reply"];
    const char* const reading[] = {"PS", "RN", "SD", "XI", "TG"};
    bool readsReply = false;
    for (const char* code : reading) {
        readsReply = readsReply || command.compare(0, 2, code) == 0;
    }
    if (!reply.is_null() || readsReply) {
        out += "   => " + shown(reply);
    }
    return out + "\n";
}

std::string expectation(const json& record) {
    std::string label = "expect " + record.value("what", "");
    if (record.contains("property")) {
        label += " " + record.value("panel", "") + " " + record.value("control", "") + " " +
                 record.value("property", "");
    }
    if (record.value("what", "") == "breach") {
        label += " " + record.value("rule", "");
    }
    const std::string where = "line " + std::to_string(record.value("line", 0)) + ": ";
    if (record.value("held", false)) {
        return std::string(Indent) + "ok   " + where + label + "\n";
    }
    return std::string(Indent) + "FAIL " + where + label + "\n" +
           shownList("expected:", record["expected"]) + shownList("actual:  ", record["actual"]);
}

std::string panel(const json& record) {
    std::string out =
        "\npanel " + record.value("panel", "") + " (" + record.value("source", "") + ")\n";
    for (const json& control : record["controls"]) {
        std::string name = control.value("name", "");
        out += std::string(Indent) + name;
        for (std::size_t pad = name.size(); pad < 12; ++pad) {
            out += ' ';
        }
        for (const json& property : control["properties"]) {
            out += " " + property[0].get<std::string>() + "=" +
                   encodeText(property[1].get<std::string>());
        }
        out += "\n";
    }
    return out;
}

} // namespace

std::string renderRecord(const json& record, bool verbose) {
    const std::string type = record.value("type", "");
    if (type == "start") {
        return "panelhost: " + record.value("library", "") + "\n" + Indent +
               "scenario: " + record.value("scenario", "") + "\n" + Indent +
               "ui folder: " + record.value("ui", "") + "\n";
    }
    if (type == "step") {
        return step(record);
    }
    if (type == "sent") {
        return sent(record);
    }
    if (type == "giveback") {
        if (!verbose) {
            return "";
        }
        return std::string(Indent) + "< given back: " +
               (record["of"].is_null() ? std::string("null")
                                       : "reply of " + record["of"].get<std::string>()) +
               "\n";
    }
    if (type == "event") {
        return std::string(Indent) + "^ event to parent: " + record.value("text", "") + "\n";
    }
    if (type == "reply") {
        return std::string(Indent) + "= reply: " + shown(record["text"]) + "\n";
    }
    if (type == "debug") {
        std::string out;
        const std::string text = record.value("text", "");
        std::size_t begin = 0;
        while (begin < text.size()) {
            std::size_t end = text.find('\n', begin);
            end = end == std::string::npos ? text.size() : end;
            out += std::string(Indent) + "debug: " + text.substr(begin, end - begin) + "\n";
            begin = end + 1;
        }
        return out;
    }
    if (type == "breach") {
        std::string out = std::string(Indent) + "!! " + record.value("severity", "") + " " +
                          record.value("rule", "") + " " + record.value("name", "") + " (line " +
                          std::to_string(record.value("line", 0)) + ")";
        if (!record.value("command", "").empty()) {
            out += ": " + record.value("command", "");
        }
        return out + ": " + record.value("detail", "") + "\n";
    }
    if (type == "expect") {
        return expectation(record);
    }
    if (type == "panel") {
        return panel(record);
    }
    if (type == "summary") {
        return "\nsummary: " + std::to_string(record.value("steps", 0)) + " steps, " +
               std::to_string(record.value("expectations", 0)) + " expectations (" +
               std::to_string(record.value("held", 0)) + " held, " +
               std::to_string(record.value("failed", 0)) +
               " failed), breaches: " + std::to_string(record.value("errors", 0)) + " errors, " +
               std::to_string(record.value("warnings", 0)) + " warnings" +
               (record.value("expected_breaches", 0) > 0
                    ? ", " + std::to_string(record.value("expected_breaches", 0)) + " expected"
                    : std::string()) +
               " -> exit " + std::to_string(record.value("status", 0)) + "\n";
    }
    return "";
}
