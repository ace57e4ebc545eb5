// The names of the component's own panel and the controls it drives.
#pragma once

#include "tarn_string.h"

namespace quillon {
// The component's UI panel, always named by the decimal text of 1.
inline tarn_string ownPanel() {
    return tarn_string(1, 0, 0, 10);
}

extern const char* const destButton; // "myDest"
extern const char* const tallyL1;    // "tally_L1"
extern const char* const tallyL2;    // "tally_L2"
} // namespace quillon
