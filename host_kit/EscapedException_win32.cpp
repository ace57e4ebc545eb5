#include "EscapedException.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

// A type descriptor's name, ".?AVruntime_error@std@@", as "std::runtime_error".
std::string typeName(const char* decorated) {
    std::string name = decorated;
    if (name.compare(0, 4, ".?AV") != 0 && name.compare(0, 4, ".?AU") != 0) {
        return name;
    }
    std::string out;
    std::size_t begin = 4;
    for (std::size_t end = name.find('@', begin); end != std::string::npos && end > begin;
         end = name.find('@', begin)) {
        out = name.substr(begin, end - begin) + (out.empty() ? "" : "::" + out);
        begin = end + 1;
    }
    return out.empty() ? name : out;
}

} // namespace

std::string describeMicrosoftException(const void* exceptionRecord) {
    const EXCEPTION_RECORD* record = static_cast<const EXCEPTION_RECORD*>(exceptionRecord);
    if (record == nullptr || record->ExceptionCode != MicrosoftCppException ||
        record->NumberParameters < 3 || record->ExceptionInformation[2] == 0) {
        return std::string();
    }
    // On x86-64 the throw information holds offsets from the image that threw
    // (the fourth parameter); on x86 it holds addresses, of the same size.
    const std::uintptr_t base = record->NumberParameters >= 4 ? record->ExceptionInformation[3] : 0;
    const auto at = [base](const char* where) {
        std::uint32_t value = 0;
        std::memcpy(&value, where, sizeof value);
        return reinterpret_cast<const char*>(base + value);
    };
    const char* object = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    const char* info = reinterpret_cast<const char*>(record->ExceptionInformation[2]);
    const char* types = at(info + 12); // the catchable type array
    std::int32_t count = 0;
    std::memcpy(&count, types, sizeof count);
    std::string thrown;
    bool isException = false;
    for (std::int32_t i = 0; i < count && i < 64; ++i) {
        const char* type = at(types + 4 + 4 * i);
        const char* descriptor = at(type + 4);
        const char* name = descriptor + 2 * sizeof(void*);
        thrown = thrown.empty() ? typeName(name) : thrown;
        isException = isException || std::strcmp(name, ".?AVexception@std@@") == 0;
    }
    if (thrown.empty()) {
        return std::string();
    }
    if (isException && object != nullptr) {
        const char* what = nullptr;
        std::memcpy(&what, object + sizeof(void*), sizeof what);
        if (what != nullptr) {
            return thrown + ": \"" + what + "\" (Microsoft's C++ runtime)";
        }
    }
    return "an exception of type " + thrown + " (Microsoft's C++ runtime)";
}
