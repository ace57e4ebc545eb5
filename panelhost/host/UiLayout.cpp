#include "host/UiLayout.h"

#include "language/Text.h"

#include <sstream>

const std::string* Control::find(const std::string& property) const {
    for (const auto& entry : properties) {
        if (entry.first == property) {
            return &entry.second;
        }
    }
    return nullptr;
}

void Control::set(const std::string& property, const std::string& value) {
    for (auto& entry : properties) {
        if (entry.first == property) {
            entry.second = value;
            return;
        }
    }
    properties.emplace_back(property, value);
}

Control* UiLayout::find(const std::string& name) {
    for (Control& control : controls) {
        if (control.name == name) {
            return &control;
        }
    }
    return nullptr;
}

const Control* UiLayout::find(const std::string& name) const {
    return const_cast<UiLayout*>(this)->find(name);
}

bool parseUiLayout(const std::string& text, UiLayout& out, std::string& error) {
    out = UiLayout();
    std::istringstream lines(text);
    std::string raw;
    int number = 0;
    Control* current = nullptr;
    const auto fail = [&](const std::string& reason) {
        error = "line " + std::to_string(number) + ": " + reason;
        return false;
    };
    while (std::getline(lines, raw)) {
        ++number;
        const std::string line = trim(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            if (line.size() < 3 || line.back() != ']') {
                return fail("a section header is [control name]");
            }
            const std::string name = trim(line.substr(1, line.size() - 2));
            if (name.empty() || out.find(name) != nullptr) {
                return fail(name.empty() ? "empty control name" : "control " + name + " twice");
            }
            out.controls.push_back(Control{name, {}});
            current = &out.controls.back();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            return fail("expected property = value");
        }
        if (current == nullptr) {
            return fail("a property before the first [control]");
        }
        const std::string property = trim(line.substr(0, equals));
        std::string value = trim(line.substr(equals + 1));
        if (property.empty()) {
            return fail("empty property name");
        }
        if (current->find(property) != nullptr) {
            return fail("property " + property + " twice in " + current->name);
        }
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        current->properties.emplace_back(property, value);
    }
    return true;
}

bool loadUiLayout(const std::string& path, UiLayout& out, std::string& error) {
    std::string text;
    if (!readWholeFile(path, text, error)) {
        return false;
    }
    if (!parseUiLayout(text, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
