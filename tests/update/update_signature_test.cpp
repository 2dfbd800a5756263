#include "update/update_signature.hpp"

#include <gtest/gtest.h>

#include "platform/sha256.hpp"
#include "platform/signature.hpp"
#include "tests/support/fake_web_fetcher.hpp"
#include "tests/support/test_key.hpp"
#include "update/download_check.hpp"

namespace {

const std::string kSum = *sha256Hex("MZ new program");

struct Site {
    TestKey maker;
    UpdateTrust trust{updateKeys(kReleaseUpdateKey, maker.publicBase64()), "4.0", verifyP256Sha256};

    InfoVerdict check(const GbkText& page) const {
        return checkUpdateInfo(FakeWebFetcher::ok(page), trust);
    }
    GbkText page(const GbkText& address = "https://example.com/n.exe",
                 const GbkText& name = "n.exe", const std::string& sum = kSum,
                 const GbkText& version = "4.1") const {
        return signPage(maker, infoPage(address, name, sum, version));
    }
};

TEST(UpdateKeys, OnlyP256PublicKeysAreRead) {
    TestKey key;
    const std::optional<std::string> point = readPublicKey(key.publicPem());
    ASSERT_TRUE(point);
    EXPECT_EQ(point->size(), 65u);
    EXPECT_EQ(readPublicKey(key.publicBase64()), point);
    EXPECT_EQ(updateKeys("", key.publicBase64()), std::vector<std::string>{*point});
    // An empty release key, text that is no key, and a key of another curve (P-384) are none.
    const char* p384 =
        "MHYwEAYHKoZIzj0CAQYFK4EEACIDYgAE3RwNCrp0zEZ6hFvw8pK5eoSEO8uShcbCuRlZrL0E+rYJXkWo+ulJ"
        "kq2bsb5Et/o4Vkc+FQ6U0TXOv6cOkFDNVIaSPqpaeGfE9VoZ8KlElaZXMVDzU66/QdYbPBl6JHXq";
    for (const char* bad :
         {"", "-----BEGIN PUBLIC KEY-----\nAAAA\n-----END PUBLIC KEY-----", "not base64!", p384})
        EXPECT_FALSE(readPublicKey(bad)) << bad;
    EXPECT_EQ(decodeBase64("aGk="), "hi");
    EXPECT_EQ(decodeBase64("aGk"), "hi");
    EXPECT_FALSE(decodeBase64("aG=k"));
}

TEST(UpdateKeys, VersionsCompareNumberByNumber) {
    EXPECT_TRUE(isNewerVersion("4.1", "4.0"));
    EXPECT_TRUE(isNewerVersion("4.10", "4.9"));
    EXPECT_TRUE(isNewerVersion("5", "4.9.9"));
    EXPECT_FALSE(isNewerVersion("4.0", "4.0"));
    EXPECT_FALSE(isNewerVersion("4", "4.0.0"));
    EXPECT_FALSE(isNewerVersion("3.9", "4.0"));
    for (const char* bad : {"", "4.", ".4", "4.x", "1.2.3.4.5", "4.1 ", "9999999999"})
        EXPECT_FALSE(isNewerVersion(bad, "0")) << bad;
}

TEST(UpdateDecision, OnlyAPageSignedByATrustedKeyCounts) {
    Site site;
    InfoVerdict good = site.check(site.page());
    ASSERT_TRUE(good.info) << good.reason;
    EXPECT_EQ(good.info->checksum, kSum);
    EXPECT_EQ(good.info->version, "4.1");

    // Unsigned, signed by somebody else, or changed after signing: refused before anything the
    // page says is looked at.
    const GbkText unsigned_ = infoPage("https://example.com/n.exe", "n.exe", kSum, "4.1");
    EXPECT_EQ(site.check(unsigned_).reason, "更新失败：更新信息没有签名");
    TestKey stranger;
    EXPECT_EQ(site.check(signPage(stranger, unsigned_)).reason, "更新失败：更新信息的签名不符");
    GbkText changed = site.page();
    changed.replace(changed.find(kSum), 64, *sha256Hex("evil"));
    EXPECT_EQ(site.check(changed).reason, "更新失败：更新信息的签名不符");
    GbkText elsewhere = site.page();
    elsewhere.replace(elsewhere.find("example.com"), 11, "example.net");
    EXPECT_EQ(site.check(elsewhere).reason, "更新失败：更新信息的签名不符");

    // Without any key nothing verifies, however the page is signed.
    Site keyless;
    keyless.trust.keys.clear();
    EXPECT_EQ(keyless.check(keyless.page()).reason, "更新失败：本程序没有更新密钥");
    EXPECT_EQ(checkUpdateInfo(FakeWebFetcher::failed(FetchFailure::Timeout), site.trust).reason,
              "更新失败：无法读取更新信息");
}

TEST(UpdateDecision, ASignedPageMustStillNameASafeNewerProgramOverHttps) {
    Site site;
    struct Case {
        GbkText page;
        const char* reason;
    };
    const Case cases[] = {
        {site.page("http://example.com/n.exe"), "更新失败：下载地址不是 https"},
        {site.page("https://example.com/\r\nX: y"), "更新失败：下载地址无效"},
        {site.page(""), "更新失败：更新信息没有下载地址"},
        {site.page("https://example.com/n.exe", "..\\evil.exe"), "更新失败：程序名字不可用"},
        {site.page("https://example.com/n.exe", "n.exe", ""), "更新失败：更新信息没有校验码"},
        {site.page("https://example.com/n.exe", "n.exe", kSum, ""), "更新失败：更新信息没有版本号"},
        // A page of an older release, replayed, must not take the user back.
        {site.page("https://example.com/n.exe", "n.exe", kSum, "4.0"),
         "更新失败：版本 4.0 不比 4.0 新"},
        {site.page("https://example.com/n.exe", "n.exe", kSum, "3.2"),
         "更新失败：版本 3.2 不比 4.0 新"},
    };
    for (const Case& c : cases) EXPECT_EQ(site.check(c.page).reason, c.reason) << c.page;
    // Plain http is allowed only to the machine itself (the tests' own servers).
    EXPECT_TRUE(site.check(site.page("http://127.0.0.1:8080/n.exe")).info);
}

}  // namespace
