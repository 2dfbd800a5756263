// The program's HTTP client on Windows: WinINet in synchronous mode. A blocking WinINet call
// has no time limit the program can rely on, so the transfer runs on a thread of its own while
// the caller watches the clock and the cancel flag; when a limit runs out it closes the handles,
// which ends the pending call. Should WinINet still not return, the caller leaves the transfer
// thread behind and returns anyway: a fetch never outlives its limits by more than a second.
#include "win32/http_client_wininet.hpp"

#include <windows.h>
#include <wininet.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;  // not Clock: sources are built in batches

constexpr std::size_t kLargeChunk = 102400;
constexpr std::size_t kDefaultChunk = 10240;

/// One root handle per User-Agent, opened on first use and kept for the life of the process.
HINTERNET rootFor(const std::string& agent) {
    static std::mutex mutex;
    static std::map<std::string, HINTERNET> roots;
    std::lock_guard lock(mutex);
    auto found = roots.find(agent);
    if (found != roots.end()) return found->second;
    HINTERNET root =
        InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (root) roots.emplace(agent, root);
    return root;
}

FetchFailure failureOfError(DWORD error) {
    switch (error) {
        case ERROR_INTERNET_NAME_NOT_RESOLVED:
            return FetchFailure::Resolve;
        case ERROR_INTERNET_CANNOT_CONNECT:
            return FetchFailure::Connect;
        case ERROR_INTERNET_TIMEOUT:
        case WSAETIMEDOUT:
            return FetchFailure::Timeout;
        case ERROR_INTERNET_CONNECTION_ABORTED:
        case ERROR_INTERNET_CONNECTION_RESET:
        case ERROR_HTTP_INVALID_SERVER_RESPONSE:
            return FetchFailure::Cut;
        case ERROR_INTERNET_INVALID_URL:
        case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
            return FetchFailure::BadAddress;
        default:
            return FetchFailure::Other;
    }
}

/// What the transfer thread and the watching caller share. The handles are closed exactly once,
/// by whichever side gets there first, always under the lock.
struct Transfer {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    HINTERNET connection = nullptr;
    HINTERNET request = nullptr;
    bool closed = false;  // the caller closed the handles; the thread must not use them
    SteadyClock::time_point lastActive;  // the last time a byte (or the connection) arrived
    bool connecting = true;              // no response yet
    FetchOutcome outcome;

    void touch(bool responded) {
        std::lock_guard lock(mutex);
        lastActive = SteadyClock::now();
        if (responded) connecting = false;
    }

    /// True when nothing arrived for about `seconds`: WinINet's own time limit ended the call,
    /// whatever error it reports for it. The caller holds the lock.
    bool silentFor(int seconds) const {
        return SteadyClock::now() - lastActive >=
               std::chrono::seconds(seconds) - std::chrono::milliseconds(200);
    }

    FetchFailure failureAfterSilence(DWORD error, int seconds) {
        std::lock_guard lock(mutex);
        return silentFor(seconds) ? FetchFailure::Timeout : failureOfError(error);
    }

    void closeHandles() {
        if (request) InternetCloseHandle(request);
        if (connection) InternetCloseHandle(connection);
        request = connection = nullptr;
    }

    /// Runs the request on the calling thread; `address` is already split.
    void run(const WinInetAddress& address, const FetchRequest& request);
};

void setTimeouts(HINTERNET handle, const FetchLimits& limits) {
    DWORD connectMs = static_cast<DWORD>(limits.connectSeconds) * 1000;
    DWORD idleMs = static_cast<DWORD>(limits.idleSeconds) * 1000;
    InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connectMs, sizeof connectMs);
    InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &idleMs, sizeof idleMs);
    InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &idleMs, sizeof idleMs);
}

