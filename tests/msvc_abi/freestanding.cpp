#include "freestanding.h"

extern "C" void* memcpy(void* to, const void* from, size_t size) {
    unsigned char* out = static_cast<unsigned char*>(to);
    const unsigned char* in = static_cast<const unsigned char*>(from);
    for (size_t i = 0; i < size; ++i) {
        out[i] = in[i];
    }
    return to;
}

extern "C" void* memset(void* to, int byte, size_t size) {
    unsigned char* out = static_cast<unsigned char*>(to);
    for (size_t i = 0; i < size; ++i) {
        out[i] = static_cast<unsigned char>(byte);
    }
    return to;
}

// A pure virtual function was called: the table is not what this program thinks.
extern "C" int _purecall() {
    fs::print("pure virtual function called\n");
    ExitProcess(3);
}

void* operator new(size_t size) {
    void* block = HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1);
    if (block == nullptr) {
        fs::print("out of memory\n");
        ExitProcess(3);
    }
    return block;
}
void* operator new[](size_t size) {
    return operator new(size);
}
void operator delete(void* block) noexcept {
    if (block != nullptr) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}
void operator delete(void* block, size_t) noexcept {
    operator delete(block);
}
void operator delete[](void* block) noexcept {
    operator delete(block);
}
void operator delete[](void* block, size_t) noexcept {
    operator delete(block);
}

namespace fs {

size_t length(const char* text) {
    size_t n = 0;
    while (text[n] != '\0') {
        ++n;
    }
    return n;
}

bool equal(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

void copy(char* to, size_t size, const char* text) {
    to[0] = '\0';
    append(to, size, text);
}

void append(char* to, size_t size, const char* text) {
    size_t n = length(to);
    while (*text != '\0' && n + 1 < size) {
        to[n++] = *text++;
    }
    to[n] = '\0';
}

void appendNumber(char* to, size_t size, int number) {
    char digits[16];
    int n = 0;
    unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : number;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    char text[18];
    int t = 0;
    if (number < 0) {
        text[t++] = '-';
    }
    while (n > 0) {
        text[t++] = digits[--n];
    }
    text[t] = '\0';
    append(to, size, text);
}

void print(const char* text) {
    unsigned long written = 0;
    // -11: standard output.
    WriteFile(GetStdHandle(static_cast<unsigned long>(-11)), text,
              static_cast<unsigned long>(length(text)), &written, nullptr);
}

char* duplicate(const char* text) {
    const size_t size = length(text) + 1;
    char* copyOf = new char[size];
    memcpy(copyOf, text, size);
    return copyOf;
}

} // namespace fs
