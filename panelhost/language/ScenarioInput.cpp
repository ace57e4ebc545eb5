#include "language/ScenarioInput.h"

#include "language/Text.h"

#include <cstdio>
#include <filesystem>
#include <memory>

const char* const StandardInputName = "(standard input)";

namespace {

bool isTextByte(unsigned char byte) {
    return byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' ||
           byte == '\r';
}

std::string size(std::uint64_t bytes) {
    return bytes % (1u << 20) == 0 ? std::to_string(bytes >> 20) + " MiB"
                                   : std::to_string(bytes) + " bytes";
}

// Reads `file` to its end or to the first reason to refuse it.
bool readBounded(std::FILE* file, const std::string& name, std::string& text, std::string& error,
                 const InputLimits& limits) {
    char buffer[65536];
    std::uint64_t offset = 0;
    std::uint64_t lineStart = 0;
    int line = 1;
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        for (std::size_t i = 0; i < count; ++i, ++offset) {
            const unsigned char byte = static_cast<unsigned char>(buffer[i]);
            if (!isTextByte(byte)) {
                error = name + " is not a text file: byte " + hexEscape(buffer[i]) + " at offset " +
                        std::to_string(offset) + " (line " + std::to_string(line) + ")";
                return false;
            }
            if (byte == '\n') {
                ++line;
                lineStart = offset + 1;
            } else if (offset + 1 - lineStart > limits.lineBytes) {
                error = name + ": line " + std::to_string(line) + " is longer than " +
                        size(limits.lineBytes) + ", the longest line a scenario may have";
                return false;
            }
        }
        if (offset > limits.scenarioBytes) {
            error = name + " is larger than " + size(limits.scenarioBytes) +
                    ", the largest scenario panelhost reads";
            return false;
        }
        text.append(buffer, count);
    }
    if (std::ferror(file)) {
        error = "cannot read " + name + ": a read error";
        return false;
    }
    return true;
}

} // namespace

bool readScenarioInput(const std::string& path, std::string& text, std::string& error,
                       const InputLimits& limits) {
    text.clear();
    const bool standardInput = path == "-";
    const std::string name = standardInput ? StandardInputName : printable(path);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> opened(nullptr, std::fclose);
    std::FILE* file = stdin;
    if (!standardInput) {
        std::error_code ignored;
        const std::filesystem::file_status status = std::filesystem::status(path, ignored);
        if (std::filesystem::is_directory(status)) {
            error = name + " is a folder, not a file";
            return false;
        }
        if (std::filesystem::is_regular_file(status) &&
            std::filesystem::file_size(path, ignored) > limits.scenarioBytes) {
            error = name + " is larger than " + size(limits.scenarioBytes) +
                    ", the largest scenario panelhost reads";
            return false;
        }
        opened.reset(std::fopen(path.c_str(), "rb"));
        if (!opened) {
            error = "cannot read " + name +
                    (std::filesystem::exists(status) ? ": permission denied or unreadable"
                                                     : ": no such file");
            return false;
        }
        file = opened.get();
    }
    if (!readBounded(file, name, text, error, limits)) {
        text.clear();
        return false;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text.erase(0, 3);
    }
    return true;
}
