// The test key on Linux: OpenSSL.
#include <openssl/bn.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <string>

#include "tests/support/test_key.hpp"

struct TestKey::State {
    EVP_PKEY* key = nullptr;
};

TestKey::TestKey() : state_(new State) { state_->key = EVP_EC_gen("P-256"); }

TestKey::~TestKey() {
    EVP_PKEY_free(state_->key);
    delete state_;
}

std::string TestKey::publicBase64() const {
    unsigned char* der = nullptr;
    const int size = i2d_PUBKEY(state_->key, &der);
    std::string bytes(reinterpret_cast<char*>(der), static_cast<std::size_t>(size));
    OPENSSL_free(der);
    return encodeBase64(bytes);
}

std::string TestKey::sign(std::string_view message) const {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    unsigned char der[80];
    std::size_t size = sizeof der;
    EVP_DigestSignInit(context, nullptr, EVP_sha256(), nullptr, state_->key);
    EVP_DigestSign(context, der, &size, reinterpret_cast<const unsigned char*>(message.data()),
                   message.size());
    EVP_MD_CTX_free(context);
    const unsigned char* at = der;
    ECDSA_SIG* sig = d2i_ECDSA_SIG(nullptr, &at, static_cast<long>(size));
    std::string raw(64, '\0');
    BN_bn2binpad(ECDSA_SIG_get0_r(sig), reinterpret_cast<unsigned char*>(raw.data()), 32);
    BN_bn2binpad(ECDSA_SIG_get0_s(sig), reinterpret_cast<unsigned char*>(raw.data()) + 32, 32);
    ECDSA_SIG_free(sig);
    return raw;
}
