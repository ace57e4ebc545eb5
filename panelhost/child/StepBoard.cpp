#include "child/StepBoard.h"

#include <cstring>

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

void StepBoard::faulted(Fault::Kind kind, int access, long long length, const char* command) {
    if (m_words == nullptr) {
        return;
    }
    std::size_t i = 0;
    for (; command != nullptr && command[i] != '\0' && i + 1 < sizeof m_words->command; ++i) {
        m_words->command[i] = command[i];
    }
    m_words->command[i] = '\0';
    m_words->access.store(access, std::memory_order_relaxed);
    m_words->length.store(length, std::memory_order_relaxed);
    m_words->fault.store(static_cast<std::int32_t>(kind), std::memory_order_release);
}

StepBoard::Fault StepBoard::fault() const {
    Fault fault;
    if (m_words == nullptr) {
        return fault;
    }
    fault.kind = static_cast<Fault::Kind>(m_words->fault.load(std::memory_order_acquire));
    if (fault.kind != Fault::Kind::None) {
        fault.access = m_words->access.load(std::memory_order_relaxed);
        fault.length = m_words->length.load(std::memory_order_relaxed);
        const char* command = m_words->command;
        fault.command.assign(command, strnlen(command, sizeof m_words->command));
    }
    return fault;
}
