// tarn_config: reads the whole file of a node at construction and keeps only the
// children of its section, packed as "id\0value\0" pairs into the file's own buffer
// (each pair is never longer than the line it came from, so the packing runs in
// place); the current child is a cursor into that packing. Anything missing or
// unreadable, and running out of memory, gives a node without children.
//
// A node costs the reader two allocations: the file's buffer and the C library's
// FILE object. The file name is built on the stack when it fits, and the file is
// read unbuffered, straight into the buffer, so stdio allocates none of its own.
#include "tarn_config.h"

#include "environment_value.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const DefaultRoot = "./config";
const char* const RootVariable = "TARN_CONFIG_DIR";
// The whole file, NUL-terminated, in a malloc'ed buffer; null when it cannot be
// read. `size` excludes the NUL.
char* readFile(const char* name, size_t& size) {
    size = 0;
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    size_t capacity = 4096;
    char* buffer = static_cast<char*>(std::malloc(capacity + 1));
    while (buffer != nullptr) {
        size += std::fread(buffer + size, 1, capacity - size, file);
        if (size < capacity) {
            break;
        }
        char* larger = capacity <= static_cast<size_t>(-1) / 4
                           ? static_cast<char*>(std::realloc(buffer, capacity * 2 + 1))
                           : nullptr;
        if (larger == nullptr) {
            std::free(buffer);
            buffer = nullptr;
            break;
        }
        buffer = larger;
        capacity *= 2;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (buffer == nullptr || failed) {
        std::free(buffer);
        return nullptr;
    }
    buffer[size] = '\0';
    return buffer;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The length of text up to an embedded NUL, so that every packed id and value is
// exactly one C string.
size_t cLength(const char* text, size_t length) {
    const void* nul = std::memchr(text, '\0', length);
    return nul == nullptr ? length : static_cast<size_t>(static_cast<const char*>(nul) - text);
}

} // namespace

tarn_config::tarn_config(const tarn_string& path)
    : m_text(nullptr), m_childCount(0), m_current(0), m_child(nullptr) {
    tarn_string fileName;
    tarn_string section;
    if (path.split('.', fileName, section) == 0) {
        return;
    }

    char rootBuffer[260];
    char* rootAllocated = nullptr;
    const char* root = environmentValue(RootVariable, rootBuffer, sizeof rootBuffer, rootAllocated);
    if (root == nullptr) {
        root = DefaultRoot;
    }
    // <root>[/]<file>.ini, on the stack unless it is longer than any usual path.
    const size_t rootLength = std::strlen(root);
    const size_t slashLength = root[rootLength - 1] != '/' && root[rootLength - 1] != '\\';
    const size_t fileLength = fileName.length();
    const size_t nameLength = rootLength + slashLength + fileLength + 4;
    char stackName[260];
    char* fullName =
        nameLength < sizeof stackName ? stackName : static_cast<char*>(std::malloc(nameLength + 1));
    if (fullName != nullptr) {
        std::memcpy(fullName, root, rootLength);
        std::memcpy(fullName + rootLength, "/", slashLength);
        std::memcpy(fullName + rootLength + slashLength, static_cast<const char*>(fileName),
                    fileLength);
        std::memcpy(fullName + rootLength + slashLength + fileLength, ".ini", 5);
    }
    std::free(rootAllocated);
    if (fullName == nullptr) {
        return;
    }

    size_t size = 0;
    m_text = readFile(fullName, size);
    if (fullName != stackName) {
        std::free(fullName);
    }
    if (m_text == nullptr) {
        return;
    }

    const char* sectionName = section;
    const size_t sectionLength = section.length();
    bool inSection = false;
    char* out = m_text;
    size_t next = 0;
    if (size >= 3 && std::memcmp(m_text, "\xEF\xBB\xBF", 3) == 0) {
        next = 3; // a UTF-8 byte order mark, as some editors write one
    }
    while (next < size) {
        size_t begin = next;
        const void* newline = std::memchr(m_text + begin, '\n', size - begin);
        size_t end = newline == nullptr
                         ? size
                         : static_cast<size_t>(static_cast<const char*>(newline) - m_text);
        next = end + 1;
        if (end > begin && m_text[end - 1] == '\r') {
            --end;
        }
        while (begin < end && isBlank(m_text[begin])) {
            ++begin;
        }
        while (end > begin && isBlank(m_text[end - 1])) {
            --end;
        }
        if (begin == end) {
            continue;
        }
        const char first = m_text[begin];
        if (first == '[') {
            // A header line; one that does not end with "]" names no section.
            inSection = end - begin >= 2 && m_text[end - 1] == ']' &&
                        end - begin - 2 == sectionLength &&
                        std::memcmp(m_text + begin + 1, sectionName, sectionLength) == 0;
            continue;
        }
        if (!inSection || first == ';' || first == '#') {
            continue;
        }
        const void* equals = std::memchr(m_text + begin, '=', end - begin);
        if (equals == nullptr) {
            continue;
        }
        const size_t at = static_cast<size_t>(static_cast<const char*>(equals) - m_text);
        size_t idEnd = at;
        while (idEnd > begin && isBlank(m_text[idEnd - 1])) {
            --idEnd;
        }
        size_t valueBegin = at + 1;
        while (valueBegin < end && isBlank(m_text[valueBegin])) {
            ++valueBegin;
        }

        if (m_childCount == INT_MAX) {
            break;
        }
        const size_t idLength = cLength(m_text + begin, idEnd - begin);
        const size_t valueLength = cLength(m_text + valueBegin, end - valueBegin);
        ++m_childCount;
        std::memmove(out, m_text + begin, idLength);
        out += idLength;
        *out++ = '\0';
        std::memmove(out, m_text + valueBegin, valueLength);
        out += valueLength;
        *out++ = '\0';
    }

    if (m_childCount == 0) {
        std::free(m_text);
        m_text = nullptr;
    }
    m_child = m_text;
}

tarn_config::~tarn_config() {
    std::free(m_text);
}

bool tarn_config::isChildValid() const {
    return m_current < m_childCount;
}

bool tarn_config::nextChild() {
    if (m_current < m_childCount) {
        // Past this child's id and value, each ended by its NUL.
        m_child += std::strlen(m_child) + 1;
        m_child += std::strlen(m_child) + 1;
        ++m_current;
    }
    return m_current < m_childCount;
}

tarn_string tarn_config::childAttr(const tarn_string& name) const {
    if (m_current >= m_childCount) {
        return tarn_string();
    }
    const char* id = m_child;
    if (name == "id") {
        return tarn_string(id);
    }
    if (name == "value") {
        return tarn_string(id + std::strlen(id) + 1);
    }
    return tarn_string();
}
