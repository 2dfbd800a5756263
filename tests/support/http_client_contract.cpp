#include "tests/support/http_client_contract.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>  // and the clocks: <chrono>'s unit suffix "\u00b5s" has no GBK form

namespace http_contract {
namespace {

FetchOutcome get(HttpClient& client, const std::string& url, FetchLimits limits = {},
                 const std::atomic<bool>* cancel = nullptr) {
    FetchRequest request;
    request.url = url;
    request.limits = limits;
    return client.fetch(request, cancel);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

FetchLimits shortLimits() {
    FetchLimits limits;
    limits.connectSeconds = 1;
    limits.idleSeconds = 1;
    limits.totalSeconds = 4;
    return limits;
}

void bodiesArriveByteForByte(HttpClient& client, const std::string& site) {
    const char* source = std::getenv("CANTOREL_SOURCE_DIR");
    ASSERT_TRUE(source) << "CANTOREL_SOURCE_DIR is not set";
    std::ifstream file(std::string(source) + "/tools/lyric-site/data/lrc/far-utf16.lrc",
                       std::ios::binary);
    const std::string utf16((std::istreambuf_iterator<char>(file)), {});
    ASSERT_GT(utf16.size(), 10u);
    FetchOutcome lrc = get(client, site + "/lrc/far-utf16.lrc");
    EXPECT_TRUE(lrc.ok());
    EXPECT_EQ(lrc.body, utf16);  // zero bytes included

    FetchOutcome big = get(client, site + "/x/big");  // no Content-Length: read to the end
    EXPECT_TRUE(big.ok());
    ASSERT_EQ(big.body.size(), 300000u);
    for (std::size_t at = 0; at < big.body.size(); at += 7000)
        ASSERT_EQ(big.body[at], 'a' + static_cast<char>(at / 7000 % 26)) << at;

    // Given to a sink, the body arrives the same, part by part, and is not kept; an error's body
    // is kept and never reaches the sink.
    for (const char* path : {"/x/big", "/x/404"}) {
        std::string sunk;
        FetchRequest request;
        request.url = site + path;
        request.sink = [&](std::string_view part) {
            sunk.append(part);
            return true;
        };
        const FetchOutcome outcome = client.fetch(request);
        EXPECT_EQ(sunk.size(), std::string(path) == "/x/big" ? 300000u : 0u) << path;
        EXPECT_EQ(outcome.body.empty(), std::string(path) == "/x/big") << path;
    }

    FetchLimits small;
    small.maxBytes = 100000;
    EXPECT_EQ(get(client, site + "/x/big", small).failure, FetchFailure::TooLarge);
    EXPECT_EQ(get(client, site + "/x/endless").failure, FetchFailure::TooLarge);  // 16 MiB
}

void failuresAreToldApartFromContent(HttpClient& client, const std::string& site) {
    FetchOutcome missing = get(client, site + "/x/404");
    EXPECT_EQ(missing.failure, FetchFailure::None);
    EXPECT_EQ(missing.status, 404);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.body.find("404 Not Found"), std::string::npos);

    FetchOutcome cut = get(client, site + "/x/cut");
    EXPECT_EQ(cut.failure, FetchFailure::Cut);
    EXPECT_FALSE(cut.ok());

    EXPECT_EQ(get(client, "http://127.0.0.1:1/", shortLimits()).failure, FetchFailure::Connect);
    for (const char* bad : {"", "gopher://127.0.0.1/", "127.0.0.1/x"})
        EXPECT_EQ(get(client, bad, shortLimits()).failure, FetchFailure::BadAddress) << bad;
}

void silentServersRunIntoTheLimits(HttpClient& client, const std::string& site) {
    for (const char* path : {"/x/stall", "/x/stall-body"}) {
        const auto start = std::chrono::steady_clock::now();
        FetchOutcome outcome = get(client, site + path, shortLimits());
        EXPECT_EQ(outcome.failure, FetchFailure::Timeout) << path;
        EXPECT_LT(secondsSince(start), 4.0) << path;
    }
}

void cancelEndsAHangingTransfer(HttpClient& client, const std::string& site, double limitSeconds) {
    for (const char* path : {"/x/stall", "/x/stall-body"}) {
        std::atomic<bool> cancel{false};
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancel = true;
        });
        const auto start = std::chrono::steady_clock::now();
        FetchOutcome outcome = get(client, site + path, {}, &cancel);
        const double took = secondsSince(start);
        canceller.join();
        EXPECT_EQ(outcome.failure, FetchFailure::Cancelled) << path;
        EXPECT_LT(took, limitSeconds) << path;
    }
}

void requestGoesOutAsWritten(HttpClient& client, const std::string& site) {
    FetchOutcome echo = get(client, site + "/x/echo/\xB8\xE8%41?k=\xB4\xCA&z=1#not-sent");
    ASSERT_TRUE(echo.ok());
    EXPECT_EQ(echo.body,
              "/x/echo/\xB8\xE8%41?k=\xB4\xCA&z=1\nHTTP/1.0\n"
              "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\n*/*\n");

    // A redirect is followed, and its own path is the one sent.
    FetchOutcome moved = get(client, site + "/x/moved#x");
    EXPECT_TRUE(moved.ok());
    EXPECT_EQ(moved.body, get(client, site + "/lrc/night-gbk.lrc").body);
    // A redirect out of the web is not followed.
    EXPECT_EQ(get(client, site + "/x/to-file").failure, FetchFailure::BadAddress);

    FetchRequest named;
    named.url = site + "/x/echo";
    named.userAgent = "Cantorel/4.0";
    EXPECT_EQ(client.fetch(named).body, "/x/echo\nHTTP/1.0\nCantorel/4.0\n*/*\n");
}

}  // namespace http_contract
