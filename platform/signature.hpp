#pragma once
// ECDSA signatures from the platform's cryptography (BCrypt on Windows, OpenSSL's libcrypto on
// Linux): what tells a page the maker wrote from one anybody else wrote.

#include <string_view>

/// True only when `signature` (r then s, 32 bytes each, big-endian) is a valid ECDSA P-256
/// signature of the SHA-256 of `message` under `publicPoint` (0x04, X, Y: 65 bytes). Anything
/// malformed, or a platform failure, is false.
bool verifyP256Sha256(std::string_view publicPoint, std::string_view message,
                      std::string_view signature);
