// The libcurl client against the local lyric site: the contract every client keeps.
#include <gtest/gtest.h>

#include "platform/web_fetch.hpp"
#include "tests/posix/lyric_site.hpp"
#include "tests/support/http_client_contract.hpp"

namespace {

class CurlClient : public LyricSiteSuite {
  protected:
    std::unique_ptr<HttpClient> client_ = makeHttpClient();
};

TEST_F(CurlClient, BodiesArriveByteForByteWithOrWithoutALength) {
    http_contract::bodiesArriveByteForByte(*client_, site_->base());
}

TEST_F(CurlClient, FailuresAreToldApartFromContent) {
    http_contract::failuresAreToldApartFromContent(*client_, site_->base());
}

TEST_F(CurlClient, SilentServersRunIntoTheLimits) {
    http_contract::silentServersRunIntoTheLimits(*client_, site_->base());
}

TEST_F(CurlClient, CancelEndsAHangingTransferWithinASecond) {
    // About a second after the cancel, with room for a loaded machine.
    http_contract::cancelEndsAHangingTransfer(*client_, site_->base(), 1.8);
}

TEST_F(CurlClient, RequestGoesOutAsWritten) {
    http_contract::requestGoesOutAsWritten(*client_, site_->base());
}

}  // namespace
