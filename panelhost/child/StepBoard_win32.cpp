#include "child/StepBoard.h"

#include "TemporaryFiles.h"

#include <windows.h>

#include <new>

StepBoard::StepBoard() {
    // A name of the system's, in no folder.
    m_name = freshName("", "panelhost-board-" + std::to_string(GetCurrentProcessId()));
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(Words), m_name.c_str());
    if (mapping == nullptr) {
        return;
    }
    m_mapping = mapping;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Words));
    if (view != nullptr) {
        m_words = new (view) Words();
        m_words->event.store(-1);
    }
}

StepBoard::StepBoard(const std::string& name) : m_name(name) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    if (mapping == nullptr) {
        return;
    }
    m_mapping = mapping;
    m_words = static_cast<Words*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Words)));
}

StepBoard::~StepBoard() {
    if (m_words != nullptr) {
        UnmapViewOfFile(m_words);
    }
    if (m_mapping != nullptr) {
        CloseHandle(static_cast<HANDLE>(m_mapping));
    }
}
