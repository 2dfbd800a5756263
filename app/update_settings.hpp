#pragma once
// The update's addresses in cantorel.ini [network]: update_notice (the notice page) and
// update_info (the information page). Both empty, the default, means no check at all.
// update_key names a public key (PEM text on one line, or its base64) that may sign the
// information page besides the release's own.

#include <string_view>

#include "platform/web_fetch.hpp"
#include "text/gbk_text.hpp"

struct UpdateSettings {
    GbkText noticeAddress;
    GbkText infoAddress;
    GbkText updateKey;
    FetchLimits limits;  // the same limits as every other fetch
};

/// The settings in an ini text.
UpdateSettings readUpdateSettings(std::string_view content);

/// The settings of cantorel.ini in `folder`.
UpdateSettings loadUpdateSettings(const GbkText& folder);
