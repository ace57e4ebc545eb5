// LiveHub: where the live page's requests meet the thread that plays the
// session. The web server's threads post each request (a line to play, a
// restart, a save, the end) and wait for its answer; the session's thread takes
// them in order and answers each. What the session shows (its records, the
// lines it took, the state of its component) is published here as numbered
// events, kept for the whole session, which every event stream of the page
// reads from where it stopped: a page opened late, or one that lost its
// stream, sees the session whole.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class LiveHub {
public:
    struct Request {
        enum class Kind { Line, Restart, Save, Quit };
        Kind kind = Kind::Line;
        std::string text; // Line: the line; Save: the file
    };
    // What a request gets: an HTTP status and a JSON body.
    struct Answer {
        int status = 200;
        std::string body;
    };
    // A request taken by the session's thread, which must answer it once.
    struct Pending {
        Request request;
        std::shared_ptr<std::promise<Answer>> answer;
        void reply(int status, const std::string& body) const;
    };
    struct Event {
        long id = 0; // from 1, in the order published
        std::string name;
        std::string data; // one line of JSON
    };

    // The web server's side. Posts `request` and waits at most `patience` for
    // its answer: 503 when the session did not answer in time or has ended.
    Answer ask(const Request& request, std::chrono::milliseconds patience);
    // The events published after event `after`, waiting at most `wait` for one;
    // `closed` once the hub is closed, when the events returned are the last.
    std::vector<Event> eventsAfter(long after, std::chrono::milliseconds wait, bool& closed) const;

    // The session's side. The requests posted so far, waiting at most `wait`
    // for one.
    std::vector<Pending> take(std::chrono::milliseconds wait);
    void publish(const std::string& name, const std::string& data);
    // The session has ended: every request still waiting, and every one posted
    // from now on, is answered 503; the event streams end.
    void close();

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::deque<Pending> m_requests;
    std::vector<Event> m_events;
    bool m_closed = false;
};
