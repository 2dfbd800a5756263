#include "update/update_checker.hpp"

void UpdateChecker::run() {
    if (noticeAddress_.empty()) return;  // nothing configured: start-up goes on at once
    // NOTE: fetching and evaluating the notice need the web-fetch client, which comes with the
    // update client; no build configures an address before that.
}
