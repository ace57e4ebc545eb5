#include "output/RecordJson.h"

#include "output/JsonBytes.h"

using nlohmann::json;

namespace {

json optionalText(const std::optional<std::string>& text) {
    return text ? jsonBytes(*text) : json(nullptr);
}

std::optional<std::string> readOptional(const json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) {
        return std::nullopt;
    }
    return bytesOf(*found);
}

json textList(const std::vector<std::string>& lines) {
    json out = json::array();
    for (const std::string& line : lines) {
        out.push_back(jsonBytes(line));
    }
    return out;
}

std::vector<int> numbersAt(const json& object, const char* key) {
    const auto found = object.find(key);
    std::vector<int> out;
    if (found != object.end() && found->is_array()) {
        for (const json& item : *found) {
            out.push_back(item.is_number_integer() ? item.get<int>() : 0);
        }
    }
    return out;
}

json valueJson(const ExpectValue& value) {
    switch (value.form) {
    case ExpectValue::Form::Lines:
        return textList(value.lines);
    case ExpectValue::Form::Numbers:
        return value.numbers;
    case ExpectValue::Form::Text:
        return jsonBytes(value.text);
    default:
        return nullptr;
    }
}

ExpectValue readValue(const json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end()) {
        return ExpectValue::none();
    }
    if (found->is_string()) {
        return ExpectValue::ofText(bytesOf(*found));
    }
    if (found->is_array()) {
        if (!found->empty() && found->front().is_number()) {
            return ExpectValue::ofNumbers(numbersAt(object, key));
        }
        std::vector<std::string> lines;
        for (const json& item : *found) {
            lines.push_back(bytesOf(item));
        }
        return ExpectValue::ofLines(lines);
    }
    return ExpectValue::none();
}

json panelJson(const PanelRecord& r) {
    json controls = json::array();
    for (const PanelRecord::Control& control : r.controls) {
        json properties = json::array();
        for (const auto& entry : control.properties) {
            properties.push_back({jsonBytes(entry.first), jsonBytes(entry.second)});
        }
        controls.push_back({{"name", jsonBytes(control.name)}, {"properties", properties}});
    }
    return {{"panel", jsonBytes(r.panel)}, {"source", jsonBytes(r.source)}, {"controls", controls}};
}

