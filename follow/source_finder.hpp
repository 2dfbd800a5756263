#pragma once
// Looking a track's lyric up on the lyric sources, when the lyric folder has none: each enabled
// source in turn is searched for the track's title (without decorations such as "(伴奏)"); the
// hit that fits title and artist best is fetched, saved into the lyric folder as
// "<title> - <artist>.lrc" (a safe name, never replacing a file with a failed answer) and
// loaded. A source that cannot be reached, finds nothing that fits, or gives no lyric hands on
// to the next. The sources in the list today give no song lengths; the track's length travels
// with the request for one that does.

#include <functional>
#include <memory>
#include <vector>

#include "follow/follow_screen.hpp"
#include "platform/web_fetch.hpp"
#include "search/lyric_source.hpp"

class SourceLyricFinder : public LyricFinder {
  public:
    using Sources = std::function<std::vector<std::shared_ptr<const LyricSource>>()>;

    /// `sources` gives the enabled sources at the moment of the lookup, `folder` the lyric
    /// folder; `load` reads a saved file. Answers come through `fetcher`, so the owner keeps
    /// this finder alive until the fetcher's answers have stopped.
    SourceLyricFinder(WebFetcher& fetcher, Sources sources, std::function<GbkText()> folder,
                      FolderLyricFinder::Loader load)
        : fetcher_(fetcher),
          sources_(std::move(sources)),
          folder_(std::move(folder)),
          load_(std::move(load)) {}

    void find(const SessionSnapshot& track, Done done) override;

  private:
    struct Lookup {
        SessionSnapshot track;
        Done done;
        std::vector<std::shared_ptr<const LyricSource>> sources;
    };
    void trySource(std::shared_ptr<Lookup> lookup, std::size_t index);
    void fetchLyric(std::shared_ptr<Lookup> lookup, std::size_t index, const SearchHit& hit);

    WebFetcher& fetcher_;
    Sources sources_;
    std::function<GbkText()> folder_;
    FolderLyricFinder::Loader load_;
};
