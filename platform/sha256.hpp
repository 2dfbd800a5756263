#pragma once
// SHA-256 from the platform's cryptography (BCrypt on Windows, OpenSSL's libcrypto on Linux).

#include <memory>
#include <optional>
#include <string>
#include <string_view>

/// The digest of `bytes` as 64 lower-case hexadecimal digits; nullopt when the platform failed.
std::optional<std::string> sha256Hex(std::string_view bytes);

/// A digest taken part by part, so a large download is hashed as it is written and never held
/// whole in memory.
class Sha256Stream {
  public:
    Sha256Stream();
    ~Sha256Stream();
    Sha256Stream(const Sha256Stream&) = delete;
    Sha256Stream& operator=(const Sha256Stream&) = delete;

    /// Adds the next part.
    void add(std::string_view bytes);
    /// The digest of every part added, as sha256Hex gives it; nullopt when the platform failed
    /// at any point. Call once.
    std::optional<std::string> finish();

    struct State;

  private:
    std::unique_ptr<State> state_;
};
