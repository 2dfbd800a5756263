#pragma once
// Web addresses as the program judges them before any request: which scheme, host and port an
// address names, where a redirect leads, and whether it may be followed. Both HTTP clients and
// the callers that decide what may be fetched use these same rules.

#include <optional>
#include <string>
#include <string_view>

struct WebAddress {
    bool secure = false;   // https
    std::string host;      // lower case; an IPv6 address without its brackets
    int port = 0;          // the scheme's port when none is written
    std::string userInfo;  // "user:password" before an "@", as written
    std::string target;    // path and query, "/" at least; the fragment is dropped
};

namespace web_address {

/// `url` split, or nullopt when it is no http or https address with a host and a valid port, or
/// holds a control character or a space anywhere (CR and LF would split a request).
std::optional<WebAddress> parse(std::string_view url);

/// True for "localhost" and addresses of the loopback networks (127.0.0.0/8, ::1).
bool isLoopbackHost(std::string_view host);

/// True for an https address, or an http one to a loopback host (the tests' own servers).
bool isSecureOrLoopback(std::string_view url);

/// True when both name the same scheme, host and port.
bool sameOrigin(const WebAddress& a, const WebAddress& b);

/// The address a redirect from `current` to `location` (the Location header, absolute or
/// relative) leads to, or nullopt when it may not be followed: no http or https address, or a
/// step from https down to http.
std::optional<std::string> redirectTarget(std::string_view current, std::string_view location);

/// `url` with any password before the host replaced by "***": for text a user or a log sees.
std::string withoutPassword(std::string_view url);

}  // namespace web_address
