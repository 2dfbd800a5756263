#include <windows.h>
// bcrypt.h needs what windows.h declares.
#include <bcrypt.h>

#include <algorithm>

#include "platform/sha256.hpp"

std::optional<std::string> sha256Hex(std::string_view bytes) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
        return std::nullopt;
    unsigned char digest[32];
    bool ok = true;
    BCRYPT_HASH_HANDLE hash = nullptr;
    ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
    // BCryptHashData takes at most 4 GiB a call.
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ULONG part = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        ok = BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + done)),
                            part, 0) == 0;
        done += part;
    }
    if (ok) ok = BCryptFinishHash(hash, digest, sizeof digest, 0) == 0;
    if (hash) BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!ok) return std::nullopt;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : digest) {
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}
