// The WinINet client and the window's fetcher against the local lyric site, whose address the
// test command puts into CANTOREL_LYRIC_SITE (http://127.0.0.1:PORT).
#include "win32/http_client_wininet.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "tests/support/http_client_contract.hpp"
#include "tests/win32/lyric_site.hpp"
#include "win32/message_loop.hpp"
#include "win32/web_fetcher_win32.hpp"

namespace {

// Named apart from the core's Clock, which a unity build puts in the same unit.
using SteadyClock = std::chrono::steady_clock;

double secondsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

class WinInetClient : public ::testing::Test {
  protected:
    void SetUp() override {
        site_ = lyricSiteAddress();
        ASSERT_FALSE(site_.empty());
    }

    std::string site_;
    std::unique_ptr<HttpClient> client_ = makeWinInetHttpClient();
};

TEST(WinInetAddress, SplitsCredentialsPortAndDropsTheFragment) {
    auto full = splitAddress("http://me:pa:ss@localhost:8080/a%20b?\xB8\xE8=1#part");
    ASSERT_TRUE(full);
    EXPECT_FALSE(full->secure);
    EXPECT_EQ(full->host, "localhost");
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
    http_contract::bodiesArriveByteForByte(*client_, site_);
}

TEST_F(WinInetClient, FailuresAreToldApartFromContent) {
    http_contract::failuresAreToldApartFromContent(*client_, site_);
}

TEST_F(WinInetClient, SilentServersRunIntoTheLimits) {
    http_contract::silentServersRunIntoTheLimits(*client_, site_);
}

TEST_F(WinInetClient, CancelEndsAHangingTransferWithinASecond) {
    http_contract::cancelEndsAHangingTransfer(*client_, site_, 1.3);
}

TEST_F(WinInetClient, RequestGoesOutAsWritten) {
    http_contract::requestGoesOutAsWritten(*client_, site_);
}

// Runs the thread's messages until `until` holds or `seconds` pass.
template <class Predicate>
bool pumpUntil(Predicate until, double seconds) {
    const auto start = SteadyClock::now();
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
    const auto start = SteadyClock::now();
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
    const auto start = SteadyClock::now();
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
