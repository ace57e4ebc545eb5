// RequestGuard: whether a request may reach the live session. The page is
// served on the loopback interface to the person who started panelhost, and
// only to them: every request must present the session's token (in the query
// of the address panelhost printed, or in the cookie the page got with it); its
// Host must name the loopback address or "localhost" with the session's port,
// so that a name rebound to this machine (DNS rebinding) is refused; and an
// Origin, when it has one, must be the page's own, so that no other site a
// browser shows can drive the component.
#pragma once

#include <string>

class RequestGuard {
public:
    RequestGuard(std::string token, int port);

    // What a request presented: its Host and Origin headers (empty when
    // absent), the token of its query and the one of its cookie header.
    struct Presented {
        std::string host;
        std::string origin;
        bool hasOrigin = false;
        std::string queryToken;
        std::string cookies; // the whole Cookie header
    };
    // Empty when the request may pass, else why not.
    std::string refusal(const Presented& request) const;

    const std::string& token() const { return m_token; }
    // The cookie that holds the token (its name carries the port: browsers
    // keep cookies by host, not by port).
    std::string cookieName() const;
    std::string setCookie() const;

private:
    bool sameToken(const std::string& given) const;
    std::string cookieToken(const std::string& cookies) const;

    std::string m_token;
    int m_port;
};

// A fresh token: 128 random bits as 32 hexadecimal digits.
std::string newToken();
