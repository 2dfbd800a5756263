#pragma once
// The follower's output on the main window: a found lyric becomes the loaded lyric (the lyric
// list, its file selected in the file list), a due line is selected in the lyric list and
// typed through the line transforms and the delivery, and the status goes to part 1 of the
// status bar. The program and `cantorel-cli follow` share it.

#include "delivery/app_state.hpp"
#include "delivery/delivery.hpp"
#include "follow/follower.hpp"
#include "playback/line_transform.hpp"
#include "ui/main_units.hpp"

class FollowScreen : public FollowOutput {
  public:
    FollowScreen(MainUnits& units, AppState& state, LineTransform& transform, Delivery& delivery)
        : units_(units), state_(state), transform_(transform), delivery_(delivery) {}

    void showLyric(const FoundLyric& lyric) override;
    bool typeLine(const LyricTable& table, int index) override;
    void showStatus(const GbkText& text) override;

  private:
    MainUnits& units_;
    AppState& state_;
    LineTransform& transform_;
    Delivery& delivery_;
};

/// Looks for a track's lyric in the lyric folder: the file whose name fits title and artist
/// best (bestLyricFile), loaded with the fill text and the lyric shape of the moment. Answers at
/// once; a track without a fitting, readable file gets nothing.
class FolderLyricFinder : public LyricFinder {
  public:
    using Loader = std::function<std::optional<LyricTable>(const GbkText& path)>;
    /// `folder` gives the lyric folder at the moment of the lookup; `load` reads one file.
    FolderLyricFinder(std::function<GbkText()> folder, Loader load)
        : folder_(std::move(folder)), load_(std::move(load)) {}
    void find(const SessionSnapshot& track, Done done) override;

  private:
    std::function<GbkText()> folder_;
    Loader load_;
};

/// Asks `first`, and `second` only when `first` has nothing: the lyric folder before the
/// network.
class ChainedLyricFinder : public LyricFinder {
  public:
    ChainedLyricFinder(LyricFinder& first, LyricFinder& second) : first_(first), second_(second) {}
    void find(const SessionSnapshot& track, Done done) override;

  private:
    LyricFinder& first_;
    LyricFinder& second_;
};
