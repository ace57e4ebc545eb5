#include "EmbeddedFile.h"

std::string embeddedText(const EmbeddedFile& file) {
    std::string text;
    for (const char* const* piece = file.pieces; *piece != nullptr; ++piece) {
        text += *piece;
    }
    return text;
}
