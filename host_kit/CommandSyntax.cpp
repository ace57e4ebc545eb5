#include "CommandSyntax.h"

#include "CommandTable.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool isCapital(char c) {
    return c >= 'A' && c <= 'Z';
}

// A bare number is decimal without leading zeros, "0", or a minus sign before one.
bool isBareNumber(const std::string& text) {
    std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    if (i == text.size() || (text[i] == '0' && (i > 0 || text.size() > 1))) {
        return false;
    }
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

void checkTemplate(const CommandSpec& t, const ParsedCommand& command, std::vector<Finding>& out) {
    const std::size_t required = std::strlen(t.required);
    const std::size_t most = required + std::strlen(t.optional);
    const std::size_t count = command.arguments.size();
    if (count < required || count > most) {
        out.push_back({Rule::BadArguments, "",
                       std::string(t.code) + " takes " + std::to_string(required) +
                           (most > required ? " or " + std::to_string(most) : std::string()) +
                           " arguments, not " + std::to_string(count)});
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const char kind = i < required ? t.required[i] : t.optional[i - required];
        const CommandArgument& argument = command.arguments[i];
        if (kind == 't' && !argument.quoted) {
            out.push_back({Rule::BadArguments, "",
                           "argument " + std::to_string(i + 1) + " must be a quoted text"});
        } else if (kind == 'n' && (argument.quoted || !isBareNumber(argument.text))) {
            out.push_back({Rule::BadArguments, "",
                           "argument " + std::to_string(i + 1) + " must be a bare decimal number"});
        }
    }
    if (command.code == "TP" && count == 3 &&
        command.arguments[0].text.find('=') == std::string::npos) {
        out.push_back({Rule::BadArguments, "", "TP needs property=value as its first argument"});
    }
    if (command.code == "RR" && count == 4 && command.arguments[3].text != "ADD") {
        out.push_back({Rule::BadArguments, "", "the fourth argument of RR can only be 'ADD'"});
    }
}

} // namespace

std::string ParsedCommand::text(std::size_t i) const {
    return i < arguments.size() ? arguments[i].text : std::string();
}

bool ParsedCommand::number(std::size_t i, int& out) const {
    if (i >= arguments.size() || arguments[i].quoted) {
        return false;
    }
    const std::string& text = arguments[i].text;
    const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (digits == text.size() ||
        text.find_first_not_of("0123456789", digits) != std::string::npos) {
        return false;
    }
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || value < -2147483647LL - 1 || value > 2147483647LL) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

std::vector<Finding> parseCommand(const std::string& text, ParsedCommand& out) {
    std::vector<Finding> findings;
    out = ParsedCommand();
    const std::size_t codeLength = text.size() < 2 ? text.size() : 2;
    out.code = text.substr(0, codeLength);
    const bool codeFine = codeLength == 2 && isCapital(text[0]) && isCapital(text[1]) &&
                          (text.size() == 2 || text[2] == ' ');
    if (!codeFine) {
        findings.push_back(
            {Rule::MalformedCode, "",
             "a command begins with two capital letters and then a space or its end"});
    }

    bool straySpace = false;
    bool badQuote = false;
    std::size_t i = codeLength;
    while (i < text.size()) {
        // Exactly one space separates the code and every argument.
        if (text[i] != ' ') {
            straySpace = straySpace || codeFine; // a bad code is reported once, as such
            while (i < text.size() && text[i] != ' ') {
                ++i;
            }
            continue;
        }
        ++i;
        if (i == text.size() || text[i] == ' ') {
            straySpace = true;
            continue;
        }
        CommandArgument argument;
        if (text[i] == '\'') {
            argument.quoted = true;
            const std::size_t close = text.find('\'', i + 1);
            if (close == std::string::npos) {
                badQuote = true;
                argument.text = text.substr(i + 1);
                i = text.size();
            } else {
                argument.text = text.substr(i + 1, close - i - 1);
                i = close + 1;
                if (i < text.size() && text[i] != ' ') {
                    badQuote = true; // a quote inside a text, or text glued to it
                    while (i < text.size() && text[i] != ' ') {
                        ++i;
                    }
                }
            }
        } else {
            const std::size_t end = text.find(' ', i);
            argument.text = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
            if (argument.text.find('\'') != std::string::npos) {
                badQuote = true;
            }
            i = end == std::string::npos ? text.size() : end;
        }
        out.arguments.push_back(argument);
    }
    if (!text.empty() && text[0] == ' ') {
        straySpace = true;
    }
    if (straySpace) {
        findings.push_back(
            {Rule::StraySpace, "",
             "arguments follow the code each after exactly one space, with none at the end"});
    }
    if (badQuote) {
        findings.push_back(
            {Rule::UnbalancedQuotes, "",
             "every text argument is one pair of single quotes with no quote inside"});
    }
    if (!codeFine || straySpace || badQuote) {
        return findings;
    }
    const CommandSpec* t = findCommand(out.code);
    if (t == nullptr) {
        findings.push_back({Rule::UnknownCommand, "", "the host knows no command " + out.code});
    } else {
        checkTemplate(*t, out, findings);
    }
    return findings;
}
