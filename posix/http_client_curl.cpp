// The HTTP client of the command line and the native tests: libcurl, with the request the
// program sends everywhere and bounded waits.
#include <curl/curl.h>
#include <time.h>

#include <mutex>
#include <optional>

#include "platform/web_fetch.hpp"

namespace {

// <chrono> cannot be included here: its unit suffix "\u00b5s" has no GBK form.
double monotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Transfer {
    FetchOutcome outcome;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
    const std::atomic<bool>* cancel = nullptr;
    const FetchRequest* request = nullptr;
    CURL* curl = nullptr;
    double idleSeconds = 0;
    double lastByte = monotonicSeconds();
    bool idle = false;
};

// The request target of `url` as written: from the "/" or "?" after the host up to the "#",
// "/" when there is none. ("?" and "#" are never the second byte of a GBK character.)
std::string rawTarget(const std::string& url) {
    const std::size_t scheme = url.find("://");
    const std::size_t start =
        scheme == std::string::npos ? std::string::npos : url.find_first_of("/?#", scheme + 3);
    if (start == std::string::npos || url[start] == '#') return "/";
    const std::size_t end = url.find('#', start);
    std::string target = url.substr(start, end == std::string::npos ? end : end - start);
    return target[0] == '?' ? "/" + target : target;
}

bool isRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (transfer.outcome.body.size() + n > transfer.maxBytes) {
        transfer.tooLarge = true;
        return 0;  // ends the transfer with CURLE_WRITE_ERROR
    }
    transfer.outcome.body.append(data, n);
    transfer.lastByte = monotonicSeconds();
    if (transfer.request->progress) {
        curl_off_t announced = -1;
        curl_easy_getinfo(transfer.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        transfer.request->progress(transfer.outcome.body.size(), announced);
    }
    return n;
}

// Called about once a second even while nothing arrives, so a cancel or a silent server is seen
// in time. libcurl's own low-speed limit averages over several seconds: a server that sends a
// first part and then falls silent would be given seconds more than the idle limit.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& transfer = *static_cast<Transfer*>(user);
    if (transfer.cancel && transfer.cancel->load()) return 1;
    if (monotonicSeconds() - transfer.lastByte > transfer.idleSeconds) {
        transfer.idle = true;
        return 1;
    }
    return 0;
}

FetchFailure failureOf(CURLcode code, const Transfer& transfer) {
    switch (code) {
        case CURLE_OK:
            return FetchFailure::None;
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return FetchFailure::BadAddress;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return FetchFailure::Resolve;
        case CURLE_COULDNT_CONNECT:
            return FetchFailure::Connect;
        case CURLE_OPERATION_TIMEDOUT:
            return FetchFailure::Timeout;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_SEND_ERROR:
            return FetchFailure::Cut;
        case CURLE_WRITE_ERROR:
            return transfer.tooLarge ? FetchFailure::TooLarge : FetchFailure::Other;
        case CURLE_ABORTED_BY_CALLBACK:
            return transfer.idle ? FetchFailure::Timeout : FetchFailure::Cancelled;
        default:
            return FetchFailure::Other;
    }
}

class CurlHttpClient : public HttpClient {
  public:
    CurlHttpClient() {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    }

    FetchOutcome fetch(const FetchRequest& request, const std::atomic<bool>* cancel) override {
        Transfer transfer;
        transfer.maxBytes = request.limits.maxBytes;
        transfer.cancel = cancel;
        transfer.request = &request;
        if (request.url.empty()) {
            transfer.outcome.failure = FetchFailure::BadAddress;
            return transfer.outcome;
        }
        CURLU* url = curl_url();
        CURL* curl = curl_easy_init();
        curl_slist* headers = nullptr;
        if (!url || !curl) {
            curl_url_cleanup(url);
            curl_easy_cleanup(curl);
            transfer.outcome.failure = FetchFailure::Other;
            return transfer.outcome;
        }
        transfer.curl = curl;
        const std::string agent = request.userAgent.empty() ? kBrowserUserAgent : request.userAgent;
        headers = curl_slist_append(headers, "Accept: */*");
        headers = curl_slist_append(headers, "Pragma: no-cache");
        headers = curl_slist_append(headers, "Cache-Control: no-cache");

        curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
        if (!request.referer.empty())
            curl_easy_setopt(curl, CURLOPT_REFERER, request.referer.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT,
                         static_cast<long>(request.limits.connectSeconds));
        // No byte for idleSeconds ends the transfer (watched in onProgress).
        transfer.idleSeconds = request.limits.idleSeconds;
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

        // libcurl escapes the high bytes and spaces of a path it parses, so the request target
        // is given as the address writes it (the fragment is never sent). Such a target would
        // also go to every host a redirect names, so redirects are followed here, each with the
        // target of its own address.
        const double deadline = monotonicSeconds() + request.limits.totalSeconds;
        std::string address = request.url;
        for (int hop = 0;; ++hop) {
            const CURLUcode parsed = curl_url_set(url, CURLUPART_URL, address.c_str(),
                                                  CURLU_ALLOW_SPACE | CURLU_PATH_AS_IS);
            if (parsed != CURLUE_OK) {
                transfer.outcome.failure = FetchFailure::BadAddress;
                break;
            }
            const std::string target = rawTarget(address);
            curl_easy_setopt(curl, CURLOPT_CURLU, url);
            curl_easy_setopt(curl, CURLOPT_REQUEST_TARGET, target.c_str());
            const double left = deadline - monotonicSeconds();
            curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS,
                             static_cast<long>(left > 0.001 ? left * 1000 : 1));
            transfer.outcome.body.clear();
            transfer.lastByte = monotonicSeconds();
            const CURLcode code = curl_easy_perform(curl);
            long status = 0;
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
            transfer.outcome.status = static_cast<int>(status);
            transfer.outcome.failure = failureOf(code, transfer);
            char* next = nullptr;
            curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &next);
            if (code != CURLE_OK || !isRedirect(status) || !next || hop == 10) break;
            address = next;
            // Only the web's own schemes: a redirect must not reach files or other services.
            if (address.rfind("http://", 0) != 0 && address.rfind("https://", 0) != 0) {
                transfer.outcome.failure = FetchFailure::BadAddress;
                break;
            }
        }

        curl_slist_free_all(headers);
        curl_easy_cleanup(curl);
        curl_url_cleanup(url);
        return transfer.outcome;
    }
};

}  // namespace

std::unique_ptr<HttpClient> makeHttpClient() { return std::make_unique<CurlHttpClient>(); }
