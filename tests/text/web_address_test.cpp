#include "text/web_address.hpp"

#include <gtest/gtest.h>

namespace {

using web_address::redirectTarget;

TEST(WebAddress, AddressesSplitIntoOriginAndTarget) {
    auto a = web_address::parse("HTTPS://User:pw@Example.COM:8443/p?q=1#frag");
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->secure);
    EXPECT_EQ(a->host, "example.com");
    EXPECT_EQ(a->port, 8443);
    EXPECT_EQ(a->userInfo, "User:pw");
    EXPECT_EQ(a->target, "/p?q=1");
    EXPECT_EQ(web_address::parse("http://[::1]")->host, "::1");
    EXPECT_EQ(web_address::parse("http://h?x")->target, "/?x");
    for (const char* bad :
         {"", "ftp://h/", "http://", "http://h:0/", "http://h:70000/", "http://h:8x/",
          "http://h/a b", "http://h/a\r\nHost: x", "http://h/\x7f"})
        EXPECT_FALSE(web_address::parse(bad)) << bad;
}

TEST(WebAddress, OnlyHttpsOrTheMachineItselfCountsAsSafe) {
    for (const char* yes : {"https://example.com/x", "http://127.0.0.1:5000/x", "http://localhost/",
                            "http://127.8.9.10/", "http://[::1]:80/"})
        EXPECT_TRUE(web_address::isSecureOrLoopback(yes)) << yes;
    for (const char* no :
         {"http://example.com/", "http://127.0.0.1.example.com/", "http://192.168.1.2/",
          "http://1270.0.0.1/", "http://127.0.0/", "https://example.com/a b"})
        EXPECT_FALSE(web_address::isSecureOrLoopback(no)) << no;
}

TEST(WebAddress, RedirectsStayOnTheWebAndNeverStepDownFromHttps) {
    EXPECT_EQ(redirectTarget("http://h:1/a/b?x", "/c"), "http://h:1/c");
    EXPECT_EQ(redirectTarget("http://h:1/a/b?x", "c"), "http://h:1/a/c");
    EXPECT_EQ(redirectTarget("https://h/a", "//g/x"), "https://g/x");
    EXPECT_EQ(redirectTarget("http://h/a", "https://g/x"), "https://g/x");
    EXPECT_EQ(redirectTarget("https://h/a", "https://g/x"), "https://g/x");
    EXPECT_EQ(redirectTarget("https://h/a", "http://g/x"), std::nullopt);
    EXPECT_EQ(redirectTarget("https://h/a", "HTTP://h/x"), std::nullopt);
    EXPECT_EQ(redirectTarget("http://h/a", "file:///etc/passwd"), std::nullopt);
    EXPECT_EQ(redirectTarget("http://h/a", "/x\r\nSet-Cookie: a"), std::nullopt);
    EXPECT_EQ(redirectTarget("http://h/a", ""), std::nullopt);
}

TEST(WebAddress, PasswordsNeverShow) {
    EXPECT_EQ(web_address::withoutPassword("http://me:secret@h/p?a=b@c"),
              "http://me:***@h/p?a=b@c");
    EXPECT_EQ(web_address::withoutPassword("http://me@h/"), "http://me@h/");
    EXPECT_EQ(web_address::withoutPassword("http://h/a:b@c"), "http://h/a:b@c");
}

}  // namespace
