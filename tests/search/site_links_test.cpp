// The result page is the site's word: its links are fetched only from the site itself.
#include <gtest/gtest.h>

#include "search/lyric_source.hpp"
#include "search/site_source.hpp"

namespace {

TEST(SiteLinks, OnlyTheSitesOwnSchemeHostAndPortAreFetched) {
    NetworkSettings settings;
    settings.lyricSite = "http://127.0.0.1:8080";
    const auto source = makeSiteSource(settings);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->lyricRequest("/lrc/a.lrc").url, "http://127.0.0.1:8080/lrc/a.lrc");
    EXPECT_EQ(source->lyricRequest("HTTP://127.0.0.1:8080/a.lrc").url,
              "HTTP://127.0.0.1:8080/a.lrc");
    for (const char* elsewhere :
         {"http://127.0.0.1:8081/a.lrc", "https://127.0.0.1:8080/a.lrc", "http://localhost:8080/a",
          "http://192.168.1.2/a.lrc", "//evil.example/a.lrc", "file:///C:/a.lrc",
          "http://me:pw@127.0.0.1:8080/a.lrc", "/lrc/a.lrc\r\nCookie: x", "/lrc/a b.lrc",
          "http://127.0.0.1:8080/a\x01.lrc"})
        EXPECT_EQ(source->lyricRequest(elsewhere).url, "") << elsewhere;

    // A site named by host only is http on port 80, and its links must say the same.
    settings.lyricSite = "lrc.example.com";
    const auto byHost = makeSiteSource(settings);
    EXPECT_EQ(byHost->lyricRequest("http://lrc.example.com:80/x.lrc").url,
              "http://lrc.example.com:80/x.lrc");
    EXPECT_EQ(byHost->lyricRequest("http://lrc.example.com.evil/x.lrc").url, "");
}

}  // namespace
