// Diagnostics go to the debugger output only, exactly as given: no level, time
// stamp, prefix or added line end.
#include "tarn_script_helper.h"

#include "debug_output.h"

void tarn_script_helper::debugPrint(const tarn_string& text) {
    OutputDebugStringA(text);
}

void tarn_script_helper::debugFormat(const tarn_string& format, const tarn_string& a1,
                                     const tarn_string& a2, const tarn_string& a3,
                                     const tarn_string& a4, const tarn_string& a5,
                                     const tarn_string& a6, const tarn_string& a7,
                                     const tarn_string& a8, const tarn_string& a9) {
    const tarn_string message =
        format.arg(a1).arg(a2).arg(a3).arg(a4).arg(a5).arg(a6).arg(a7).arg(a8).arg(a9);
    OutputDebugStringA(message);
}
