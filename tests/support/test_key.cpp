#include "tests/support/test_key.hpp"

#include "text/gbk_markers.hpp"
#include "update/update_pages.hpp"

std::string encodeBase64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned int group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
        text += kDigits[group >> 18 & 63];
        text += kDigits[group >> 12 & 63];
        text += i + 1 < bytes.size() ? kDigits[group >> 6 & 63] : '=';
        text += i + 2 < bytes.size() ? kDigits[group & 63] : '=';
    }
    return text;
}

std::string TestKey::publicPem() const {
    return "-----BEGIN PUBLIC KEY-----\n" + publicBase64() + "\n-----END PUBLIC KEY-----\n";
}

GbkText signPage(const TestKey& key, const GbkText& page) {
    const std::string signature = key.sign(signedText(updateBlock(page)));
    const std::string entry =
        std::string(gbk::marker::update::kSignature) + encodeBase64(signature) + "</p><p>";
    GbkText signedPage = page;
    const std::size_t end = signedPage.find(gbk::marker::update::kBlockEnd);
    signedPage.insert(end == GbkText::npos ? signedPage.size() : end, entry);
    return signedPage;
}

GbkText infoPage(const GbkText& address, const GbkText& name, const std::string& checksum,
                 const GbkText& version) {
    namespace um = gbk::marker::update;
    GbkText page = "<p>" + GbkText(um::kBlockStart) + "</p>";
    for (auto [key, value] : {std::pair{um::kAddress, address},
                              {um::kProgramName, name},
                              {um::kChecksum, GbkText(checksum)},
                              {um::kVersion, version}}) {
        if (!value.empty()) page += "<p>" + GbkText(key) + value + "</p>";
    }
    return page + "<p>" + GbkText(um::kBlockEnd) + "</p>";
}
