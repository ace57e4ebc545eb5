#include "child/StepBoard.h"

#include <new>

#if defined(_WIN32)
#include <windows.h>

#include <atomic>
#include <random>
#else
#include <sys/mman.h>
#endif

StepBoard::StepBoard() {
#if defined(_WIN32)
    static std::atomic<unsigned> counter(0);
    std::random_device device;
    m_name = "panelhost-board-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(device()) + "-" + std::to_string(counter++);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(Words), m_name.c_str());
    if (mapping == nullptr) {
        return;
    }
    m_mapping = mapping;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Words));
#else
    void* view =
        mmap(nullptr, sizeof(Words), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    view = view == MAP_FAILED ? nullptr : view;
#endif
    if (view != nullptr) {
        m_words = new (view) Words();
        m_words->event.store(-1);
    }
}

StepBoard::StepBoard(const std::string& name) : m_name(name) {
#if defined(_WIN32)
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    if (mapping == nullptr) {
        return;
    }
    m_mapping = mapping;
    m_words = static_cast<Words*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Words)));
#else
    (void)name;
#endif
}

StepBoard::~StepBoard() {
#if defined(_WIN32)
    if (m_words != nullptr) {
        UnmapViewOfFile(m_words);
    }
    if (m_mapping != nullptr) {
        CloseHandle(static_cast<HANDLE>(m_mapping));
    }
#else
    if (m_words != nullptr && !m_name.empty()) {
        return; // a child's view: nothing of its own
    }
    if (m_words != nullptr) {
        munmap(m_words, sizeof(Words));
    }
#endif
}

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
