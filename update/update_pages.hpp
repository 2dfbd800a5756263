#pragma once
// The maker's two update pages. Both are GBK text holding a block between "////开始" and
// "////结束" whose entries read key "=" value "</p>"; the first pair of markers bounds the block
// and anything outside it is ignored.

#include <optional>
#include <string>
#include <string_view>

#include "text/gbk_text.hpp"

/// The notice page: whether the user must or may update.
struct UpdateNotice {
    bool forced = false;  // 是否强制更新 is exactly "是"
    bool prompt = false;  // 是否提示更新 is exactly "是"
};

/// The update-information page: where the new program is and what it must be.
struct UpdateInfo {
    GbkText address;      // 自动更新地址, blanks (ASCII and full-width) trimmed
    GbkText programName;  // 程序名字, exactly as given
    std::optional<std::string> checksum;   // 校验码 in lower case; nullopt unless 64 hex digits
    GbkText version;                       // 版本, blanks trimmed
    std::optional<std::string> signature;  // 签名 decoded: r and s, 64 bytes; nullopt otherwise
    std::string signedText;                // what the signature covers (signedText of the block)
};

/// The block of a page: the bytes up to the first NUL, between the first start marker and the
/// end marker after it; empty when either is missing.
GbkText updateBlock(std::string_view page);

/// The value of `key` (with its "=") in `block`, up to the next "</p>"; empty when missing.
GbkText updateValue(std::string_view block, std::string_view key);

/// True only for exactly "是": blanks or anything more count as no.
bool isYes(std::string_view value);

/// What the signature of an information page covers: the raw values of its address,
/// program-name, checksum and version entries, one labelled line each (scripts/sign-update
/// writes the same text).
std::string signedText(std::string_view block);

UpdateNotice readNotice(std::string_view page);
UpdateInfo readUpdateInfo(std::string_view page);

/// `text` as a SHA-256 digest in lower case when it is exactly 64 hexadecimal digits.
std::optional<std::string> readChecksum(std::string_view text);

/// What the notice asks for: the forced window first, then the question.
struct UpdateSteps {
    bool openWindow = false;
    bool ask = false;
};
UpdateSteps stepsFor(const UpdateNotice& notice);
