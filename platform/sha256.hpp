#pragma once
// SHA-256 from the platform's cryptography (BCrypt on Windows, OpenSSL's libcrypto on Linux).

#include <optional>
#include <string>
#include <string_view>

/// The digest of `bytes` as 64 lower-case hexadecimal digits; nullopt when the platform failed.
std::optional<std::string> sha256Hex(std::string_view bytes);
