#include "child/StepBoard.h"

#include <new>
#include <sys/mman.h>

StepBoard::StepBoard() {
    void* view =
        mmap(nullptr, sizeof(Words), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (view != MAP_FAILED) {
        m_words = new (view) Words();
        m_words->event.store(-1);
    }
}

// The child uses the parent's board, inherited through fork: nothing opens it
// by name.
StepBoard::StepBoard(const std::string& name) : m_name(name) {}

StepBoard::~StepBoard() {
    if (m_words != nullptr && m_name.empty()) {
        munmap(m_words, sizeof(Words));
    }
}
