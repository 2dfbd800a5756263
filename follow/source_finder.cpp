#include "follow/source_finder.hpp"

#include "follow/track_match.hpp"
#include "platform/files.hpp"
#include "search/lyric_fetch.hpp"
#include "search/safe_file_name.hpp"

void SourceLyricFinder::find(const SessionSnapshot& track, Done done) {
    auto lookup = std::make_shared<Lookup>();
    lookup->track = track;
    lookup->done = std::move(done);
    lookup->sources = sources_();
    trySource(std::move(lookup), 0);
}

void SourceLyricFinder::trySource(std::shared_ptr<Lookup> lookup, std::size_t index) {
    while (index < lookup->sources.size() && !lookup->sources[index]) ++index;
    if (index >= lookup->sources.size() || lookup->track.title.empty()) {
        lookup->done(std::nullopt);
        return;
    }
    const LyricSource& source = *lookup->sources[index];
    // The title alone: sources spell artists in too many ways to search by them, so the artist
    // is matched among the hits instead.
    const GbkText query = cleanTitle(lookup->track.title);
    fetcher_.start(source.searchRequest(query), [this, lookup, index](FetchOutcome outcome) {
        const LyricSource& source = *lookup->sources[index];
        std::optional<SearchHit> best;
        int bestFit = 0;
        if (!searchFailed(outcome)) {
            for (const SearchHit& hit : source.readHits(outcome.body).hits) {
                const int fit =
                    trackMatch(lookup->track.title, lookup->track.artist, hit.song, hit.artist);
                if (fit > bestFit && !hit.link.empty()) {
                    bestFit = fit;
                    best = hit;
                }
            }
        }
        if (!best) return trySource(lookup, index + 1);
        fetchLyric(lookup, index, *best);
    });
}

void SourceLyricFinder::fetchLyric(std::shared_ptr<Lookup> lookup, std::size_t index,
                                   const SearchHit& hit) {
    const LyricSource& source = *lookup->sources[index];
    fetcher_.start(source.lyricRequest(hit.link), [this, lookup, index](FetchOutcome outcome) {
        const LyricBytes lyric = takeLyric(*lookup->sources[index], outcome);
        if (!lyric.problem.empty() || lyric.bytes.empty()) return trySource(lookup, index + 1);
        GbkText name = cleanTitle(lookup->track.title);
        if (!lookup->track.artist.empty()) name += " - " + lookup->track.artist;
        const GbkText path = lyricSavePath(folder_(), name);
        // A good lyric of that name already there is kept and used.
        std::optional<LyricTable> table;
        if (files::exists(path)) table = load_(path);
        if (!table || table->lines.empty()) {
            if (!files::writeAtomically(path, lyric.bytes)) return trySource(lookup, index + 1);
            table = load_(path);
        }
        if (!table || table->lines.empty()) return trySource(lookup, index + 1);
        const std::string_view saved = path;
        lookup->done(
            FoundLyric{std::move(*table), GbkText(saved.substr(gbk::fileNameStart(saved)))});
    });
}
