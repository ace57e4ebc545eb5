#include "empty_text.h"

namespace {
const char emptyText[1] = {'\0'};
}

// The pointer is handed out as char* because the record layouts the host shares
// use plain char*; nobody writes through it.
char* tarn_empty_text() {
    return const_cast<char*>(emptyText);
}
