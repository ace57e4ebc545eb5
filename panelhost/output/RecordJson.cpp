#include "output/RecordJson.h"

#include "output/JsonFields.h"
#include "records/RecordFields.h"

using nlohmann::json;

// What an expectation wanted or saw: lines as an array of texts, numbers as an
// array of numbers, one text as a string, none as null.
json toJsonForm(const ExpectValue& value) {
    switch (value.form) {
    case ExpectValue::Form::Lines:
        return JsonForm::to(value.lines);
    case ExpectValue::Form::Numbers:
        return JsonForm::to(value.numbers);
    case ExpectValue::Form::Text:
        return JsonForm::to(value.text);
    default:
        return nullptr;
    }
}

bool fromJsonForm(const json& in, ExpectValue& value) {
    if (in.is_string()) {
        value = ExpectValue::ofText(bytesOf(in));
    } else if (in.is_array() && !in.empty() && in.front().is_number()) {
        std::vector<int> numbers;
        JsonForm::from(in, numbers);
        value = ExpectValue::ofNumbers(numbers);
    } else if (in.is_array()) {
        std::vector<std::string> lines;
        JsonForm::from(in, lines);
        value = ExpectValue::ofLines(lines);
    } else {
        value = ExpectValue::none();
    }
    return true;
}

// A change of a state record: panel, control and property, in order.
inline auto positionsOf(Tag<StateRecord::Changed>) {
    using C = StateRecord::Changed;
    return std::make_tuple(&C::panel, &C::control, &C::property);
}

nlohmann::json recordJson(const Record& record) {
    json out = std::visit([](const auto& r) { return JsonForm::object(r); }, record);
    out["type"] = recordTypeName(record);
    return out;
}

std::string recordToJson(const Record& record) {
    return dumpJson(recordJson(record));
}

bool recordFromJson(const std::string& line, Record& out) {
    const json in = json::parse(line, nullptr, false);
    if (in.is_discarded() || !in.is_object() || !in.contains("type") || !in["type"].is_string() ||
        !recordOfType(in["type"].get<std::string>(), out)) {
        return false;
    }
    if (!std::visit([&in](auto& r) { return JsonForm::readObject(in, r); }, out)) {
        return false;
    }
    // An empty array reads as no lines; routers and timers are numbers even when
    // there are none, so that a failed expectation shows both sides alike.
    if (ExpectRecord* expect = std::get_if<ExpectRecord>(&out)) {
        if (expect->what == Expectation::Kind::Routers ||
            expect->what == Expectation::Kind::Timers) {
            for (ExpectValue* value : {&expect->expected, &expect->actual}) {
                if (value->form == ExpectValue::Form::Lines) {
                    *value = ExpectValue::ofNumbers({});
                }
            }
        }
    }
    return true;
}
