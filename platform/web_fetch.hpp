#pragma once
// Reading a web resource. Every fetch has bounded waits and returns an outcome the caller can
// judge (bytes, HTTP status, why it failed); nothing that arrives over the network is trusted
// to be complete or well-formed. The blocking client runs on a worker thread in the program
// (WinINet on Windows, libcurl on Linux); the asynchronous fetcher hands the outcome back to the
// thread that asked, so the user-interface thread never waits on the network.

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "text/gbk_text.hpp"

/// Time and size limits of one fetch; kept in cantorel.ini [network].
struct FetchLimits {
    int connectSeconds = 10;                  // connecting, name resolution included
    int idleSeconds = 15;                     // no byte for this long ends the transfer
    int totalSeconds = 60;                    // the whole fetch
    std::size_t maxBytes = 16 * 1024 * 1024;  // a larger body is a failure
};

enum class FetchFailure {
    None,         // the transfer completed; `status` says what the server answered
    BadAddress,   // no known scheme or no host
    Resolve,      // the host name could not be resolved
    Connect,      // refused or unreachable
    Timeout,      // a time limit ran out
    Cut,          // the connection ended before the body did
    TooLarge,     // the body passed FetchLimits::maxBytes
    Cancelled,    // the program cancelled it (closing, superseded)
    Certificate,  // the server's certificate is expired, untrusted or for another name
    Revocation,   // the certificate is revoked, or whether it is could not be checked
    Tls,          // no secure connection could be agreed (protocol or ciphers)
    ProxyLogon,   // the proxy asks for a logon (407)
    Offline,      // the computer has no network connection
    Other,        // any other failure of the platform's client
};

/// The User-Agent of a request that names none: the browser string the lyric site expects.
inline constexpr const char* kBrowserUserAgent =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

struct FetchRequest {
    GbkText url;            // http:// or https://; "#..." is not sent; path and query go as given
    std::string userAgent;  // empty: kBrowserUserAgent
    FetchLimits limits;
    /// When set, called on the transfer's thread with the body bytes received so far and the
    /// announced length (-1 when none): as the response arrives and after every part of the body.
    std::function<void(std::size_t received, long long announced)> progress = {};
    /// The page the request comes from, for services that answer only their own pages; empty:
    /// no Referer header.
    std::string referer = {};
    /// When set, the body of a 2xx answer goes here part by part, on the transfer's thread,
    /// instead of into FetchOutcome::body (which then stays empty): a large download never sits
    /// in memory. Returning false ends the transfer with FetchFailure::Other.
    std::function<bool(std::string_view part)> sink = {};
};

struct FetchOutcome {
    std::string body;  // the bytes received (on failure: those that arrived before it)
    int status = 0;    // HTTP status code; 0 when no response arrived
    FetchFailure failure = FetchFailure::None;

    /// The transfer completed with a 2xx status.
    bool ok() const { return failure == FetchFailure::None && status >= 200 && status < 300; }
};

/// The blocking HTTP GET of the platform. Redirects are followed (ten at most) only to http and
/// https addresses and never from https down to http. Safe to call from any thread; `cancel`, when
/// given and set from another thread, ends the transfer within about a second with
/// FetchFailure::Cancelled.
class HttpClient {
  public:
    virtual ~HttpClient() = default;
    virtual FetchOutcome fetch(const FetchRequest& request,
                               const std::atomic<bool>* cancel = nullptr) = 0;
};

/// The platform's client (libcurl on Linux, WinINet on Windows); picked at build time.
std::unique_ptr<HttpClient> makeHttpClient();

/// Fetches without blocking the caller: `done` runs later on the thread that called start (the
/// user-interface thread), in the order the fetches end.
class WebFetcher {
  public:
    using Done = std::function<void(FetchOutcome)>;
    virtual ~WebFetcher() = default;
    virtual void start(FetchRequest request, Done done) = 0;
    /// Aborts every running fetch; their `done` never runs.
    virtual void cancelAll() = 0;
};
