#pragma once
// The lyric site: a result page of HTML fragments "<font size="-1">…LRC歌词下载</a>", each
// holding the artist and song and the address of the LRC file.

#include <memory>

#include "search/lyric_source.hpp"

/// Hits of a result page (UTF-8 bytes). A page holding "没有找到相关" is no result.
HitList parseSitePage(std::string_view utf8Page);

/// The site's address base from a host ("lrc.example.com") or a whole base
/// ("http://127.0.0.1:8080/"), without a trailing "/".
GbkText siteBase(const GbkText& hostOrUrl);

/// The lyric site of `settings`; null when no site is set.
std::unique_ptr<LyricSource> makeSiteSource(const NetworkSettings& settings);
