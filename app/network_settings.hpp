#pragma once
// cantorel.ini beside the program, section [network]: the lyric sources' addresses, the chosen
// source and the fetch limits. The file never needs to exist (every key has its default) and
// the settings store never erases it; only the source choice is ever written back.

#include <string_view>

#include "search/lyric_source.hpp"
#include "text/gbk_text.hpp"

/// The settings in an ini text; missing or unusable values keep their defaults.
NetworkSettings readNetworkSettings(std::string_view content);

/// cantorel.ini in `folder`.
GbkText networkIniPath(const GbkText& folder);

/// The settings of cantorel.ini in `folder` (defaults when it is missing).
NetworkSettings loadNetworkSettings(const GbkText& folder);

/// Writes `sourceId` as [network] source into cantorel.ini in `folder`, keeping everything
/// else in it. False when the file could not be written.
bool saveSourceChoice(const GbkText& folder, std::string_view sourceId);
