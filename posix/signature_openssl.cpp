#include <openssl/bn.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>

#include "platform/signature.hpp"

namespace {

// The DER head of a SubjectPublicKeyInfo for a P-256 key (id-ecPublicKey, prime256v1) whose
// uncompressed point follows: how OpenSSL takes a bare point without the deprecated EC_KEY.
constexpr unsigned char kP256KeyHead[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48,
                                          0xce, 0x3d, 0x02, 0x01, 0x06, 0x08, 0x2a, 0x86, 0x48,
                                          0xce, 0x3d, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00};

template <typename T, void (*Free)(T*)>
struct Freer {
    void operator()(T* p) const { Free(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY, EVP_PKEY_free>>;
using Signature = std::unique_ptr<ECDSA_SIG, Freer<ECDSA_SIG, ECDSA_SIG_free>>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, Freer<EVP_MD_CTX, EVP_MD_CTX_free>>;

}  // namespace

bool verifyP256Sha256(std::string_view publicPoint, std::string_view message,
                      std::string_view signature) {
    if (publicPoint.size() != 65 || publicPoint[0] != 0x04 || signature.size() != 64) return false;
    std::string der(reinterpret_cast<const char*>(kP256KeyHead), sizeof kP256KeyHead);
    der.append(publicPoint);
    const unsigned char* at = reinterpret_cast<const unsigned char*>(der.data());
    // A point off the curve fails here.
    Key key(d2i_PUBKEY(nullptr, &at, static_cast<long>(der.size())));
    if (!key) return false;

    Signature sig(ECDSA_SIG_new());
    if (!sig) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(signature.data());
    BIGNUM* r = BN_bin2bn(bytes, 32, nullptr);
    BIGNUM* s = BN_bin2bn(bytes + 32, 32, nullptr);
    if (!r || !s || ECDSA_SIG_set0(sig.get(), r, s) != 1) {
        BN_free(r);
        BN_free(s);
        return false;
    }
    unsigned char* encoded = nullptr;
    const int encodedSize = i2d_ECDSA_SIG(sig.get(), &encoded);
    if (encodedSize <= 0) return false;
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(
        encoded, [](unsigned char* p) { OPENSSL_free(p); });

    DigestContext context(EVP_MD_CTX_new());
    return context &&
           EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
           EVP_DigestVerify(context.get(), encoded, static_cast<std::size_t>(encodedSize),
                            reinterpret_cast<const unsigned char*>(message.data()),
                            message.size()) == 1;
}
