#include "host/LibraryKind.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace {

unsigned little(const std::vector<unsigned char>& head, std::size_t at, int bytes) {
    unsigned value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | head[at + static_cast<std::size_t>(i)];
    }
    return value;
}

std::string machineName(unsigned number, unsigned i686, unsigned x8664) {
    return number == i686    ? "i686"
           : number == x8664 ? "x86-64"
                             : "machine " + std::to_string(number);
}

} // namespace

std::string LibraryKind::described() const {
    return "a " + std::to_string(bits) + "-bit " + system + " library (" + machine + ")";
}

LibraryKind libraryKindOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> head(4096);
    file.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    LibraryKind kind;
    if (head.size() >= 20 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' &&
        head[3] == 'F' && (head[4] == 1 || head[4] == 2)) {
        kind.system = "Linux";
        kind.bits = head[4] == 1 ? 32 : 64;
        kind.machine = machineName(little(head, 18, 2), 3, 62);
        return kind;
    }
    if (head.size() >= 0x40 && head[0] == 'M' && head[1] == 'Z') {
        const std::size_t pe = little(head, 0x3C, 4);
        if (pe + 26 <= head.size() && head[pe] == 'P' && head[pe + 1] == 'E' && head[pe + 2] == 0 &&
            head[pe + 3] == 0) {
            const unsigned magic = little(head, pe + 24, 2); // the optional header's
            kind.system = "Windows";
            kind.bits = magic == 0x20B ? 64 : 32;
            kind.machine = machineName(little(head, pe + 4, 2), 0x14C, 0x8664);
        }
    }
    return kind;
}

LibraryKind thisProgramKind() {
    LibraryKind kind;
#if defined(_WIN32)
    kind.system = "Windows";
#else
    kind.system = "Linux";
#endif
    kind.bits = static_cast<int>(sizeof(void*) * 8);
    kind.machine = kind.bits == 64 ? "x86-64" : "i686";
    return kind;
}
