#include "language/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

// Printable ASCII: every other byte is shown as \xHH, so that what is shown is
// what the bytes are, whatever the terminal's character set.
bool isPrintable(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte < 0x7F;
}

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
            out += isPrintable(c) ? std::string(1, c) : hexEscape(c);
        }
    }
    return out;
}

} // namespace

bool decodeText(const std::string& token, std::string& out, std::string& error,
                std::size_t* errorAt) {
    out.clear();
    const auto fail = [&](std::size_t at, const std::string& reason) {
        error = reason;
        if (errorAt != nullptr) {
            *errorAt = at;
        }
        return false;
    };
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
                return fail(i - 1, "\\x needs two hex digits");
            }
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        case '\\':
        case '"':
            out += token[i];
            break;
        default:
            return fail(i - 1, std::string("unknown escape \\") + token[i] +
                                   " (the escapes are \\n \\t \\r \\\\ \\\" \\xHH)");
        }
    }
    if (i >= token.size()) {
        return fail(0, "the quoted text is not closed");
    }
    if (i + 1 != token.size()) {
        return fail(i + 1, "text after the closing quote");
    }
    return true;
}

std::string hexEscape(char c) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
    return hex;
}

std::string encodeText(const std::string& text) {
    bool plain = !text.empty() && !isBlank(text.front()) && !isBlank(text.back()) &&
                 text.front() != '"' && text != "none" && text != "world";
    for (char c : text) {
        plain = plain && isPrintable(c);
    }
    return plain ? text : quoted(text);
}

std::string printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += isPrintable(c) ? std::string(1, c) : hexEscape(c);
    }
    return out;
}

std::string clipped(const std::string& text, std::size_t limit) {
    return text.size() <= limit ? printable(text) : printable(text.substr(0, limit)) + "...";
}

std::string quoted(const std::string& text) {
    return "\"" + escaped(text) + "\"";
}

NumberRead readInt(const std::string& text, int& out) {
    if (text.empty()) {
        return NumberRead::NotANumber;
    }
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) {
        return NumberRead::NotANumber;
    }
    for (std::size_t j = i; j < text.size(); ++j) {
        if (text[j] < '0' || text[j] > '9') {
            return NumberRead::NotANumber;
        }
    }
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || value < -2147483647LL - 1 || value > 2147483647LL) {
        return NumberRead::OutOfRange;
    }
    out = static_cast<int>(value);
    return NumberRead::Ok;
}

bool parseInt(const std::string& text, int& out) {
    return readInt(text, out) == NumberRead::Ok;
}

bool readWholeFile(const std::string& path, std::string& out, std::string& error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = path + " is a folder, not a file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path +
                (std::filesystem::exists(path, ignored)
                     ? std::string(": permission denied or unreadable")
                     : std::string(": no such file"));
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        error = "cannot read " + path + ": a read error";
        return false;
    }
    out = text.str();
    return true;
}

std::string shortened(const std::string& text, std::size_t around, std::size_t limit) {
    if (text.size() <= limit) {
        return encodeText(text);
    }
    const std::size_t half = limit / 2;
    std::size_t begin = around > half ? around - half : 0;
    if (begin + limit > text.size()) {
        begin = text.size() - limit;
    }
    return std::string(begin > 0 ? "..." : "") + quoted(text.substr(begin, limit)) +
           (begin + limit < text.size() ? "..." : "") + " (" + std::to_string(text.size()) +
           " characters)";
}

std::size_t firstDifference(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) {
        ++i;
    }
    return i;
}

std::vector<std::string> splitLines(const std::string& text, bool keepFeeds) {
    std::vector<std::string> lines;
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = text.find('\n', begin);
        end = end == std::string::npos ? text.size() : end;
        lines.push_back(text.substr(begin, end - begin + (keepFeeds && end < text.size())));
        begin = end + 1;
    }
    return lines;
}

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}
