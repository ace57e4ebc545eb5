#include "live/LiveHub.h"

namespace {

const char* const Ended = R"({"error":"the session has ended"})";

} // namespace

void LiveHub::Pending::reply(int status, const std::string& body) const {
    answer->set_value(Answer{status, body});
}

LiveHub::Answer LiveHub::ask(const Request& request, std::chrono::milliseconds patience) {
    Pending pending{request, std::make_shared<std::promise<Answer>>()};
    std::future<Answer> answer = pending.answer->get_future();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed) {
            return Answer{503, Ended};
        }
        m_requests.push_back(pending);
    }
    m_changed.notify_all();
    if (answer.wait_for(patience) != std::future_status::ready) {
        return Answer{503, R"({"error":"the session did not answer in time"})"};
    }
    return answer.get();
}

std::vector<LiveHub::Event> LiveHub::eventsAfter(long after, std::chrono::milliseconds wait,
                                                 bool& closed) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto ready = [&] { return m_closed || static_cast<long>(m_events.size()) > after; };
    m_changed.wait_for(lock, wait, ready);
    closed = m_closed;
    std::vector<Event> out;
    for (std::size_t i = static_cast<std::size_t>(after < 0 ? 0 : after); i < m_events.size();
         ++i) {
        out.push_back(m_events[i]);
    }
    return out;
}

std::vector<LiveHub::Pending> LiveHub::take(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, wait, [&] { return !m_requests.empty(); });
    std::vector<Pending> out(m_requests.begin(), m_requests.end());
    m_requests.clear();
    return out;
}

void LiveHub::publish(const std::string& name, const std::string& data) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(Event{static_cast<long>(m_events.size()) + 1, name, data});
    }
    m_changed.notify_all();
}

void LiveHub::close() {
    std::deque<Pending> left;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        left.swap(m_requests);
    }
    for (const Pending& pending : left) {
        pending.reply(503, Ended);
    }
    m_changed.notify_all();
}