struct ToJson {
    json operator()(const StartRecord& r) const {
        return {{"type", "start"},
                {"library", jsonBytes(r.library)},
                {"ui", jsonBytes(r.ui)},
                {"scenario", jsonBytes(r.scenario)}};
    }
    json operator()(const StepRecord& r) const {
        json out = {{"type", "step"}, {"line", r.line}, {"step", r.step}};
        if (r.text) {
            out["text"] = jsonBytes(*r.text);
        }
        if (r.step == "press") {
            out["panel"] = jsonBytes(r.panel);
            out["control"] = jsonBytes(r.control);
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
                {"command", jsonBytes(r.command)},
                {"reply", optionalText(r.reply)},
                {"owed", r.owed}};
    }
    json operator()(const GiveBackRecord& r) const {
        return {{"type", "giveback"}, {"line", r.line}, {"of", optionalText(r.of)}};
    }
    json operator()(const EventRecord& r) const {
        return {{"type", "event"}, {"line", r.line}, {"text", jsonBytes(r.text)}};
    }
    json operator()(const ReplyRecord& r) const {
        return {{"type", "reply"}, {"line", r.line}, {"text", optionalText(r.text)}};
    }
    json operator()(const DebugRecord& r) const {
        return {{"type", "debug"}, {"line", r.line}, {"text", jsonBytes(r.text)}};
    }
    json operator()(const BreachRecord& r) const {
        const RuleInfo& info = ruleInfo(r.rule);
        return {{"type", "breach"},
                {"line", r.line},
                {"id", r.id},
                {"rule", info.id},
                {"name", info.name},
                {"severity", severityName(info.severity)},
                {"command", jsonBytes(r.command)},
                {"detail", jsonBytes(r.detail)}};
    }
    json operator()(const ExpectRecord& r) const {
        json out = {{"type", "expect"},
                    {"line", r.line},
                    {"what", r.what},
                    {"held", r.held},
                    {"expected", valueJson(r.expected)},
                    {"actual", valueJson(r.actual)}};
        if (r.what == "property") {
            out["panel"] = jsonBytes(r.panel);
            out["control"] = jsonBytes(r.control);
            out["property"] = jsonBytes(r.property);
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
        json out = panelJson(r);
        out["type"] = "panel";
        return out;
    }
    json operator()(const StateRecord& r) const {
        json panels = json::array();
        for (const PanelRecord& panel : r.panels) {
            panels.push_back(panelJson(panel));
        }
        json changed = json::array();
        for (const StateRecord::Changed& each : r.changed) {
            changed.push_back(
                {jsonBytes(each.panel), jsonBytes(each.control), jsonBytes(each.property)});
        }
        return {{"type", "state"},    {"line", r.line},       {"panels", panels},
                {"changed", changed}, {"routers", r.routers}, {"timers", r.timers}};
    }
    json operator()(const RecordedRecord& r) const {
        json out = {{"type", "recorded"}, {"file", jsonBytes(r.file)}, {"written", r.written}};
        if (!r.written) {
            out["reason"] = jsonBytes(r.reason);
            return out;
        }
        out["expectations"] = r.expectations;
        out["failed"] = r.failed;
        out["breaches"] = r.breaches;
        out["unrecordable"] = r.unrecordable;
        return out;
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
        json out = {{"type", "fatal"}, {"message", jsonBytes(r.message)}, {"status", r.status}};
        if (!r.cause.empty()) {
            out["cause"] = r.cause;
        }
        return out;
    }
    json operator()(const OutputRecord& r) const {
        return {{"type", "output"},
                {"line", r.line},
                {"stream", r.stream},
                {"text", jsonBytes(r.text)}};
    }
    json operator()(const MemoryRecord& r) const {
        return {{"type", "memory"},
                {"how", r.how},
                {"cycles", r.cycles},
                {"steps", r.steps},
                {"readings", r.readings}};
    }
    json operator()(const ProgressRecord& r) const {
        return {{"type", "progress"},
                {"events", r.events},
                {"steps", r.steps},
                {"sent", r.sent},
                {"seconds", r.seconds}};
    }
    json operator()(const TerminalRecord& r) const {
        json out = {{"type", "terminal"}, {"what", r.what}};
        if (!r.text.empty()) {
            out["text"] = jsonBytes(r.text);
        }
        if (r.what == "show") {
            out["routers"] = r.routers;
            out["timers"] = r.timers;
            out["loaded"] = r.loaded;
        }
        return out;
    }
};

PanelRecord readPanel(const json& in) {
    PanelRecord r;
    r.panel = bytesAt(in, "panel");
    r.source = bytesAt(in, "source");
    const auto controls = in.find("controls");
    if (controls == in.end() || !controls->is_array()) {
        return r;
    }
    for (const json& control : *controls) {
        PanelRecord::Control c;
        c.name = bytesAt(control, "name");
        const auto properties = control.find("properties");
        if (properties != control.end() && properties->is_array()) {
            for (const json& property : *properties) {
                if (property.is_array() && property.size() == 2) {
                    c.properties.emplace_back(bytesOf(property[0]), bytesOf(property[1]));
                }
            }
        }
        r.controls.push_back(c);
    }
    return r;
}

} // namespace

nlohmann::json recordJson(const Record& record) {
    return std::visit(ToJson(), record);
}

std::string recordToJson(const Record& record) {
    return dumpJson(recordJson(record));
}

