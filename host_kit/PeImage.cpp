#include "PeImage.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

const std::uint16_t MachineI386 = 0x14c;
const std::uint16_t MachineAmd64 = 0x8664;
const std::uint16_t MagicPe32 = 0x10b;
const std::uint16_t MagicPe32Plus = 0x20b;
const std::uint32_t ExportDirectory = 0;
const std::uint32_t ImportDirectory = 1;
// Far more than any real image holds; a count beyond it is a damaged file.
const std::uint32_t MaxEntries = 1u << 20;

// Bounds-checked little-endian reads of the file, and the mapping from the
// addresses the image uses once loaded (RVAs) to offsets in the file.
class Reader {
public:
    explicit Reader(const std::vector<unsigned char>& bytes) : m_bytes(bytes) {}

    bool u16(std::uint64_t offset, std::uint16_t& out) const {
        if (!fits(offset, 2)) {
            return false;
        }
        out = static_cast<std::uint16_t>(m_bytes[offset] | m_bytes[offset + 1] << 8);
        return true;
    }
    bool u32(std::uint64_t offset, std::uint32_t& out) const {
        std::uint16_t low = 0, high = 0;
        if (!u16(offset, low) || !u16(offset + 2, high)) {
            return false;
        }
        out = static_cast<std::uint32_t>(low) | static_cast<std::uint32_t>(high) << 16;
        return true;
    }
    bool u64(std::uint64_t offset, std::uint64_t& out) const {
        std::uint32_t low = 0, high = 0;
        if (!u32(offset, low) || !u32(offset + 4, high)) {
            return false;
        }
        out = static_cast<std::uint64_t>(low) | static_cast<std::uint64_t>(high) << 32;
        return true;
    }
    // The NUL-terminated text at `offset`; false when it runs off the file.
    bool text(std::uint64_t offset, std::string& out) const {
        out.clear();
        for (std::uint64_t at = offset; at < m_bytes.size(); ++at) {
            if (m_bytes[at] == 0) {
                return true;
            }
            out.push_back(static_cast<char>(m_bytes[at]));
        }
        return false;
    }

    struct Section {
        std::uint32_t address, size, rawOffset, rawSize;
    };
    void addSection(const Section& section) { m_sections.push_back(section); }
    // The file offset of `rva`; false when no section holds it.
    bool offsetOf(std::uint32_t rva, std::uint64_t& out) const {
        for (const Section& section : m_sections) {
            // Only the bytes the file holds; the rest of a section is zero-filled
            // memory, where no table can lie.
            const std::uint32_t held =
                section.size != 0 ? std::min(section.size, section.rawSize) : section.rawSize;
            if (rva >= section.address && rva - section.address < held) {
                out = static_cast<std::uint64_t>(section.rawOffset) + (rva - section.address);
                return true;
            }
        }
        return false;
    }
    bool u32At(std::uint32_t rva, std::uint32_t& out) const {
        std::uint64_t offset = 0;
        return offsetOf(rva, offset) && u32(offset, out);
    }
    bool textAt(std::uint32_t rva, std::string& out) const {
        std::uint64_t offset = 0;
        return offsetOf(rva, offset) && text(offset, out);
    }

private:
    bool fits(std::uint64_t offset, std::uint64_t size) const {
        return offset <= m_bytes.size() && size <= m_bytes.size() - offset;
    }

    const std::vector<unsigned char>& m_bytes;
    std::vector<Section> m_sections;
};

