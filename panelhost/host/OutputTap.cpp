#include "host/OutputTap.h"

#include "DebugTap.h"

OutputTap::OutputTap() {
    m_streams.push_back({"stdout", std::unique_ptr<StreamCapture>(new StreamCapture(1))});
    if (!DebugTap::readsStandardError()) {
        m_streams.push_back({"stderr", std::unique_ptr<StreamCapture>(new StreamCapture(2))});
    }
}

std::string OutputTap::problem() const {
    for (const Tapped& tapped : m_streams) {
        if (!tapped.capture->problem().empty()) {
            return tapped.capture->problem();
        }
    }
    return std::string();
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
