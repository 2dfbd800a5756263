#pragma once
// The two push-like toggles of the top bar. Their captions are their state: "[展开]" means the
// next click widens the window and shows that toggle's panel, anything else means the next click
// narrows it. The toggles never look at each other.

#include "ui/main_units.hpp"

namespace panels {

/// Click on 设置: widen and show the settings panel, or narrow (panel visibility unchanged).
void onSettingsToggle(MainUnits& units);

/// Click on 歌词下载: widen and show the lyric-search panel, or narrow.
void onSearchToggle(MainUnits& units);

}  // namespace panels
