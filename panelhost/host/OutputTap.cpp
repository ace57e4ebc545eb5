#include "host/OutputTap.h"

OutputTap::OutputTap() {
    m_streams.push_back({"stdout", std::unique_ptr<StreamCapture>(new StreamCapture(1))});
#if defined(_WIN32)
    m_streams.push_back({"stderr", std::unique_ptr<StreamCapture>(new StreamCapture(2))});
#endif
}

std::vector<OutputTap::Text> OutputTap::take() {
    std::vector<Text> out;
    for (Tapped& tapped : m_streams) {
        std::string text = tapped.capture->take();
        if (!text.empty()) {
            out.push_back({tapped.name, std::move(text)});
        }
    }
    return out;
}
