#include "records/Records.h"

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
