#pragma once
// Song titles as people type them: "晴天", "晴天 (Live)", "ＱＩＮＧ ＴＩＡＮ" and "晴天-伴奏" name
// the same song. Keys fold full-width forms, case, spaces and punctuation; the decorated key
// also drops decorations (a bracketed part, "Live", "伴奏", "KTV版", ...), so a decoration never
// stops a match while an undecorated hit still wins over a decorated one.

#include <string_view>

#include "text/gbk_text.hpp"

/// `text` with full-width forms made half-width, ASCII letters in lower case, and spaces and
/// punctuation left out: what two spellings of one title have in common.
GbkText plainKey(std::string_view text);

/// plainKey of `text` without its decorations: bracketed parts ((), [], （）, 【】) and decoration
/// words at the end. A title that is nothing but decoration keeps its words.
GbkText titleKey(std::string_view text);

/// How close a hit's title is to the title asked for: 4 the same title; 3 the same once the
/// decorations asked for are left out, the hit's title having none ("晴天 伴奏" asks for the
/// words of "晴天"); 2 the same once all decorations are left out; 1 one holds the other; 0
/// another song.
int titleCloseness(std::string_view asked, std::string_view title);

/// How close a hit's artist is to the artist asked for: 2 the same, 1 one holds the other (a
/// duet, "A、B"), 0 none or nothing asked.
int artistCloseness(std::string_view asked, std::string_view artist);

/// True when a title names a take without singing ("晴天 (伴奏)", "X - Instrumental"): its
/// lyric, if any, is seldom the words. A title that is only such a word is a song's own title.
bool namesInstrumental(std::string_view title);

/// True when a lyric (UTF-8 LRC or plain text) only says that the track has no words: no text
/// at all, or a few lines saying 纯音乐 / 没有填词 / 暂无歌词.
bool saysNoLyric(std::string_view utf8Lyric);
