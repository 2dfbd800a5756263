#pragma once
// The update's addresses in cantorel.ini [network]: update_notice (the notice page) and
// update_info (the information page). Both empty, the default, means no check at all.

#include <string_view>

#include "platform/web_fetch.hpp"
#include "text/gbk_text.hpp"

struct UpdateSettings {
    GbkText noticeAddress;
    GbkText infoAddress;
    FetchLimits limits;  // the same limits as every other fetch
};

/// The settings in an ini text.
UpdateSettings readUpdateSettings(std::string_view content);

/// The settings of cantorel.ini in `folder`.
UpdateSettings loadUpdateSettings(const GbkText& folder);