bool readImports(const Reader& reader, std::uint32_t directory, bool wide, PeImage& out,
                 std::string& error) {
    for (std::uint32_t entry = 0;; ++entry) {
        if (entry == MaxEntries) {
            error = "the import table does not end";
            return false;
        }
        const std::uint32_t descriptor = directory + entry * 20;
        std::uint32_t lookup = 0, name = 0, addresses = 0;
        if (!reader.u32At(descriptor, lookup) || !reader.u32At(descriptor + 12, name) ||
            !reader.u32At(descriptor + 16, addresses)) {
            error = "the import table lies outside the file";
            return false;
        }
        if (lookup == 0 && name == 0 && addresses == 0) {
            return true;
        }
        PeImage::ImportedDll dll;
        if (!reader.textAt(name, dll.dll)) {
            error = "an imported DLL's name lies outside the file";
            return false;
        }
        // The lookup table names what the loader binds; an image without one
        // names it in the address table itself.
        const std::uint32_t thunks = lookup != 0 ? lookup : addresses;
        const std::uint32_t width = wide ? 8 : 4;
        for (std::uint32_t i = 0;; ++i) {
            if (i == MaxEntries) {
                error = "the imports from " + dll.dll + " do not end";
                return false;
            }
            std::uint64_t offset = 0, thunk = 0;
            std::uint32_t narrow = 0;
            if (!reader.offsetOf(thunks + i * width, offset) ||
                !(wide ? reader.u64(offset, thunk) : reader.u32(offset, narrow))) {
                error = "the imports from " + dll.dll + " lie outside the file";
                return false;
            }
            if (!wide) {
                thunk = narrow;
            }
            if (thunk == 0) {
                break;
            }
            const std::uint64_t byOrdinal = wide ? 1ull << 63 : 1ull << 31;
            PeImage::Import function;
            if ((thunk & byOrdinal) != 0) {
                function.ordinal = static_cast<std::uint32_t>(thunk & 0xffff);
            } else if (!reader.textAt(static_cast<std::uint32_t>(thunk & 0x7fffffff) + 2,
                                      function.name)) {
                error = "a function imported from " + dll.dll + " has its name outside the file";
                return false;
            }
            dll.functions.push_back(function);
        }
        out.imports.push_back(dll);
    }
}

bool readExports(const Reader& reader, std::uint32_t directory, PeImage& out, std::string& error) {
    std::uint32_t base = 0, functions = 0, names = 0, addressTable = 0, nameTable = 0,
                  ordinalTable = 0;
    if (!reader.u32At(directory + 16, base) || !reader.u32At(directory + 20, functions) ||
        !reader.u32At(directory + 24, names) || !reader.u32At(directory + 28, addressTable) ||
        !reader.u32At(directory + 32, nameTable) || !reader.u32At(directory + 36, ordinalTable)) {
        error = "the export table lies outside the file";
        return false;
    }
    if (functions > MaxEntries || names > MaxEntries) {
        error = "the export table is damaged";
        return false;
    }
    std::vector<bool> named(functions, false);
    for (std::uint32_t i = 0; i < names; ++i) {
        std::uint32_t nameRva = 0;
        std::uint64_t ordinalOffset = 0;
        std::uint16_t index = 0;
        std::string name;
        if (!reader.u32At(nameTable + i * 4, nameRva) || !reader.textAt(nameRva, name) ||
            !reader.offsetOf(ordinalTable + i * 2, ordinalOffset) ||
            !reader.u16(ordinalOffset, index)) {
            error = "an exported name lies outside the file";
            return false;
        }
        out.exportNames.push_back(name);
        if (index < functions) {
            named[index] = true;
        }
    }
    for (std::uint32_t i = 0; i < functions; ++i) {
        std::uint32_t address = 0;
        if (!reader.u32At(addressTable + i * 4, address)) {
            error = "the export addresses lie outside the file";
            return false;
        }
        if (address == 0) {
            continue; // an unused slot, not an export
        }
        out.exportOrdinals.push_back(base + i);
        if (!named[i]) {
            out.unnamedOrdinals.push_back(base + i);
        }
    }
    return true;
}

} // namespace

