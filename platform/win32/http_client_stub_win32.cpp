// Stands in for the WinINet client until it arrives: every fetch fails, nothing is contacted.
#include "platform/web_fetch.hpp"

namespace {

class UnavailableHttpClient : public HttpClient {
  public:
    FetchOutcome fetch(const FetchRequest&, const std::atomic<bool>*) override {
        return {"", 0, FetchFailure::Other};
    }
};

}  // namespace

std::unique_ptr<HttpClient> makeHttpClient() { return std::make_unique<UnavailableHttpClient>(); }
