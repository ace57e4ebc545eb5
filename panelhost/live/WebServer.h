// WebServer: the live page's HTTP server, on the loopback interface alone
// (127.0.0.1). Every request passes the RequestGuard first, or gets 403 with
// the reason. It serves the page (GET /, which sets the token's cookie), the
// session's events as server-sent events (GET /events, resumed after the
// Last-Event-ID a browser sends when it reconnects; to a few pages at once,
// 503 beyond them, so that requests always find a thread), and the page's requests
// (POST /line, /save and /restart with their text as the body, and /quit),
// each handed to the hub and answered as the session answers it. Built on
// Debian's cpp-httplib where the build has it (WebServer_httplib.cpp);
// elsewhere open() says that live is not available (WebServer_none.cpp).
#pragma once

#include "live/LiveHub.h"
#include "live/RequestGuard.h"

#include <memory>
#include <string>

class WebServer {
public:
    virtual ~WebServer() = default;

    // Listens on 127.0.0.1:`port` (0: a free one); null with the reason (a port
    // in use, a build without a server).
    static std::unique_ptr<WebServer> open(long port, std::string& error);

    virtual int port() const = 0;
    // Serves on the calling thread until stop(); `hub`, `guard` and `page` live
    // until it returns.
    virtual void serve(LiveHub& hub, const RequestGuard& guard, const std::string& page) = 0;
    // Stops serving; callable from any thread. Event streams end with the hub.
    virtual void stop() = 0;
};
