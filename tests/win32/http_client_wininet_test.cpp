// The WinINet client and the window's fetcher against the local lyric site, whose address the
// test command puts into CANTOREL_LYRIC_SITE (http://127.0.0.1:PORT).
#include "platform/win32/http_client_wininet.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/win32/message_loop.hpp"
#include "platform/win32/web_fetcher_win32.hpp"
#include "tests/win32/lyric_site.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class WinInetClient : public ::testing::Test {
  protected:
    void SetUp() override {
        site_ = lyricSiteAddress();
        ASSERT_FALSE(site_.empty());
    }

    FetchOutcome get(const std::string& path, FetchLimits limits = {},
                     const std::atomic<bool>* cancel = nullptr) {
        FetchRequest request;
        request.url = site_ + path;
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

    std::string site_;
    std::unique_ptr<HttpClient> client_ = makeWinInetHttpClient();
};

TEST(WinInetAddress, SplitsCredentialsPortAndDropsTheFragment) {
    auto full = splitAddress("http://me:pa:ss@example.org:8080/a%20b?\xB8\xE8=1#part");
    ASSERT_TRUE(full);
    EXPECT_FALSE(full->secure);
    EXPECT_EQ(full->host, "example.org");
    EXPECT_EQ(full->port, 8080);
    EXPECT_EQ(full->user, "me");
    EXPECT_EQ(full->password, "pa:ss");
    EXPECT_EQ(full->target, "/a%20b?\xB8\xE8=1");

    auto secure = splitAddress("HTTPS://lrclib.net?q=x");
    ASSERT_TRUE(secure);
    EXPECT_TRUE(secure->secure);
    EXPECT_EQ(secure->port, 443);
    EXPECT_EQ(secure->target, "/?q=x");

    for (const char* bad : {"", "ftp://host/", "http://", "http:///path", "http://host:99999/",
                            "http://host:8a/", "127.0.0.1/x"})
        EXPECT_FALSE(splitAddress(bad)) << bad;
}

TEST(WinInetAddress, ReadChunkFollowsTheAnnouncedLength) {
    EXPECT_EQ(readChunkSize(-1), 10240u);
    EXPECT_EQ(readChunkSize(0), 10240u);
    EXPECT_EQ(readChunkSize(100), 101u);
    EXPECT_EQ(readChunkSize(102399), 102400u);
    EXPECT_EQ(readChunkSize(5000000), 102400u);
    EXPECT_EQ(parseContentLength("123"), 123);
    EXPECT_EQ(parseContentLength("-5"), -1);
    EXPECT_EQ(parseContentLength(std::string(33, '1')), -1);
}

TEST_F(WinInetClient, BodiesArriveByteForByteWithOrWithoutALength) {
    const char* source = std::getenv("CANTOREL_SOURCE_DIR");
    ASSERT_TRUE(source);
    std::ifstream file(std::string(source) + "/tools/lyric-site/data/lrc/far-utf16.lrc",
                       std::ios::binary);
    const std::string utf16((std::istreambuf_iterator<char>(file)), {});
    ASSERT_GT(utf16.size(), 10u);

    FetchOutcome lrc = get("/lrc/far-utf16.lrc");
    EXPECT_TRUE(lrc.ok());
    EXPECT_EQ(lrc.body, utf16);

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

TEST_F(WinInetClient, FailuresAreToldApartFromContent) {
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
    refused.url = "gopher://127.0.0.1/";
    EXPECT_EQ(client_->fetch(refused).failure, FetchFailure::BadAddress);
}

TEST_F(WinInetClient, SilentServersRunIntoTheLimits) {
    for (const char* path : {"/x/stall", "/x/stall-body"}) {
        const auto start = Clock::now();
        FetchOutcome outcome = get(path, shortLimits());
        EXPECT_EQ(outcome.failure, FetchFailure::Timeout) << path;
        EXPECT_LT(secondsSince(start), 4.0) << path;
    }
}

TEST_F(WinInetClient, CancelEndsAHangingTransferWithinASecond) {
    for (const char* path : {"/x/stall", "/x/stall-body"}) {
        std::atomic<bool> cancel{false};
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancel = true;
        });
        const auto start = Clock::now();
        FetchOutcome outcome = get(path, {}, &cancel);
        const double took = secondsSince(start);
        canceller.join();
        EXPECT_EQ(outcome.failure, FetchFailure::Cancelled) << path;
        EXPECT_LT(took, 1.3) << path;
    }
}

