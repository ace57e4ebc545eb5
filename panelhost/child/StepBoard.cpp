#include "child/StepBoard.h"

void StepBoard::begin(int line, long event) {
    if (m_words == nullptr) {
        return;
    }
    m_words->line.store(line, std::memory_order_relaxed);
    m_words->event.store(static_cast<std::int32_t>(event), std::memory_order_relaxed);
    m_words->serial.fetch_add(1, std::memory_order_relaxed);
    m_words->open.store(1, std::memory_order_release);
}

void StepBoard::end() {
    if (m_words != nullptr) {
        m_words->open.store(0, std::memory_order_release);
    }
}

void StepBoard::channelFailed(int error) {
    if (m_words != nullptr) {
        m_words->channel.store(error != 0 ? error : -1, std::memory_order_release);
    }
}

int StepBoard::channelError() const {
    return m_words != nullptr ? m_words->channel.load(std::memory_order_acquire) : 0;
}

StepBoard::Step StepBoard::read() const {
    Step step;
    if (m_words == nullptr) {
        return step;
    }
    step.open = m_words->open.load(std::memory_order_acquire) != 0;
    step.serial = m_words->serial.load(std::memory_order_relaxed);
    step.line = m_words->line.load(std::memory_order_relaxed);
    step.event = m_words->event.load(std::memory_order_relaxed);
    return step;
}
