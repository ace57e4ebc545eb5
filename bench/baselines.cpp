#include "baselines.h"

#include "ClientHost.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace baseline {

namespace {

// Inline storage as the library's strings have it: 15 characters and the NUL.
struct ShortText {
    char text[16];
    char* data;
};

char* place(ShortText& storage, std::size_t length) {
    storage.data =
        length < sizeof storage.text ? storage.text : static_cast<char*>(std::malloc(length + 1));
    return storage.data;
}

void release(ShortText& storage) {
    if (storage.data != storage.text) {
        std::free(storage.data);
    }
}

} // namespace

void parse(const char* text) {
    const std::size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    // The key and sub-parts end at the first "=": the value is not scanned.
    int separators = 0;
    for (const char* p = copy; *p != '\0' && *p != '='; ++p) {
        separators += *p == '.';
    }
    benchmark::DoNotOptimize(separators);
    benchmark::DoNotOptimize(copy);
    delete[] copy;
}

void decode(const char* text) {
    const std::size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    int separators = 0;
    for (const char* p = copy; *p != '\0'; ++p) {
        separators += (*p == ' ') | (*p == '\'');
    }
    benchmark::DoNotOptimize(separators);
    benchmark::DoNotOptimize(copy);
    delete[] copy;
}

void fill(const char* format, const char* value) {
    const char* marker = std::strstr(format, "%1");
    const std::size_t before = static_cast<std::size_t>(marker - format);
    const std::size_t valueLength = std::strlen(value);
    const std::size_t after = std::strlen(marker + 2);
    ShortText result;
    char* out = place(result, before + valueLength + after);
    std::memcpy(out, format, before);
    std::memcpy(out + before, value, valueLength);
    std::memcpy(out + before + valueLength, marker + 2, after + 1);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
    release(result);
}

void fillNumber(const char* format, int value) {
    char digits[12];
    unsigned int magnitude =
        value < 0 ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
    std::size_t position = sizeof digits;
    digits[--position] = '\0';
    do {
        digits[--position] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        digits[--position] = '-';
    }
    fill(format, digits + position);
}

void split(const char* text, char separator) {
    const std::size_t length = std::strlen(text);
    const char* found = static_cast<const char*>(std::memchr(text, separator, length));
    const std::size_t at = found != nullptr ? static_cast<std::size_t>(found - text) : length;
    const std::size_t rest = found != nullptr ? length - at - 1 : 0;
    ShortText key;
    ShortText value;
    std::memcpy(place(key, at), text, at);
    key.data[at] = '\0';
    std::memcpy(place(value, rest), text + length - rest, rest);
    value.data[rest] = '\0';
    benchmark::DoNotOptimize(key.data);
    benchmark::DoNotOptimize(value.data);
    benchmark::ClobberMemory();
    release(key);
    release(value);
}

void list(const char* text, char separator) {
    const std::size_t length = std::strlen(text);
    std::size_t pieces = 1;
    for (std::size_t i = 0; i < length; ++i) {
        pieces += text[i] == separator;
    }
    ShortText* entries = static_cast<ShortText*>(std::malloc(pieces * sizeof(ShortText)));
    std::size_t start = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i <= length; ++i) {
        if (i == length || text[i] == separator) {
            char* out = place(entries[count], i - start);
            std::memcpy(out, text + start, i - start);
            out[i - start] = '\0';
            ++count;
            start = i + 1;
        }
    }
    benchmark::DoNotOptimize(entries);
    benchmark::ClobberMemory();
    for (std::size_t i = 0; i < count; ++i) {
        release(entries[i]);
    }
    std::free(entries);
}

void join(const std::vector<std::string>& entries, char separator) {
    std::size_t total = entries.size() - 1;
    for (const std::string& entry : entries) {
        total += entry.size();
    }
    ShortText result;
    char* out = place(result, total);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i != 0) {
            *out++ = separator;
        }
        std::memcpy(out, entries[i].data(), entries[i].size());
        out += entries[i].size();
    }
    *out = '\0';
    benchmark::DoNotOptimize(result.data);
    benchmark::ClobberMemory();
    release(result);
}

namespace {

void readSettings(const char* settingsFile) {
    std::FILE* file = std::fopen(settingsFile, "rb");
    if (file == nullptr) {
        return;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    char buffer[4096];
    const std::size_t size = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);
    const void* line = std::memchr(buffer, '\n', size);
    benchmark::DoNotOptimize(line);
}

} // namespace

void road(const Road& road, ClientHost& host, const char* settingsFile) {
    parse(road.text.c_str());
    char command[256];
    for (const NullHost::Step& step : road.steps) {
        std::memcpy(command, step.command.c_str(), step.command.size() + 1);
        char* reply = host.send(command, ClientHost::Command);
        if (command[0] == 'S' && command[1] == 'D' && reply != nullptr) {
            decode(reply);
            host.send(reply, ClientHost::GiveBack);
        } else if (command[0] == 'R' && command[1] == 'N') {
            ShortText name;
            name.data = name.text;
            if (reply != nullptr) {
                const std::size_t length = std::strlen(reply);
                std::memcpy(place(name, length), reply, length + 1);
            }
            benchmark::DoNotOptimize(name.data);
            release(name);
            host.send(reply, ClientHost::GiveBack);
        }
    }
    for (int i = 0; i < road.settingsReads; ++i) {
        readSettings(settingsFile);
    }
    if (!road.reply.empty()) {
        char* answer = new char[road.reply.size() + 1];
        std::memcpy(answer, road.reply.c_str(), road.reply.size() + 1);
        benchmark::DoNotOptimize(answer);
        delete[] answer;
    }
}

} // namespace baseline
