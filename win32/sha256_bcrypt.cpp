#include <windows.h>
// bcrypt.h needs what windows.h declares.
#include <bcrypt.h>

#include <algorithm>

#include "platform/sha256.hpp"

struct Sha256Stream::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = false;
    State() {
        ok = BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) == 0 &&
             BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
    }
    ~State() {
        if (hash) BCryptDestroyHash(hash);
        if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

Sha256Stream::Sha256Stream() : state_(std::make_unique<State>()) {}
Sha256Stream::~Sha256Stream() = default;

void Sha256Stream::add(std::string_view bytes) {
    // BCryptHashData takes at most 4 GiB a call.
    for (std::size_t done = 0; state_->ok && done < bytes.size();) {
        const ULONG part = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        state_->ok =
            BCryptHashData(state_->hash,
                           reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + done)), part,
                           0) == 0;
        done += part;
    }
}

std::optional<std::string> Sha256Stream::finish() {
    unsigned char digest[32];
    if (!state_->ok || BCryptFinishHash(state_->hash, digest, sizeof digest, 0) != 0)
        return std::nullopt;
    state_->ok = false;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : digest) {
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

std::optional<std::string> sha256Hex(std::string_view bytes) {
    Sha256Stream stream;
    stream.add(bytes);
    return stream.finish();
}
