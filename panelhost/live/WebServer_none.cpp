#include "live/WebServer.h"

std::unique_ptr<WebServer> WebServer::open(long, std::string& error) {
    error = "panelhost live is not available in this build: it serves its page with Debian's "
            "cpp-httplib, whose code that package ships for Linux alone; run the native "
            "panelhost";
    return nullptr;
}
