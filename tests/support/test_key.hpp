#pragma once
// A throwaway P-256 key made for one test with the platform's cryptography (OpenSSL on Linux,
// BCrypt on Windows), and information pages signed with it the way scripts/sign-update signs
// them. No private key is ever stored anywhere.

#include <string>
#include <string_view>

#include "text/gbk_text.hpp"

class TestKey {
  public:
    TestKey();
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    /// The public key as the base64 of its SubjectPublicKeyInfo (a PEM body on one line).
    std::string publicBase64() const;
    /// The public key as PEM text.
    std::string publicPem() const;
    /// The ECDSA signature of the SHA-256 of `message`: r then s, 32 bytes each.
    std::string sign(std::string_view message) const;

    struct State;

  private:
    State* state_;
};

/// Standard base64 with padding.
std::string encodeBase64(std::string_view bytes);

/// `page` with a "签名=" entry signed by `key` placed in front of its end marker.
GbkText signPage(const TestKey& key, const GbkText& page);

/// An information page: a block with the address, program name, checksum and version entries
/// (an empty value leaves its entry out).
GbkText infoPage(const GbkText& address, const GbkText& name, const std::string& checksum,
                 const GbkText& version);