bool recordFromJson(const std::string& line, Record& out) {
    const json in = json::parse(line, nullptr, false);
    if (in.is_discarded() || !in.is_object()) {
        return false;
    }
    const std::string type = in.value("type", "");
    const int lineNumber = in.value("line", 0);
    if (type == "start") {
        out = StartRecord{bytesAt(in, "library"), bytesAt(in, "ui"), bytesAt(in, "scenario")};
    } else if (type == "step") {
        StepRecord r;
        r.line = lineNumber;
        r.step = in.value("step", "");
        r.text = readOptional(in, "text");
        r.panel = bytesAt(in, "panel");
        r.control = bytesAt(in, "control");
        r.numbers = numbersAt(in, "numbers");
        r.implicit = in.value("implicit", false);
        r.event = in.value("event", -1L);
        out = r;
    } else if (type == "sent") {
        out = SentRecord{lineNumber, bytesAt(in, "command"), readOptional(in, "reply"),
                         in.value("owed", false)};
    } else if (type == "giveback") {
        out = GiveBackRecord{lineNumber, readOptional(in, "of")};
    } else if (type == "event") {
        out = EventRecord{lineNumber, bytesAt(in, "text")};
    } else if (type == "reply") {
        out = ReplyRecord{lineNumber, readOptional(in, "text")};
    } else if (type == "debug") {
        out = DebugRecord{lineNumber, bytesAt(in, "text")};
    } else if (type == "breach") {
        const RuleInfo* info = findRule(in.value("rule", ""));
        if (info == nullptr) {
            return false;
        }
        out = BreachRecord{lineNumber, in.value("id", 0L), info->rule, bytesAt(in, "command"),
                           bytesAt(in, "detail")};
    } else if (type == "expect") {
        ExpectRecord r;
        r.line = lineNumber;
        r.what = in.value("what", "");
        r.held = in.value("held", false);
        r.expected = readValue(in, "expected");
        r.actual = readValue(in, "actual");
        r.panel = bytesAt(in, "panel");
        r.control = bytesAt(in, "control");
        r.property = bytesAt(in, "property");
        r.rule = in.value("rule", "");
        r.step = in.value("step", 0);
        r.covers = in.value("covers", -1L);
        out = r;
    } else if (type == "end") {
        out = EndRecord{lineNumber, in.value("micros", -1L)};
    } else if (type == "panel") {
        out = readPanel(in);
    } else if (type == "state") {
        StateRecord r;
        r.line = lineNumber;
        for (const json& panel : in.value("panels", json::array())) {
            r.panels.push_back(readPanel(panel));
        }
        for (const json& each : in.value("changed", json::array())) {
            if (each.is_array() && each.size() == 3) {
                r.changed.push_back({bytesOf(each[0]), bytesOf(each[1]), bytesOf(each[2])});
            }
        }
        r.routers = numbersAt(in, "routers");
        r.timers = numbersAt(in, "timers");
        out = r;
    } else if (type == "recorded") {
        RecordedRecord r;
        r.file = bytesAt(in, "file");
        r.written = in.value("written", false);
        r.reason = bytesAt(in, "reason");
        r.expectations = in.value("expectations", 0);
        r.failed = numbersAt(in, "failed");
        r.breaches = in.value("breaches", 0);
        r.unrecordable = in.value("unrecordable", 0);
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
        out = FatalRecord{bytesAt(in, "message"), in.value("status", 2), in.value("cause", "")};
    } else if (type == "output") {
        out = OutputRecord{lineNumber, in.value("stream", ""), bytesAt(in, "text")};
    } else if (type == "memory") {
        MemoryRecord r;
        r.how = in.value("how", "");
        r.cycles = in.value("cycles", 0);
        r.steps = in.value("steps", 0);
        r.readings = in.value("readings", std::vector<long long>());
        out = r;
    } else if (type == "progress") {
        out = ProgressRecord{in.value("events", 0L), in.value("steps", 0L), in.value("sent", 0L),
                             in.value("seconds", 0.0)};
    } else if (type == "terminal") {
        TerminalRecord r;
        r.what = in.value("what", "");
        r.text = bytesAt(in, "text");
        r.routers = numbersAt(in, "routers");
        r.timers = numbersAt(in, "timers");
        r.loaded = in.value("loaded", false);
        out = r;
    } else {
        return false;
    }
    return true;
}
