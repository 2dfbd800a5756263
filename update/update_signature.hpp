#pragma once
// Whether an update-information page is the maker's: its entries carry an ECDSA P-256 signature
// (SHA-256) under a key the program knows. The release key is built in; cantorel.ini [network]
// update_key may add one (tests, private builds): whoever can write that file can already
// replace the program itself.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/gbk_text.hpp"

/// The release's public key as the build found it (PEM); empty while the release has none.
extern const char* const kReleaseUpdateKey;

/// The bytes of standard base64 (padding optional, blanks and line breaks skipped); nullopt for
/// any other character or a broken length.
std::optional<std::string> decodeBase64(std::string_view text);

/// The P-256 point (0x04, X, Y) of a public key written as PEM ("-----BEGIN PUBLIC KEY-----")
/// or as the bare base64 between those lines; nullopt for anything else, other curves included.
std::optional<std::string> readPublicKey(std::string_view text);

/// The points an update may be signed with: the built-in key and the configured one, each only
/// when it reads as a P-256 key.
std::vector<std::string> updateKeys(std::string_view builtIn, std::string_view configured);

/// True when `text` is a version: one to four numbers of at most nine digits joined by dots.
bool isVersion(std::string_view text);

/// True when version `candidate` comes after `running`, number by number (a missing number
/// counts as 0, so 4.0 equals 4). False when either is no version.
bool isNewerVersion(std::string_view candidate, std::string_view running);
