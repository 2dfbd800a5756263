// scripts/sign-update against the program's own check: a page the maintainers sign with the
// OpenSSL command line passes; the same page changed afterwards does not.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/files.hpp"
#include "platform/signature.hpp"
#include "tests/support/fake_web_fetcher.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/test_key.hpp"
#include "update/download_check.hpp"
#include "update/update_signature.hpp"

namespace {

TEST(SignUpdateScript, SignsWhatTheProgramVerifies) {
    const char* source = std::getenv("CANTOREL_SOURCE_DIR");
    ASSERT_TRUE(source);
    TempFolder folder("cantorel-sign");
    const std::string key = (folder / "maker.pem").string();
    const std::string page = (folder / "info.html").string();
    ASSERT_EQ(
        std::system(("openssl ecparam -name prime256v1 -genkey -noout -out " + key +
                     " && openssl ec -in " + key + " -pubout -out " + key + ".pub 2>/dev/null")
                        .c_str()),
        0);
    const std::string sum(64, 'a');
    folder.write("info.html",
                 infoPage("https://127.0.0.1/Cantorel.exe", "Cantorel.exe", sum, "4.2"));
    const std::string sign = std::string(source) + "/scripts/sign-update " + key + " " + page;
    // Twice: a second signature replaces the first.
    ASSERT_EQ(std::system((sign + " >/dev/null && " + sign + " >/dev/null").c_str()), 0);

    const UpdateTrust trust{updateKeys(*files::readAll(folder.gbk() + "/maker.pem.pub"), ""), "4.0",
                            verifyP256Sha256};
    ASSERT_EQ(trust.keys.size(), 1u);
    const std::string signedPage = *files::readAll(folder.gbk() + "/info.html");
    InfoVerdict verdict = checkUpdateInfo(FakeWebFetcher::ok(signedPage), trust);
    ASSERT_TRUE(verdict.info) << verdict.reason;
    EXPECT_EQ(verdict.info->programName, "Cantorel.exe");

    std::string changed = signedPage;
    changed.replace(changed.find("4.2"), 3, "9.9");
    EXPECT_EQ(checkUpdateInfo(FakeWebFetcher::ok(changed), trust).reason,
              "更新失败：更新信息的签名不符");
}

}  // namespace
