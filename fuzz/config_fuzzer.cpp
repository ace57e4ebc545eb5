// Fuzzes the configuration reader on arbitrary file contents. The first line of
// the input names the section, the rest is written as the file; the node
// "fuzz.<section>" is then read with tarn_config and its children compared with
// a plain reference reading of the same bytes.
#include "fuzz_input.h"
#include "tarn_config.h"
#include "tarn_string.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string fileName;

using Children = std::vector<std::pair<std::string, std::string>>;

std::string trimmed(const std::string& text, bool left, bool right) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (left && begin < end && (text[begin] == ' ' || text[begin] == '\t')) {
        ++begin;
    }
    while (right && end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
        --end;
    }
    return text.substr(begin, end - begin);
}

// The documented format: lines (a "\r" before the "\n" dropped, blanks trimmed),
// "[name]" headers, ";" and "#" comments, "id = value" children of the section
// asked for, each part cut at an embedded NUL; a UTF-8 byte order mark skipped.
Children childrenOf(const std::string& contents, const std::string& section) {
    Children children;
    std::size_t next = contents.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bool inSection = false;
    while (next < contents.size()) {
        std::size_t end = contents.find('\n', next);
        if (end == std::string::npos) {
            end = contents.size();
        }
        std::string line = contents.substr(next, end - next);
        next = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        line = trimmed(line, true, true);
        if (line.empty()) {
            continue;
        }
        if (line[0] == '[') {
            inSection = line.size() >= 2 && line.back() == ']' &&
                        line.substr(1, line.size() - 2) == section;
            continue;
        }
        if (!inSection || line[0] == ';' || line[0] == '#') {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        children.emplace_back(cText(trimmed(line.substr(0, equals), false, true)),
                              cText(trimmed(line.substr(equals + 1), true, false)));
    }
    return children;
}

void expect(bool condition, const char* what, const std::string& detail) {
    if (!condition) {
        fuzzFailure(what, detail);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    keepErrorOutput();
    const char* temp = std::getenv("TMPDIR");
    std::string folder = std::string(temp != nullptr && *temp != '\0' ? temp : "/tmp") +
                         "/quillon-fuzz-config-XXXXXX";
    if (mkdtemp(&folder[0]) == nullptr) {
        fuzzFailure("a temporary configuration folder", folder);
    }
    setenv("TARN_CONFIG_DIR", folder.c_str(), 1);
    fileName = folder + "/fuzz.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LineReader input(data, size);
    const std::string section = cText(input.next());
    const std::string contents = input.rest();

    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    expect(file != nullptr, "the configuration file can be written", fileName);
    const std::size_t written = std::fwrite(contents.data(), 1, contents.size(), file);
    std::fclose(file);
    expect(written == contents.size(), "the configuration file is written whole", fileName);

    const Children expected = childrenOf(contents, section);
    tarn_config node(tarn_string(("fuzz." + section).c_str()));
    std::size_t i = 0;
    for (; node.isChildValid(); ++i) {
        expect(i < expected.size(), "no more children than the reference", section);
        expect(std::string(node.childAttr("id")) == expected[i].first, "child id", section);
        expect(std::string(node.childAttr("value")) == expected[i].second, "child value", section);
        expect(node.childAttr("ID").length() == 0 && node.childAttr("").length() == 0,
               "other attributes read as empty", section);
        expect(node.nextChild() == (i + 1 < expected.size()),
               "nextChild tells whether a child follows", section);
    }
    expect(i == expected.size(), "every child of the reference", section);
    expect(!node.nextChild() && !node.isChildValid() && node.childAttr("id").length() == 0,
           "past the last child nothing is current", section);
    return 0;
}
