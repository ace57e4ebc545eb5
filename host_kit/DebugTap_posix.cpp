#include "DebugTap.h"

DebugTap::DebugTap() = default;

DebugTap::~DebugTap() = default;

void DebugTap::begin() {
    if (!m_capture) {
        m_capture.reset(new StreamCapture(2));
    }
}

std::string DebugTap::end() {
    return m_capture ? m_capture->take() : std::string();
}

std::string DebugTap::problem() const {
    return m_capture ? m_capture->problem() : std::string();
}

bool DebugTap::readsStandardError() {
    return true;
}
