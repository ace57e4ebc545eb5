// The UI layout files that PS loads into a panel (".tarn_ui"): one section per
// control, "[name]", followed by its initial properties as "property = value"
// lines, in the order the controls are listed to XI. Names and values are
// trimmed; a value enclosed in double quotes keeps its blanks (the quotes are
// dropped). Lines beginning with "#" or ";" and blank lines are ignored. A
// property outside a section, a repeated control or property, or a line that
// is neither makes the file unusable.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct Control {
    std::string name;
    std::vector<std::pair<std::string, std::string>> properties; // layout order

    // The property's value, or null when the control has no such property.
    const std::string* find(const std::string& property) const;
    // Sets a property, adding it at the end when it is new.
    void set(const std::string& property, const std::string& value);
};

struct UiLayout {
    std::vector<Control> controls;

    Control* find(const std::string& name);
    const Control* find(const std::string& name) const;
};

// Parses a layout text; false with "line N: reason" when it is unusable.
bool parseUiLayout(const std::string& text, UiLayout& out, std::string& error);
// Reads and parses a layout file; false with a reason when it is missing or unusable.
bool loadUiLayout(const std::string& path, UiLayout& out, std::string& error);
