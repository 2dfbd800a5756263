#pragma once
// The WinINet client and the address rules it sends by.

#include <memory>
#include <optional>
#include <string>

#include "platform/web_fetch.hpp"

/// An address split for WinINet: "#..." dropped, the path and query kept byte for byte.
struct WinInetAddress {
    bool secure = false;
    std::string host;
    int port = 0;
    std::string user;
    std::string password;
    std::string target;  // path and query, always starting with "/"
};

/// nullopt when the address has no known scheme, no host or a bad port.
std::optional<WinInetAddress> splitAddress(const GbkText& url);

/// The Content-Length header's value; -1 when it is not a decimal number.
long long parseContentLength(const std::string& value);

/// How much one read asks for, from the announced length (-1 when none).
std::size_t readChunkSize(long long contentLength);

std::unique_ptr<HttpClient> makeWinInetHttpClient();
