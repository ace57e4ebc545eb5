#include "Text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        default:
            if (static_cast<unsigned char>(c) < 32 || c == 127) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
                out += hex;
            } else {
                out += c;
            }
        }
    }
    return out;
}

} // namespace

bool decodeText(const std::string& token, std::string& out, std::string& error) {
    out.clear();
    if (token.empty() || token[0] != '"') {
        out = token;
        return true;
    }
    std::size_t i = 1;
    for (; i < token.size() && token[i] != '"'; ++i) {
        if (token[i] != '\\') {
            out += token[i];
            continue;
        }
        if (++i == token.size()) {
            break;
        }
        switch (token[i]) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case 'x': {
            const int high = i + 1 < token.size() ? hexDigit(token[i + 1]) : -1;
            const int low = i + 2 < token.size() ? hexDigit(token[i + 2]) : -1;
            if (high < 0 || low < 0) {
                error = "\\x needs two hex digits";
                return false;
            }
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            out += token[i];
        }
    }
    if (i >= token.size()) {
        error = "the quoted text is not closed";
        return false;
    }
    if (i + 1 != token.size()) {
        error = "text after the closing quote";
        return false;
    }
    return true;
}

std::string encodeText(const std::string& text) {
    bool plain = !text.empty() && !isBlank(text.front()) && !isBlank(text.back()) &&
                 text.front() != '"' && text != "none" && text != "world";
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) {
            plain = false;
        }
    }
    return plain ? text : quoted(text);
}

std::string quoted(const std::string& text) {
    return "\"" + escaped(text) + "\"";
}

bool parseInt(const std::string& text, int& out) {
    if (text.empty()) {
        return false;
    }
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) {
        return false;
    }
    for (std::size_t j = i; j < text.size(); ++j) {
        if (text[j] < '0' || text[j] > '9') {
            return false;
        }
    }
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || value < -2147483647LL - 1 || value > 2147483647LL) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

bool readWholeFile(const std::string& path, std::string& out, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    out = text.str();
    return true;
}
