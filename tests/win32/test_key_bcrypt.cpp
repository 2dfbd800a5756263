// The test key on Windows: BCrypt.
#include <windows.h>
// bcrypt.h needs what windows.h declares.
#include <bcrypt.h>

#include <string>

#include "tests/support/test_key.hpp"

struct TestKey::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_KEY_HANDLE key = nullptr;
};

TestKey::TestKey() : state_(new State) {
    BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0);
    BCryptGenerateKeyPair(state_->algorithm, &state_->key, 256, 0);
    BCryptFinalizeKeyPair(state_->key, 0);
}

TestKey::~TestKey() {
    if (state_->key) BCryptDestroyKey(state_->key);
    if (state_->algorithm) BCryptCloseAlgorithmProvider(state_->algorithm, 0);
    delete state_;
}

std::string TestKey::publicBase64() const {
    std::string blob(sizeof(BCRYPT_ECCKEY_BLOB) + 64, '\0');
    ULONG size = 0;
    BCryptExportKey(state_->key, nullptr, BCRYPT_ECCPUBLIC_BLOB,
                    reinterpret_cast<PUCHAR>(blob.data()), static_cast<ULONG>(blob.size()), &size,
                    0);
    const std::string head(
        "\x30\x59\x30\x13\x06\x07\x2a\x86\x48\xce\x3d\x02\x01\x06\x08\x2a\x86\x48\xce\x3d\x03\x01"
        "\x07\x03\x42\x00\x04",
        27);
    return encodeBase64(head + blob.substr(sizeof(BCRYPT_ECCKEY_BLOB)));
}

std::string TestKey::sign(std::string_view message) const {
    BCRYPT_ALG_HANDLE sha = nullptr;
    BCryptOpenAlgorithmProvider(&sha, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    unsigned char digest[32] = {};
    BCRYPT_HASH_HANDLE hash = nullptr;
    BCryptCreateHash(sha, &hash, nullptr, 0, nullptr, 0, 0);
    BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(message.data())),
                   static_cast<ULONG>(message.size()), 0);
    BCryptFinishHash(hash, digest, sizeof digest, 0);
    BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(sha, 0);
    std::string signature(64, '\0');
    ULONG size = 0;
    BCryptSignHash(state_->key, nullptr, digest, sizeof digest,
                   reinterpret_cast<PUCHAR>(signature.data()), 64, &size, 0);
    return signature;
}
