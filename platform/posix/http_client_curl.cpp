// The HTTP client of the command line and the native tests: libcurl, with the request the
// program sends everywhere and bounded waits.
#include <curl/curl.h>

#include <mutex>

#include "platform/web_fetch.hpp"

namespace {

struct Transfer {
    FetchOutcome outcome;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
    const std::atomic<bool>* cancel = nullptr;
    const FetchRequest* request = nullptr;
    CURL* curl = nullptr;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (transfer.outcome.body.size() + n > transfer.maxBytes) {
        transfer.tooLarge = true;
        return 0;  // ends the transfer with CURLE_WRITE_ERROR
    }
    transfer.outcome.body.append(data, n);
    if (transfer.request->progress) {
        curl_off_t announced = -1;
        curl_easy_getinfo(transfer.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        transfer.request->progress(transfer.outcome.body.size(), announced);
    }
    return n;
}

// Called about once a second even while nothing arrives, so a cancel is seen in time.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto& transfer = *static_cast<Transfer*>(user);
    return transfer.cancel && transfer.cancel->load() ? 1 : 0;
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
            return FetchFailure::Cancelled;
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
        // The path and query go out byte for byte: spaces and GBK bytes are allowed and not
        // escaped; the fragment is never sent.
        const CURLUcode parsed = curl_url_set(url, CURLUPART_URL, request.url.c_str(),
                                              CURLU_ALLOW_SPACE | CURLU_PATH_AS_IS);
        if (parsed != CURLUE_OK) {
            curl_url_cleanup(url);
            curl_easy_cleanup(curl);
            transfer.outcome.failure = FetchFailure::BadAddress;
            return transfer.outcome;
        }
        curl_url_set(url, CURLUPART_FRAGMENT, nullptr, 0);

        const std::string agent = request.userAgent.empty() ? kBrowserUserAgent : request.userAgent;
        headers = curl_slist_append(headers, "Accept: */*");
        headers = curl_slist_append(headers, "Pragma: no-cache");
        headers = curl_slist_append(headers, "Cache-Control: no-cache");

        curl_easy_setopt(curl, CURLOPT_CURLU, url);
        curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT,
                         static_cast<long>(request.limits.connectSeconds));
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(request.limits.totalSeconds));
        // No byte for idleSeconds ends the transfer.
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME,
                         static_cast<long>(request.limits.idleSeconds));
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

        const CURLcode code = curl_easy_perform(curl);
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        transfer.outcome.status = static_cast<int>(status);
        transfer.outcome.failure = failureOf(code, transfer);

        curl_slist_free_all(headers);
        curl_easy_cleanup(curl);
        curl_url_cleanup(url);
        return transfer.outcome;
    }
};

}  // namespace

std::unique_ptr<HttpClient> makeHttpClient() { return std::make_unique<CurlHttpClient>(); }
