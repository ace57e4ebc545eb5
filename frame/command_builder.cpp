#include "command_builder.h"

#include <cstdlib>
#include <cstring>

CommandBuilder::CommandBuilder()
    : m_data(m_inline), m_length(0), m_capacity(InlineCapacity), m_failed(false) {
    m_inline[0] = '\0';
}

CommandBuilder::~CommandBuilder() {
    if (m_data != m_inline) {
        std::free(m_data);
    }
}

CommandBuilder& CommandBuilder::operator<<(const char* piece) {
    if (m_failed || piece == nullptr) {
        return *this;
    }
    const std::size_t length = std::strlen(piece);
    if (m_length + length + 1 > m_capacity) {
        std::size_t capacity = m_capacity * 2;
        while (capacity < m_length + length + 1) {
            capacity *= 2;
        }
        char* grown = static_cast<char*>(std::malloc(capacity));
        if (grown == nullptr) {
            m_failed = true;
            return *this;
        }
        std::memcpy(grown, m_data, m_length + 1);
        if (m_data != m_inline) {
            std::free(m_data);
        }
        m_data = grown;
        m_capacity = capacity;
    }
    std::memcpy(m_data + m_length, piece, length + 1);
    m_length += length;
    return *this;
}
