#include "update/update_signature.hpp"

#include <algorithm>

namespace {

// The DER head of a SubjectPublicKeyInfo holding an uncompressed P-256 point: what
// `openssl ec -pubout` writes in front of 0x04, X and Y.
constexpr std::string_view kP256KeyHead(
    "\x30\x59\x30\x13\x06\x07\x2a\x86\x48\xce\x3d\x02\x01\x06\x08\x2a\x86\x48\xce\x3d\x03\x01\x07"
    "\x03\x42\x00",
    26);

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

std::vector<std::string> splitVersion(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = text.find('.', start);
        parts.emplace_back(text.substr(start, dot - start));
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    return parts;
}

}  // namespace

std::optional<std::string> decodeBase64(std::string_view text) {
    std::string bytes;
    unsigned int buffer = 0;
    int bits = 0;
    int padding = 0;
    for (char c : text) {
        if (c == ' ' || c == '\r' || c == '\n' || c == '\t') continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = base64Value(c);
        // Nothing may follow the padding.
        if (value < 0 || padding > 0) return std::nullopt;
        buffer = (buffer << 6) | static_cast<unsigned int>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    // Six bits left over is a character too many; more than two "=" is no base64.
    if (bits >= 6 || padding > 2) return std::nullopt;
    return bytes;
}

std::optional<std::string> readPublicKey(std::string_view text) {
    static constexpr std::string_view kBegin = "-----BEGIN PUBLIC KEY-----";
    static constexpr std::string_view kEnd = "-----END PUBLIC KEY-----";
    const std::size_t begin = text.find(kBegin);
    if (begin != std::string_view::npos) {
        const std::size_t end = text.find(kEnd, begin);
        if (end == std::string_view::npos) return std::nullopt;
        text = text.substr(begin + kBegin.size(), end - begin - kBegin.size());
    }
    const std::optional<std::string> der = decodeBase64(text);
    if (!der || der->size() != kP256KeyHead.size() + 65 ||
        der->compare(0, kP256KeyHead.size(), kP256KeyHead) != 0)
        return std::nullopt;
    return der->substr(kP256KeyHead.size());
}

std::vector<std::string> updateKeys(std::string_view builtIn, std::string_view configured) {
    std::vector<std::string> keys;
    for (std::string_view text : {builtIn, configured}) {
        if (auto point = readPublicKey(text)) keys.push_back(std::move(*point));
    }
    return keys;
}

bool isVersion(std::string_view text) {
    const std::vector<std::string> parts = splitVersion(text);
    return parts.size() <= 4 && std::all_of(parts.begin(), parts.end(), [](const std::string& p) {
               return !p.empty() && p.size() <= 9 &&
                      p.find_first_not_of("0123456789") == std::string::npos;
           });
}

bool isNewerVersion(std::string_view candidate, std::string_view running) {
    if (!isVersion(candidate) || !isVersion(running)) return false;
    const std::vector<std::string> a = splitVersion(candidate);
    const std::vector<std::string> b = splitVersion(running);
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const long x = i < a.size() ? std::stol(a[i]) : 0;
        const long y = i < b.size() ? std::stol(b[i]) : 0;
        if (x != y) return x > y;
    }
    return false;
}
