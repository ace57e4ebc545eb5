#include "live/WebServer.h"

#include <httplib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <sys/socket.h>
#include <thread>

namespace {

using std::chrono::milliseconds;

// How long a request waits for the session's answer, and how often an idle
// event stream says it is still there (a closed page is noticed so).
const milliseconds Patience(30000);
const milliseconds Heartbeat(10000);
// The longest body: a scenario line is at most 1 MiB.
const std::size_t LongestBody = (1u << 20) + 1024;
// Each event stream holds a thread of the server for as long as its page is
// open: at most this many are served at once, and the server has threads
// enough beyond them for every request the pages make (a page's line, save,
// restart or quit, its reload, a browser's spare connections).
const int MostStreams = 4;
const std::size_t Threads = MostStreams + 12;

// The event a browser's reconnected stream saw last (Last-Event-ID); 0: none.
long lastEventId(const httplib::Request& request) {
    const std::string last = request.get_header_value("Last-Event-ID");
    if (last.empty() || last.size() > 11 ||
        last.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return std::stol(last);
}

// One page's stream of the hub's events after `after`, as server-sent events,
// with a comment now and then while none comes (a page gone is noticed so);
// it ends once the hub is closed and its last events are sent.
httplib::ContentProviderWithoutLength eventStream(LiveHub& hub, long after) {
    return [&hub, after, quiet = milliseconds(0)](std::size_t, httplib::DataSink& sink) mutable {
        bool closed = false;
        const std::vector<LiveHub::Event> events =
            hub.eventsAfter(after, milliseconds(500), closed);
        std::string out;
        for (const LiveHub::Event& event : events) {
            out += "id: " + std::to_string(event.id) + "\nevent: " + event.name +
                   "\ndata: " + event.data + "\n\n";
            after = event.id;
        }
        quiet = events.empty() ? quiet + milliseconds(500) : milliseconds(0);
        if (quiet >= Heartbeat) {
            out += ": still here\n\n";
            quiet = milliseconds(0);
        }
        if (!out.empty() && !sink.write(out.data(), out.size())) {
            return false;
        }
        if (closed) {
            sink.done();
        }
        return sink.is_writable();
    };
}

class HttplibServer final : public WebServer {
public:
    bool bind(long port, std::string& error) {
        // Only this session on its port: no SO_REUSEPORT, which would let another
        // listener share it and take some of the page's requests.
        m_server.set_socket_options([](socket_t sock) {
            int yes = 1;
            setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        errno = 0;
        if (port == 0) {
            m_port = m_server.bind_to_any_port("127.0.0.1");
        } else if (m_server.bind_to_port("127.0.0.1", static_cast<int>(port))) {
            m_port = static_cast<int>(port);
        }
        if (m_port > 0) {
            return true;
        }
        const int why = errno;
        error = port == 0 ? std::string("cannot listen on a port of 127.0.0.1: ") +
                                (why != 0 ? std::strerror(why) : "no port was free")
                : why == EADDRINUSE
                    ? "port " + std::to_string(port) +
                          " of 127.0.0.1 is in use; give another with --port, or --port 0 for "
                          "a free one"
                    : "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                          (why != 0 ? std::strerror(why) : "the port was refused");
        return false;
    }

    int port() const override { return m_port; }

    void serve(LiveHub& hub, const RequestGuard& guard, const std::string& page) override {
        m_server.new_task_queue = [] { return new httplib::ThreadPool(Threads); };
        m_server.set_payload_max_length(LongestBody);
        m_server.set_keep_alive_timeout(1);
        m_server.set_default_headers({{"Cache-Control", "no-store"},
                                      {"X-Content-Type-Options", "nosniff"},
                                      {"X-Frame-Options", "DENY"},
                                      {"Referrer-Policy", "no-referrer"}});
        m_server.set_pre_routing_handler(
            [&guard](const httplib::Request& request, httplib::Response& response) {
                RequestGuard::Presented presented;
                presented.host = request.get_header_value("Host");
                presented.hasOrigin = request.has_header("Origin");
                presented.origin = request.get_header_value("Origin");
                presented.queryToken = request.get_param_value("token");
                presented.cookies = request.get_header_value("Cookie");
                const std::string refusal = guard.refusal(presented);
                if (refusal.empty()) {
                    return httplib::Server::HandlerResponse::Unhandled;
                }
                response.status = 403;
                response.set_content("403 forbidden: " + refusal + "\n", "text/plain");
                return httplib::Server::HandlerResponse::Handled;
            });
        m_server.Get("/", [&](const httplib::Request&, httplib::Response& response) {
            response.set_header("Set-Cookie", guard.setCookie());
            response.set_content(page, "text/html; charset=utf-8");
        });
        m_server.Get(
            "/events", [this, &hub](const httplib::Request& request, httplib::Response& response) {
                if (++m_streams > MostStreams) {
                    --m_streams;
                    response.status = 503;
                    response.set_content("503 service unavailable: " + std::to_string(MostStreams) +
                                             " pages of this session are open already; close one "
                                             "and reload this page\n",
                                         "text/plain");
                    return;
                }
                response.set_chunked_content_provider("text/event-stream",
                                                      eventStream(hub, lastEventId(request)),
                                                      [this](bool) { --m_streams; });
            });
        const auto forward = [&hub](LiveHub::Request::Kind kind) {
            return [&hub, kind](const httplib::Request& request, httplib::Response& response) {
                const LiveHub::Answer answer = hub.ask({kind, request.body}, Patience);
                response.status = answer.status;
                response.set_content(answer.body, "application/json");
            };
        };
        m_server.Post("/line", forward(LiveHub::Request::Kind::Line));
        m_server.Post("/save", forward(LiveHub::Request::Kind::Save));
        m_server.Post("/restart", forward(LiveHub::Request::Kind::Restart));
        m_server.Post("/quit", forward(LiveHub::Request::Kind::Quit));
        m_server.listen_after_bind();
    }

    void stop() override {
        // The hub is closed: each event stream sends what it has not sent yet
        // and ends (within its wait), before the server stops and would cut it
        // short.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (m_streams > 0 && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(milliseconds(10));
        }
        m_server.stop();
    }

private:
    httplib::Server m_server;
    int m_port = -1;
    std::atomic<int> m_streams{0}; // event streams under way
};

} // namespace

std::unique_ptr<WebServer> WebServer::open(long port, std::string& error) {
    std::unique_ptr<HttplibServer> server(new HttplibServer());
    if (!server->bind(port, error)) {
        return nullptr;
    }
    return server;
}
