#pragma once
// A lyric and its translation as one LRC file: after each original line comes the translated
// line under the same time tags, which is how a bilingual file carries a translation (the
// lyric list's 双语歌词 setting shapes it).

#include <string>
#include <string_view>

/// `lyric` with the lines of `translation` (both UTF-8 LRC) put after the original lines of the
/// same time. Translation lines without a time, empty, "//" (no translation) or equal to the
/// original are left out; those whose time no original line has come at the end.
std::string mergeTranslation(std::string_view lyric, std::string_view translation);

/// The milliseconds of an LRC time tag's inside ("01:02.5", "1:02:30"); -1 when it is no time.
long long lrcTagTime(std::string_view inside);
