// The libcurl client against the local lyric site: bodies whole, failures told apart from
// content, silent servers and cancels ending the transfer in time.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>  // and the clocks: <chrono>'s unit suffix "\u00b5s" has no GBK form

#include "platform/web_fetch.hpp"
#include "tests/posix/lyric_site.hpp"

namespace {

using SteadyClock = std::chrono::steady_clock;

double secondsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

class CurlClient : public LyricSiteSuite {
  protected:
    FetchOutcome get(const std::string& path, FetchLimits limits = {},
                     const std::atomic<bool>* cancel = nullptr) {
        FetchRequest request;
        request.url = site_->base() + path;
        request.limits = limits;
        return client_->fetch(request, cancel);
    }

    static FetchLimits shortLimits() {
        FetchLimits limits;
        limits.connectSeconds = 1;
        limits.idleSeconds = 1;
        limits.totalSeconds = 4;
        return limits;
    }

    std::unique_ptr<HttpClient> client_ = makeHttpClient();
};

TEST_F(CurlClient, BodiesArriveByteForByteWithOrWithoutALength) {
    std::ifstream file(std::string(std::getenv("CANTOREL_SOURCE_DIR")) +
                           "/tools/lyric-site/data/lrc/far-utf16.lrc",
                       std::ios::binary);
    const std::string utf16((std::istreambuf_iterator<char>(file)), {});
    ASSERT_GT(utf16.size(), 10u);
    FetchOutcome lrc = get("/lrc/far-utf16.lrc");
    EXPECT_TRUE(lrc.ok());
    EXPECT_EQ(lrc.body, utf16);  // zero bytes included

    FetchOutcome big = get("/x/big");  // no Content-Length: read to the end of the connection
    EXPECT_TRUE(big.ok());
    ASSERT_EQ(big.body.size(), 300000u);
    for (std::size_t at = 0; at < big.body.size(); at += 7000)
        ASSERT_EQ(big.body[at], 'a' + static_cast<char>(at / 7000 % 26)) << at;

    FetchLimits small;
    small.maxBytes = 100000;
    EXPECT_EQ(get("/x/big", small).failure, FetchFailure::TooLarge);
    EXPECT_EQ(get("/x/endless").failure, FetchFailure::TooLarge);  // the 16 MiB default
}

TEST_F(CurlClient, FailuresAreToldApartFromContent) {
    FetchOutcome missing = get("/x/404");
    EXPECT_EQ(missing.failure, FetchFailure::None);
    EXPECT_EQ(missing.status, 404);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.body.find("404 Not Found"), std::string::npos);

    FetchOutcome cut = get("/x/cut");
    EXPECT_EQ(cut.failure, FetchFailure::Cut);
    EXPECT_FALSE(cut.ok());

    FetchRequest refused;
    refused.url = "http://127.0.0.1:1/";
    refused.limits = shortLimits();
    EXPECT_EQ(client_->fetch(refused).failure, FetchFailure::Connect);
    for (const char* bad : {"", "gopher://127.0.0.1/", "127.0.0.1/x"}) {
        refused.url = bad;
        EXPECT_EQ(client_->fetch(refused).failure, FetchFailure::BadAddress) << bad;
    }
}

TEST_F(CurlClient, SilentServersRunIntoTheLimits) {
    for (const char* path : {"/x/stall", "/x/stall-body"}) {
        const auto start = SteadyClock::now();
        FetchOutcome outcome = get(path, shortLimits());
        EXPECT_EQ(outcome.failure, FetchFailure::Timeout) << path;
        EXPECT_LT(secondsSince(start), 4.0) << path;
    }
}

TEST_F(CurlClient, CancelEndsAHangingTransferWithinASecond) {
    for (const char* path : {"/x/stall", "/x/stall-body"}) {
        std::atomic<bool> cancel{false};
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancel = true;
        });
        const auto start = SteadyClock::now();
        FetchOutcome outcome = get(path, {}, &cancel);
        const double took = secondsSince(start);
        canceller.join();
        EXPECT_EQ(outcome.failure, FetchFailure::Cancelled) << path;
        EXPECT_LT(took, 1.8) << path;  // about a second after the cancel, with room for load
    }
}

TEST_F(CurlClient, RequestGoesOutAsWritten) {
    FetchOutcome echo = get("/x/echo/\xB8\xE8%41?k=\xB4\xCA&z=1#not-sent");
    ASSERT_TRUE(echo.ok());
    EXPECT_EQ(echo.body,
              "/x/echo/\xB8\xE8%41?k=\xB4\xCA&z=1\nHTTP/1.0\n"
              "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\n*/*\n");

    // A redirect is followed, and its own path is the one sent.
    FetchOutcome moved = get("/x/moved#x");
    EXPECT_TRUE(moved.ok());
    EXPECT_EQ(moved.body, get("/lrc/night-gbk.lrc").body);

    FetchRequest named;
    named.url = site_->base() + "/x/echo";
    named.userAgent = "Cantorel/4.0";
    EXPECT_EQ(client_->fetch(named).body, "/x/echo\nHTTP/1.0\nCantorel/4.0\n*/*\n");
}

}  // namespace
