// The JSON form of the records: one object per line, with a "type" naming the
// record. Invalid bytes from a component are shown replaced rather than refused.
#include "records/Records.h"

#include <nlohmann/json.hpp>

using nlohmann::json;

ExpectValue ExpectValue::ofLines(std::vector<std::string> lines) {
    ExpectValue value;
    value.form = Form::Lines;
    value.lines = std::move(lines);
    return value;
}

ExpectValue ExpectValue::ofNumbers(std::vector<int> numbers) {
    ExpectValue value;
    value.form = Form::Numbers;
    value.numbers = std::move(numbers);
    return value;
}

ExpectValue ExpectValue::ofText(std::string text) {
    ExpectValue value;
    value.form = Form::Text;
    value.text = std::move(text);
    return value;
}

ExpectValue ExpectValue::ofOptional(const std::optional<std::string>& text) {
    return text ? ofText(*text) : none();
}

bool ExpectValue::operator==(const ExpectValue& other) const {
    return form == other.form && lines == other.lines && numbers == other.numbers &&
           text == other.text;
}

namespace {

json optionalText(const std::optional<std::string>& text) {
    return text ? json(*text) : json(nullptr);
}

std::optional<std::string> readOptional(const json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) {
        return std::nullopt;
    }
    return found->get<std::string>();
}

json valueJson(const ExpectValue& value) {
    switch (value.form) {
    case ExpectValue::Form::Lines:
        return value.lines;
    case ExpectValue::Form::Numbers:
        return value.numbers;
    case ExpectValue::Form::Text:
        return value.text;
    default:
        return nullptr;
    }
}

ExpectValue readValue(const json& value) {
    if (value.is_string()) {
        return ExpectValue::ofText(value.get<std::string>());
    }
    if (value.is_array()) {
        if (!value.empty() && value.front().is_number()) {
            return ExpectValue::ofNumbers(value.get<std::vector<int>>());
        }
        std::vector<std::string> lines;
        for (const json& item : value) {
            if (item.is_string()) {
                lines.push_back(item.get<std::string>());
            }
        }
        return ExpectValue::ofLines(lines);
    }
    return ExpectValue::none();
}

struct ToJson {
    json operator()(const StartRecord& r) const {
        return {{"type", "start"}, {"library", r.library}, {"ui", r.ui}, {"scenario", r.scenario}};
    }
    json operator()(const StepRecord& r) const {
        json out = {{"type", "step"}, {"line", r.line}, {"step", r.step}};
        if (r.text) {
            out["text"] = *r.text;
        }
        if (r.step == "press") {
            out["panel"] = r.panel;
            out["control"] = r.control;
        }
        if (!r.numbers.empty()) {
            out["numbers"] = r.numbers;
        }
        if (r.implicit) {
            out["implicit"] = true;
        }
        if (r.event >= 0) {
            out["event"] = r.event;
        }
        return out;
    }
    json operator()(const SentRecord& r) const {
        return {{"type", "sent"},
                {"line", r.line},
                {"command", r.command},
                {"reply", optionalText(r.reply)},
                {"owed", r.owed}};
    }
    json operator()(const GiveBackRecord& r) const {
        return {{"type", "giveback"}, {"line", r.line}, {"of", optionalText(r.of)}};
    }
    json operator()(const EventRecord& r) const {
        return {{"type", "event"}, {"line", r.line}, {"text", r.text}};
    }
    json operator()(const ReplyRecord& r) const {
        return {{"type", "reply"}, {"line", r.line}, {"text", optionalText(r.text)}};
    }
    json operator()(const DebugRecord& r) const {
        return {{"type", "debug"}, {"line", r.line}, {"text", r.text}};
    }
    json operator()(const BreachRecord& r) const {
        const RuleInfo& info = ruleInfo(r.rule);
        return {{"type", "breach"},     {"line", r.line},
                {"id", r.id},           {"rule", info.id},
                {"name", info.name},    {"severity", severityName(info.severity)},
                {"command", r.command}, {"detail", r.detail}};
    }
    json operator()(const ExpectRecord& r) const {
        json out = {{"type", "expect"},
                    {"line", r.line},
                    {"what", r.what},
                    {"held", r.held},
                    {"expected", valueJson(r.expected)},
                    {"actual", valueJson(r.actual)}};
        if (r.what == "property") {
            out["panel"] = r.panel;
            out["control"] = r.control;
            out["property"] = r.property;
        }
        if (r.what == "breach") {
            out["rule"] = r.rule;
            out["step"] = r.step;
            out["covers"] = r.covers;
        }
        return out;
    }
    json operator()(const EndRecord& r) const {
        json out = {{"type", "end"}, {"line", r.line}};
        if (r.micros >= 0) {
            out["micros"] = r.micros;
        }
        return out;
    }
    json operator()(const PanelRecord& r) const {
        json controls = json::array();
        for (const PanelRecord::Control& control : r.controls) {
            json properties = json::array();
            for (const auto& entry : control.properties) {
                properties.push_back({entry.first, entry.second});
            }
            controls.push_back({{"name", control.name}, {"properties", properties}});
        }
        return {
            {"type", "panel"}, {"panel", r.panel}, {"source", r.source}, {"controls", controls}};
    }
    json operator()(const SummaryRecord& r) const {
        json out = {{"type", "summary"},
                    {"steps", r.steps},
                    {"expectations", r.expectations},
                    {"held", r.held},
                    {"failed", r.failed},
                    {"errors", r.errors},
                    {"warnings", r.warnings},
                    {"expected_breaches", r.expectedBreaches},
                    {"status", r.status}};
        if (r.notPlayed > 0) {
            out["not_played"] = r.notPlayed;
            out["not_played_from"] = r.notPlayedFrom;
        }
        return out;
    }
    json operator()(const FatalRecord& r) const {
        return {{"type", "fatal"}, {"message", r.message}, {"status", r.status}};
    }
};

} // namespace