void Transfer::run(const WinInetAddress& address, const FetchRequest& fetchRequest) {
    const std::string agent =
        fetchRequest.userAgent.empty()
            ? std::string("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)")
            : fetchRequest.userAgent;
    auto fail = [this](FetchFailure failure) {
        std::lock_guard lock(mutex);
        if (outcome.failure == FetchFailure::None) outcome.failure = failure;
    };

    HINTERNET root = rootFor(agent);
    if (!root) return fail(FetchFailure::Other);
    // Any proxy comes from the system's settings; the program has none of its own.
    INTERNET_PROXY_INFO proxy{INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr};
    InternetSetOptionA(root, INTERNET_OPTION_PROXY, &proxy, sizeof proxy);

    HINTERNET connection = InternetConnectA(
        root, address.host.c_str(), static_cast<INTERNET_PORT>(address.port),
        address.user.empty() ? nullptr : address.user.c_str(),
        address.password.empty() ? nullptr : address.password.c_str(), INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) return fail(failureOfError(GetLastError()));
    {
        std::lock_guard lock(mutex);
        if (closed) {
            InternetCloseHandle(connection);
            return;
        }
        this->connection = connection;
    }
    InternetSetOptionA(connection, INTERNET_OPTION_PROXY_USERNAME, const_cast<char*>(""), 0);
    InternetSetOptionA(connection, INTERNET_OPTION_PROXY_PASSWORD, const_cast<char*>(""), 0);
    setTimeouts(connection, fetchRequest.limits);

    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (address.secure) flags |= INTERNET_FLAG_SECURE;
    const char* accept[] = {"*/*", nullptr};
    HINTERNET request = HttpOpenRequestA(connection, "GET", address.target.c_str(), "HTTP/1.0",
                                         nullptr, accept, flags, 0);
    if (!request) return fail(failureOfError(GetLastError()));
    {
        std::lock_guard lock(mutex);
        if (closed) {
            InternetCloseHandle(request);
            return;
        }
        this->request = request;
    }
    setTimeouts(request, fetchRequest.limits);

    static const char kAccept[] = "Accept: */*\r\n";
    if (!HttpSendRequestA(request, kAccept, sizeof kAccept - 1, nullptr, 0))
        return fail(failureAfterSilence(GetLastError(), fetchRequest.limits.idleSeconds));
    touch(true);

    DWORD status = 0;
    DWORD size = sizeof status;
    if (HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                       nullptr)) {
        std::lock_guard lock(mutex);
        outcome.status = static_cast<int>(status);
    }
    char lengthText[33] = {};
    DWORD lengthSize = sizeof lengthText - 1;
    long long contentLength = -1;
    if (HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, lengthText, &lengthSize, nullptr)) {
        contentLength = parseContentLength(std::string(lengthText, lengthSize));
    }
    if (fetchRequest.progress) fetchRequest.progress(0, contentLength);
    std::string chunk(readChunkSize(contentLength), '\0');

    for (;;) {
        DWORD got = 0;
        BOOL read = InternetReadFile(request, chunk.data(), static_cast<DWORD>(chunk.size()), &got);
        DWORD error = read ? 0 : GetLastError();
        std::lock_guard lock(mutex);
        if (closed) return;
        const bool silent = silentFor(fetchRequest.limits.idleSeconds);
        if (got > 0) {
            if (outcome.body.size() + got > fetchRequest.limits.maxBytes) {
                outcome.failure = FetchFailure::TooLarge;
                return;
            }
            outcome.body.append(chunk.data(), got);
            lastActive = SteadyClock::now();
            if (fetchRequest.progress) fetchRequest.progress(outcome.body.size(), contentLength);
        }
        if (!read) {
            FetchFailure failure = silent ? FetchFailure::Timeout : failureOfError(error);
            outcome.failure = failure == FetchFailure::Other ? FetchFailure::Cut : failure;
            return;
        }
        if (got == 0) break;
    }
    std::lock_guard lock(mutex);
    // The server closed before the body it announced was complete.
    if (contentLength > 0 && static_cast<long long>(outcome.body.size()) < contentLength)
        outcome.failure = FetchFailure::Cut;
}

