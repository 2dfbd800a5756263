#include "update/update_pages.hpp"

#include "text/gbk_markers.hpp"
#include "update/update_signature.hpp"

namespace um = gbk::marker::update;

GbkText updateBlock(std::string_view page) {
    return gbk::textBetween(gbk::cutAtNul(page), um::kBlockStart, um::kBlockEnd);
}

GbkText updateValue(std::string_view block, std::string_view key) {
    return gbk::textBetween(block, key, um::kValueEnd);
}

bool isYes(std::string_view value) { return value == um::kYes; }

UpdateNotice readNotice(std::string_view page) {
    const GbkText block = updateBlock(page);
    return {isYes(updateValue(block, um::kForced)), isYes(updateValue(block, um::kPrompt))};
}

std::optional<std::string> readChecksum(std::string_view text) {
    if (text.size() != 64) return std::nullopt;
    std::string digest(text);
    for (char& c : digest) {
        c = gbk::lowerAscii(c);
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return std::nullopt;
    }
    return digest;
}

std::string signedText(std::string_view block) {
    return "cantorel-update\naddress=" + updateValue(block, um::kAddress) +
           "\nprogram=" + updateValue(block, um::kProgramName) +
           "\nsha256=" + updateValue(block, um::kChecksum) +
           "\nversion=" + updateValue(block, um::kVersion) + "\n";
}

UpdateInfo readUpdateInfo(std::string_view page) {
    const GbkText block = updateBlock(page);
    UpdateInfo info;
    info.address = gbk::trimBlanks(updateValue(block, um::kAddress));
    // The name is checked, never tidied: a name that needs tidying is refused as a whole.
    info.programName = updateValue(block, um::kProgramName);
    info.checksum = readChecksum(updateValue(block, um::kChecksum));
    info.version = gbk::trimBlanks(updateValue(block, um::kVersion));
    auto signature = decodeBase64(gbk::trimBlanks(updateValue(block, um::kSignature)));
    if (signature && signature->size() == 64) info.signature = std::move(signature);
    info.signedText = signedText(block);
    return info;
}

UpdateSteps stepsFor(const UpdateNotice& notice) { return {notice.forced, notice.prompt}; }
