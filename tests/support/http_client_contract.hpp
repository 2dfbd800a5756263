#pragma once
// What every HttpClient does against the local lyric site (tools/lyric-site), whichever system
// library it is built on: bodies whole, failures told apart from content, silent servers and
// cancels ending the transfer in time, the request sent as written. Each check adds failures
// to the running test.

#include <string>

#include "platform/web_fetch.hpp"

namespace http_contract {

/// Limits short enough for a test to wait them out: 1 s to connect, 1 s idle, 4 s in all.
FetchLimits shortLimits();

void bodiesArriveByteForByte(HttpClient& client, const std::string& site);
void failuresAreToldApartFromContent(HttpClient& client, const std::string& site);
void silentServersRunIntoTheLimits(HttpClient& client, const std::string& site);
/// A cancel 0.3 s into a hanging transfer ends it within `limitSeconds` of its start.
void cancelEndsAHangingTransfer(HttpClient& client, const std::string& site, double limitSeconds);
void requestGoesOutAsWritten(HttpClient& client, const std::string& site);

}  // namespace http_contract
