// What every source does the same way. (Kept apart from the source list, whose labels are
// Chinese, so the readers' fuzz targets can link it.)
#include "search/lyric_source.hpp"

FetchRequest LyricSource::queryRequest(const SearchQuery& query) const {
    GbkText text = query.text;
    if (!query.artist.empty()) text += " " + query.artist;
    return searchRequest(text);
}

std::optional<HitList> LyricSource::readAnswer(const FetchOutcome& outcome) const {
    // As searchFailed judges it: no answer, or an error status.
    if (outcome.failure != FetchFailure::None || outcome.status == 0 || outcome.status >= 400) {
        return std::nullopt;
    }
    return readHits(outcome.body);
}
