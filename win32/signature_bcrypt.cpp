#include <windows.h>
// bcrypt.h needs what windows.h declares.
#include <bcrypt.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/signature.hpp"

namespace {

bool sha256(std::string_view bytes, unsigned char (&digest)[32]) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
        return false;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ULONG part = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        ok = BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + done)),
                            part, 0) == 0;
        done += part;
    }
    ok = ok && BCryptFinishHash(hash, digest, sizeof digest, 0) == 0;
    if (hash) BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return ok;
}

}  // namespace

bool verifyP256Sha256(std::string_view publicPoint, std::string_view message,
                      std::string_view signature) {
    if (publicPoint.size() != 65 || publicPoint[0] != 0x04 || signature.size() != 64) return false;
    unsigned char digest[32];
    if (!sha256(message, digest)) return false;

    // BCrypt takes the point as a key blob: the header, then X and Y.
    std::string blob(sizeof(BCRYPT_ECCKEY_BLOB) + 64, '\0');
    BCRYPT_ECCKEY_BLOB head{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    std::memcpy(blob.data(), &head, sizeof head);
    std::memcpy(blob.data() + sizeof head, publicPoint.data() + 1, 64);

    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) != 0)
        return false;
    BCRYPT_KEY_HANDLE key = nullptr;
    bool ok = BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &key,
                                  reinterpret_cast<PUCHAR>(blob.data()),
                                  static_cast<ULONG>(blob.size()), 0) == 0;
    std::string sig(signature);
    ok = ok && BCryptVerifySignature(key, nullptr, digest, sizeof digest,
                                     reinterpret_cast<PUCHAR>(sig.data()),
                                     static_cast<ULONG>(sig.size()), 0) == 0;
    if (key) BCryptDestroyKey(key);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return ok;
}