std::string recordToJson(const Record& record) {
    return std::visit(ToJson(), record).dump(-1, ' ', false, json::error_handler_t::replace);
}

bool recordFromJson(const std::string& line, Record& out) {
    const json in = json::parse(line, nullptr, false);
    if (in.is_discarded() || !in.is_object()) {
        return false;
    }
    const std::string type = in.value("type", "");
    const int lineNumber = in.value("line", 0);
    if (type == "start") {
        out = StartRecord{in.value("library", ""), in.value("ui", ""), in.value("scenario", "")};
    } else if (type == "step") {
        StepRecord r;
        r.line = lineNumber;
        r.step = in.value("step", "");
        r.text = readOptional(in, "text");
        r.panel = in.value("panel", "");
        r.control = in.value("control", "");
        if (in.contains("numbers") && in["numbers"].is_array()) {
            r.numbers = in["numbers"].get<std::vector<int>>();
        }
        r.implicit = in.value("implicit", false);
        r.event = in.value("event", -1L);
        out = r;
    } else if (type == "sent") {
        out = SentRecord{lineNumber, in.value("command", ""), readOptional(in, "reply"),
                         in.value("owed", false)};
    } else if (type == "giveback") {
        out = GiveBackRecord{lineNumber, readOptional(in, "of")};
    } else if (type == "event") {
        out = EventRecord{lineNumber, in.value("text", "")};
    } else if (type == "reply") {
        out = ReplyRecord{lineNumber, readOptional(in, "text")};
    } else if (type == "debug") {
        out = DebugRecord{lineNumber, in.value("text", "")};
    } else if (type == "breach") {
        const RuleInfo* info = findRule(in.value("rule", ""));
        if (info == nullptr) {
            return false;
        }
        out = BreachRecord{lineNumber, in.value("id", 0L), info->rule, in.value("command", ""),
                           in.value("detail", "")};
    } else if (type == "expect") {
        ExpectRecord r;
        r.line = lineNumber;
        r.what = in.value("what", "");
        r.held = in.value("held", false);
        r.expected = readValue(in.contains("expected") ? in["expected"] : json());
        r.actual = readValue(in.contains("actual") ? in["actual"] : json());
        r.panel = in.value("panel", "");
        r.control = in.value("control", "");
        r.property = in.value("property", "");
        r.rule = in.value("rule", "");
        r.step = in.value("step", 0);
        r.covers = in.value("covers", -1L);
        out = r;
    } else if (type == "end") {
        out = EndRecord{lineNumber, in.value("micros", -1L)};
    } else if (type == "panel") {
        PanelRecord r;
        r.panel = in.value("panel", "");
        r.source = in.value("source", "");
        if (in.contains("controls") && in["controls"].is_array()) {
            for (const json& control : in["controls"]) {
                PanelRecord::Control c;
                c.name = control.value("name", "");
                if (control.contains("properties")) {
                    for (const json& property : control["properties"]) {
                        c.properties.emplace_back(property[0].get<std::string>(),
                                                  property[1].get<std::string>());
                    }
                }
                r.controls.push_back(c);
            }
        }
        out = r;
    } else if (type == "summary") {
        SummaryRecord r;
        r.steps = in.value("steps", 0);
        r.expectations = in.value("expectations", 0);
        r.held = in.value("held", 0);
        r.failed = in.value("failed", 0);
        r.errors = in.value("errors", 0);
        r.warnings = in.value("warnings", 0);
        r.expectedBreaches = in.value("expected_breaches", 0);
        r.notPlayed = in.value("not_played", 0);
        r.notPlayedFrom = in.value("not_played_from", 0);
        r.status = in.value("status", 1);
        out = r;
    } else if (type == "fatal") {
        out = FatalRecord{in.value("message", ""), in.value("status", 2)};
    } else {
        return false;
    }
    return true;
}
