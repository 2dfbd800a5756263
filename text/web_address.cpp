#include "text/web_address.hpp"

#include <algorithm>

namespace web_address {
namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && lower(text.substr(0, prefix.size())) == prefix;
}

bool hasControlOrSpace(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const unsigned char b = static_cast<unsigned char>(c);
        return b <= 0x20 || b == 0x7F;
    });
}

// Where the authority of `url` ends (the first "/", "?" or "#" after the scheme).
std::size_t authorityEnd(std::string_view url, std::size_t from) {
    const std::size_t end = url.find_first_of("/?#", from);
    return end == std::string_view::npos ? url.size() : end;
}

// `url` split without judging its characters.
std::optional<WebAddress> split(std::string_view url) {
    WebAddress address;
    std::size_t rest = 0;
    if (startsWithIgnoringCase(url, "http://")) {
        rest = 7;
        address.port = 80;
    } else if (startsWithIgnoringCase(url, "https://")) {
        rest = 8;
        address.secure = true;
        address.port = 443;
    } else {
        return std::nullopt;
    }
    const std::size_t end = authorityEnd(url, rest);
    std::string_view authority = url.substr(rest, end - rest);
    std::string_view target = url.substr(end);
    target = target.substr(0, target.find('#'));
    address.target =
        target.empty() || target[0] != '/' ? "/" + std::string(target) : std::string(target);
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        address.userInfo = std::string(authority.substr(0, at));
        authority.remove_prefix(at + 1);
    }
    std::string_view host = authority;
    const std::size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
        const std::string_view port = authority.substr(colon + 1);
        host = authority.substr(0, colon);
        if (!port.empty()) {
            if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string_view::npos)
                return std::nullopt;
            address.port = std::stoi(std::string(port));
            if (address.port <= 0 || address.port > 65535) return std::nullopt;
        }
    }
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (host.empty()) return std::nullopt;
    address.host = lower(host);
    return address;
}

}  // namespace

std::optional<WebAddress> parse(std::string_view url) {
    if (hasControlOrSpace(url)) return std::nullopt;
    return split(url);
}

bool isLoopbackHost(std::string_view host) {
    const std::string name = lower(host);
    if (name == "localhost" || name == "::1") return true;
    // 127.x.y.z written as four decimal numbers.
    if (name.rfind("127.", 0) != 0) return false;
    int parts = 0;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t dot = std::min(name.find('.', start), name.size());
        const std::string_view part = std::string_view(name).substr(start, dot - start);
        if (part.empty() || part.size() > 3 ||
            part.find_first_not_of("0123456789") != std::string_view::npos ||
            std::stoi(std::string(part)) > 255)
            return false;
        ++parts;
        start = dot + 1;
    }
    return parts == 4;
}

bool isSecureOrLoopback(std::string_view url) {
    const std::optional<WebAddress> address = parse(url);
    return address && (address->secure || isLoopbackHost(address->host));
}

bool sameOrigin(const WebAddress& a, const WebAddress& b) {
    return a.secure == b.secure && a.host == b.host && a.port == b.port;
}

std::optional<std::string> redirectTarget(std::string_view current, std::string_view location) {
    // The address that was fetched is judged by whoever asked for it; the new one here.
    const std::optional<WebAddress> from = split(current);
    if (!from || location.empty() || hasControlOrSpace(location)) return std::nullopt;
    std::string next;
    const std::string scheme = from->secure ? "https:" : "http:";
    if (startsWithIgnoringCase(location, "http://") ||
        startsWithIgnoringCase(location, "https://")) {
        next = location;
    } else if (const std::size_t colon = location.find(':');
               colon != std::string_view::npos && colon < location.find_first_of("/?#")) {
        return std::nullopt;  // another scheme: file:, ftp:, javascript: ...
    } else if (location.substr(0, 2) == "//") {
        next = scheme + std::string(location);
    } else {
        const std::size_t start = current.find("://") + 3;
        const std::string origin(current.substr(0, authorityEnd(current, start)));
        if (location[0] == '/') {
            next = origin + std::string(location);
        } else {
            // Relative to the folder of the current path.
            std::string base = from->target.substr(0, from->target.find('?'));
            base = base.substr(0, base.rfind('/') + 1);
            next = origin + base + std::string(location);
        }
    }
    const std::optional<WebAddress> to = parse(next);
    if (!to || (from->secure && !to->secure)) return std::nullopt;
    return next;
}

std::string withoutPassword(std::string_view url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string_view::npos) return std::string(url);
    const std::size_t end = authorityEnd(url, scheme + 3);
    const std::string_view authority = url.substr(scheme + 3, end - scheme - 3);
    const std::size_t at = authority.rfind('@');
    if (at == std::string_view::npos) return std::string(url);
    const std::size_t colon = authority.find(':');
    if (colon == std::string_view::npos || colon > at) return std::string(url);
    return std::string(url.substr(0, scheme + 3 + colon + 1)) + "***" +
           std::string(url.substr(scheme + 3 + at));
}

}  // namespace web_address
