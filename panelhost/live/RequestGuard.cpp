#include "live/RequestGuard.h"

#include <random>

RequestGuard::RequestGuard(std::string token, int port) : m_token(std::move(token)), m_port(port) {}

std::string RequestGuard::cookieName() const {
    return "panelhost_live_" + std::to_string(m_port);
}

std::string RequestGuard::setCookie() const {
    return cookieName() + "=" + m_token + "; Path=/; HttpOnly; SameSite=Strict";
}

bool RequestGuard::sameToken(const std::string& given) const {
    // Every byte compared, whatever differs first.
    unsigned difference = given.size() == m_token.size() ? 0u : 1u;
    for (std::size_t i = 0; i < m_token.size(); ++i) {
        difference |=
            static_cast<unsigned>(static_cast<unsigned char>(m_token[i]) ^
                                  static_cast<unsigned char>(i < given.size() ? given[i] : 0));
    }
    return difference == 0;
}

std::string RequestGuard::cookieToken(const std::string& cookies) const {
    const std::string name = cookieName() + "=";
    for (std::size_t begin = 0; begin < cookies.size();) {
        std::size_t end = cookies.find(';', begin);
        end = end == std::string::npos ? cookies.size() : end;
        std::size_t at = cookies.find_first_not_of(' ', begin);
        if (at < end && cookies.compare(at, name.size(), name) == 0) {
            return cookies.substr(at + name.size(), end - at - name.size());
        }
        begin = end + 1;
    }
    return std::string();
}

std::string RequestGuard::refusal(const Presented& request) const {
    const std::string port = ":" + std::to_string(m_port);
    if (request.host != "127.0.0.1" + port && request.host != "localhost" + port) {
        return "the request names host '" + request.host + "', not this session's 127.0.0.1" +
               port + " or localhost" + port;
    }
    if (request.hasOrigin && request.origin != "http://" + request.host) {
        return "the request comes from '" + request.origin + "', another site than this page";
    }
    if (!sameToken(request.queryToken) && !sameToken(cookieToken(request.cookies))) {
        return "the request does not present this session's token (open the address panelhost "
               "printed)";
    }
    return std::string();
}

std::string newToken() {
    std::random_device device;
    std::string token;
    const char* const digits = "0123456789abcdef";
    for (int word = 0; word < 4; ++word) {
        std::uint32_t bits = device();
        for (int i = 0; i < 8; ++i, bits >>= 4) {
            token += digits[bits & 15u];
        }
    }
    return token;
}
