#include <openssl/evp.h>

#include "platform/sha256.hpp"

namespace {

std::string hex(const unsigned char* digest, unsigned int length) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}

}  // namespace

std::optional<std::string> sha256Hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1 ||
        length != 32)
        return std::nullopt;
    return hex(digest, length);
}

struct Sha256Stream::State {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    bool ok = context && EVP_DigestInit_ex(context, EVP_sha256(), nullptr) == 1;
    ~State() { EVP_MD_CTX_free(context); }
};

Sha256Stream::Sha256Stream() : state_(std::make_unique<State>()) {}
Sha256Stream::~Sha256Stream() = default;

void Sha256Stream::add(std::string_view bytes) {
    if (state_->ok) state_->ok = EVP_DigestUpdate(state_->context, bytes.data(), bytes.size()) == 1;
}

std::optional<std::string> Sha256Stream::finish() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!state_->ok || EVP_DigestFinal_ex(state_->context, digest, &length) != 1 || length != 32)
        return std::nullopt;
    state_->ok = false;
    return hex(digest, length);
}
