#include "output/JsonBytes.h"

nlohmann::json jsonBytes(const std::string& bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::string bytesOf(const nlohmann::json& value) {
    if (!value.is_string()) {
        return std::string();
    }
    const std::string& utf8 = value.get_ref<const std::string&>();
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            bytes += utf8[i];
        } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
            bytes += static_cast<char>(((lead & 0x03) << 6) |
                                       (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            return std::string();
        }
    }
    return bytes;
}

std::string bytesAt(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? std::string() : bytesOf(*found);
}

std::string dumpJson(const nlohmann::json& value) {
    return value.dump(-1, ' ', true);
}