class WinInetHttpClient : public HttpClient {
  public:
    FetchOutcome fetch(const FetchRequest& request, const std::atomic<bool>* cancel) override {
        auto address = splitAddress(request.url);
        if (!address) return {"", 0, FetchFailure::BadAddress};

        auto transfer = std::make_shared<Transfer>();
        const auto start = SteadyClock::now();
        transfer->lastActive = start;
        std::thread([transfer, address = *address, request] {
            transfer->run(address, request);
            std::lock_guard lock(transfer->mutex);
            if (!transfer->closed) transfer->closeHandles();
            transfer->done = true;
            transfer->finished.notify_all();
        }).detach();

        const FetchLimits& limits = request.limits;
        std::unique_lock lock(transfer->mutex);
        for (;;) {
            if (transfer->finished.wait_for(lock, std::chrono::milliseconds(50),
                                            [&] { return transfer->done; }))
                return transfer->outcome;
            const auto now = SteadyClock::now();
            FetchFailure reason = FetchFailure::None;
            const auto idleLimit = std::chrono::seconds(
                transfer->connecting ? limits.connectSeconds + limits.idleSeconds
                                     : limits.idleSeconds);
            if (cancel && cancel->load())
                reason = FetchFailure::Cancelled;
            else if (now - start >= std::chrono::seconds(limits.totalSeconds) ||
                     now - transfer->lastActive >= idleLimit)
                reason = FetchFailure::Timeout;
            if (reason == FetchFailure::None) continue;

            transfer->outcome.failure = reason;
            transfer->closed = true;
            transfer->closeHandles();
            FetchOutcome outcome = transfer->outcome;
            // Closing the handles ends WinINet's pending call; give it a moment, then go.
            transfer->finished.wait_for(lock, std::chrono::milliseconds(500),
                                        [&] { return transfer->done; });
            outcome.body = transfer->outcome.body;
            return outcome;
        }
    }
};

}  // namespace

std::optional<WinInetAddress> splitAddress(const GbkText& url) {
    std::string text = url.substr(0, url.find('#'));
    auto startsWith = [&](const char* scheme) {
        std::size_t n = std::char_traits<char>::length(scheme);
        if (text.size() < n) return false;
        for (std::size_t i = 0; i < n; ++i) {
            char c = text[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != scheme[i]) return false;
        }
        return true;
    };
    WinInetAddress address;
    std::size_t rest;
    if (startsWith("http://")) {
        rest = 7;
        address.port = INTERNET_DEFAULT_HTTP_PORT;
    } else if (startsWith("https://")) {
        rest = 8;
        address.secure = true;
        address.port = INTERNET_DEFAULT_HTTPS_PORT;
    } else {
        return std::nullopt;
    }
    std::size_t authorityEnd = text.find_first_of("/?", rest);
    if (authorityEnd == std::string::npos) authorityEnd = text.size();
    std::string authority = text.substr(rest, authorityEnd - rest);
    address.target = text.substr(authorityEnd);
    if (address.target.empty() || address.target[0] != '/') address.target = "/" + address.target;

    std::size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        std::string userInfo = authority.substr(0, at);
        authority.erase(0, at + 1);
        std::size_t colon = userInfo.find(':');
        address.user = userInfo.substr(0, colon);
        if (colon != std::string::npos) address.password = userInfo.substr(colon + 1);
    }
    std::size_t portColon = authority.rfind(':');
    if (portColon != std::string::npos && authority.find(']', portColon) == std::string::npos) {
        std::string port = authority.substr(portColon + 1);
        authority.erase(portColon);
        if (!port.empty()) {
            if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
                return std::nullopt;
            address.port = std::stoi(port);
            if (address.port <= 0 || address.port > 65535) return std::nullopt;
        }
    }
    if (authority.size() > 2 && authority.front() == '[' && authority.back() == ']')
        authority = authority.substr(1, authority.size() - 2);
    if (authority.empty()) return std::nullopt;
    address.host = authority;
    return address;
}

long long parseContentLength(const std::string& value) {
    if (value.empty() || value.size() > 32) return -1;
    long long length = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return -1;
        if (length > (1LL << 50)) return -1;
        length = length * 10 + (c - '0');
    }
    return length;
}

std::size_t readChunkSize(long long contentLength) {
    if (contentLength <= 0) return kDefaultChunk;
    if (contentLength + 1 <= static_cast<long long>(kLargeChunk))
        return static_cast<std::size_t>(contentLength) + 1;
    return kLargeChunk;
}

std::unique_ptr<HttpClient> makeWinInetHttpClient() {
    return std::make_unique<WinInetHttpClient>();
}

std::unique_ptr<HttpClient> makeHttpClient() { return makeWinInetHttpClient(); }