namespace {

// Where the headers put the rest: the COFF header, the section count and the
// optional header's size.
struct Layout {
    std::uint64_t coff = 0;
    std::uint16_t sections = 0;
    std::uint16_t optionalSize = 0;
};

bool readHeaders(const Reader& reader, const std::vector<unsigned char>& bytes, PeImage& out,
                 Layout& layout, std::string& error) {
    out = PeImage();
    std::uint32_t header = 0, signature = 0;
    if (bytes.size() < 64 || bytes[0] != 'M' || bytes[1] != 'Z' || !reader.u32(0x3c, header) ||
        !reader.u32(header, signature) || signature != 0x00004550) {
        error = "not a PE image";
        return false;
    }
    layout.coff = static_cast<std::uint64_t>(header) + 4;
    std::uint16_t magic = 0;
    if (!reader.u16(layout.coff, out.machineCode) ||
        !reader.u16(layout.coff + 2, layout.sections) ||
        !reader.u16(layout.coff + 16, layout.optionalSize) ||
        !reader.u16(layout.coff + 20, magic)) {
        error = "the PE header is cut short";
        return false;
    }
    out.machine = out.machineCode == MachineI386    ? PeImage::Machine::I386
                  : out.machineCode == MachineAmd64 ? PeImage::Machine::Amd64
                                                    : PeImage::Machine::Other;
    if (magic != MagicPe32 && magic != MagicPe32Plus) {
        error = "the PE optional header is neither PE32 nor PE32+";
        return false;
    }
    out.wide = magic == MagicPe32Plus;
    return true;
}

} // namespace

bool PeImage::parseHeader(const std::vector<unsigned char>& bytes, PeImage& out,
                          std::string& error) {
    Layout layout;
    return readHeaders(Reader(bytes), bytes, out, layout, error);
}

bool PeImage::parse(const std::vector<unsigned char>& bytes, PeImage& out, std::string& error) {
    Reader reader(bytes);
    Layout layout;
    if (!readHeaders(reader, bytes, out, layout, error)) {
        return false;
    }
    const bool wide = out.wide;
    const std::uint64_t coff = layout.coff;
    const std::uint16_t sections = layout.sections;
    const std::uint16_t optionalSize = layout.optionalSize;
    const std::uint64_t optional = coff + 20;
    const std::uint64_t directories = optional + (wide ? 112 : 96);
    std::uint32_t directoryCount = 0;
    if (!reader.u32(directories - 4, directoryCount)) {
        error = "the PE optional header is cut short";
        return false;
    }
    const std::uint64_t table = optional + optionalSize;
    for (std::uint16_t i = 0; i < sections; ++i) {
        Reader::Section section{};
        const std::uint64_t at = table + i * 40ull;
        if (!reader.u32(at + 8, section.size) || !reader.u32(at + 12, section.address) ||
            !reader.u32(at + 16, section.rawSize) || !reader.u32(at + 20, section.rawOffset)) {
            error = "the section table is cut short";
            return false;
        }
        reader.addSection(section);
    }
    const auto directory = [&](std::uint32_t index, std::uint32_t& rva, std::uint32_t& size) {
        rva = size = 0;
        return index >= directoryCount || (reader.u32(directories + index * 8ull, rva) &&
                                           reader.u32(directories + index * 8ull + 4, size));
    };
    std::uint32_t importRva = 0, importSize = 0, exportRva = 0, exportSize = 0;
    if (!directory(ImportDirectory, importRva, importSize) ||
        !directory(ExportDirectory, exportRva, exportSize)) {
        error = "the data directories are cut short";
        return false;
    }
    if (importRva != 0 && !readImports(reader, importRva, wide, out, error)) {
        return false;
    }
    return exportRva == 0 || readExports(reader, exportRva, out, error);
}

bool PeImage::read(const std::string& path, PeImage& out, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    if (!parse(bytes, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool PeImage::looksLikePe(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char magic[2] = {0, 0};
    return file.read(magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

bool PeImage::exports(const std::string& name) const {
    return std::find(exportNames.begin(), exportNames.end(), name) != exportNames.end();
}

bool PeImage::exportsOrdinal(std::uint32_t ordinal) const {
    return std::find(exportOrdinals.begin(), exportOrdinals.end(), ordinal) != exportOrdinals.end();
}