TEST_F(WinInetClient, RequestGoesOutAsWritten) {
    FetchOutcome echo = get("/x/echo/\xB8\xE8%41?k=\xB4\xCA&z=1#not-sent");
    ASSERT_TRUE(echo.ok());
    EXPECT_EQ(echo.body,
              "/x/echo/\xB8\xE8%41?k=\xB4\xCA&z=1\nHTTP/1.0\n"
              "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\n*/*\n");

    FetchRequest named;
    named.url = site_ + "/x/echo";
    named.userAgent = "Cantorel/4.0";
    EXPECT_EQ(client_->fetch(named).body, "/x/echo\nHTTP/1.0\nCantorel/4.0\n*/*\n");
}

// Runs the thread's messages until `until` holds or `seconds` pass.
template <class Predicate>
bool pumpUntil(Predicate until, double seconds) {
    const auto start = Clock::now();
    while (!until() && secondsSince(start) < seconds) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return until();
}

/// Counts the client's fetches that have returned, to see the workers end.
class CountingClient : public HttpClient {
  public:
    FetchOutcome fetch(const FetchRequest& request, const std::atomic<bool>* cancel) override {
        FetchOutcome outcome = inner_->fetch(request, cancel);
        ++returned;
        return outcome;
    }
    std::atomic<int> returned{0};

  private:
    std::unique_ptr<HttpClient> inner_ = makeWinInetHttpClient();
};

TEST_F(WinInetClient, FetcherAnswersOnTheCallingThreadAndCancelStopsEverything) {
    auto client = std::make_shared<CountingClient>();
    Win32WebFetcher fetcher(client);
    const DWORD uiThread = GetCurrentThreadId();

    std::vector<std::string> bodies;
    for (const char* path : {"/x/big", "/lrc/night-gbk.lrc"}) {
        FetchRequest request;
        request.url = site_ + path;
        fetcher.start(request, [&, path](FetchOutcome outcome) {
            EXPECT_EQ(GetCurrentThreadId(), uiThread);
            EXPECT_TRUE(outcome.ok()) << path;
            bodies.push_back(path);
        });
    }
    ASSERT_TRUE(pumpUntil([&] { return bodies.size() == 2; }, 10));
    EXPECT_EQ(fetcher.running(), 0u);

    // Both hang: one before the headers, one after the first part of the body. (An endless body
    // can reach the size limit before the cancel and end on its own.)
    bool called = false;
    for (const char* path : {"/x/stall", "/x/stall-body"}) {
        FetchRequest request;
        request.url = site_ + path;
        fetcher.start(request, [&](FetchOutcome) { called = true; });
    }
    pumpUntil([] { return false; }, 0.3);
    const auto start = Clock::now();
    fetcher.cancelAll();
    EXPECT_TRUE(pumpUntil([&] { return client->returned == 4; }, 3));
    EXPECT_LT(secondsSince(start), 1.2);
    pumpUntil([] { return false; }, 0.2);
    EXPECT_FALSE(called);
}

TEST_F(WinInetClient, AnswersArrivingInsideAPumpingWaitWaitForTheOuterLoop) {
    // A preview's answer asks a question in a modal box; inside a delivery's pause between
    // keystrokes that box would hold the delivery until the user answers.
    auto client = std::make_shared<CountingClient>();
    Win32WebFetcher fetcher(client);
    int answered = 0;
    FetchRequest request;
    request.url = site_ + "/lrc/night-gbk.lrc";
    fetcher.start(request, [&](FetchOutcome outcome) {
        EXPECT_TRUE(outcome.ok());
        ++answered;
    });
    const auto start = Clock::now();
    while (client->returned == 0 && secondsSince(start) < 10) {
        message_loop::pumpPending();
        Sleep(5);
    }
    ASSERT_EQ(client->returned, 1);
    for (int i = 0; i < 20; ++i) {  // the answer's message is dispatched in here, and held
        message_loop::pumpPending();
        Sleep(5);
    }
    EXPECT_EQ(answered, 0);
    EXPECT_TRUE(pumpUntil([&] { return answered == 1; }, 2));
}

}  // namespace
