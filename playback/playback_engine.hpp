#pragma once
// PlaybackEngine: plays the loaded lyric as subtitles. Entry k is due at the moment playback
// started plus the entry's time, measured on a monotonic clock; the playback timer is armed with
// the time left until the next due entry, so the delivery's own waits never push the song late.
//
// Running state lives in the caption of 开始字幕 ("停止字幕" while playing). Delivery waits keep
// the user interface alive, so any handler here can run in the middle of another's delivery; the
// engine never delivers two lines at once and never re-arms after a stop or pause that arrived
// during a wait.

#include <cstdint>

#include "delivery/app_state.hpp"
#include "delivery/delivery.hpp"
#include "lyrics/playback_seam.hpp"
#include "platform/clock.hpp"
#include "platform/message_box.hpp"
#include "playback/line_transform.hpp"
#include "ui/main_units.hpp"

class PlaybackEngine : public PlaybackSeam {
  public:
    /// Installs tick() as the handler of the playback timer 时钟_歌词播放.
    PlaybackEngine(MainUnits& units, AppState& state, MessageBoxes& boxes, Clock& clock,
                   LineTransform& transform, Delivery& delivery);

    /// Click of 开始字幕: checks mode, target and lyrics, then starts, resumes or stops.
    void startStop();
    /// Expiry of the playback timer: delivers every entry that is due, then re-arms the timer
    /// for the next one; held back until the running delivery ends when one is in progress.
    void tick();
    /// Double-click on the lyric list while playing: the clicked row's line goes out now and
    /// the rest of the song follows from it.
    void jumpTo();

    bool pauseIfPlaying() override;
    void resetPosition() override;

    /// 1-based number of the entry the next tick delivers; 0 before the first tick.
    int position() const { return position_; }
    /// True while the caption says playback runs.
    bool playing() const;

    /// A timer that expires this close before an entry's due time delivers it: re-arming for
    /// a fraction of a millisecond would cost a whole timer resolution step.
    static constexpr std::int64_t kEarlyToleranceMicros = 500;

  private:
    void stopToIdle();
    void run();
    void arm(std::int64_t remainingMicros);
    void scrollToSelection();
    std::int64_t entryTimeMicros(int entry) const;

    MainUnits& units_;
    AppState& state_;
    MessageBoxes& boxes_;
    Clock& clock_;
    LineTransform& transform_;
    Delivery& delivery_;

    int position_ = 0;
    std::int64_t anchorMicros_ = 0;  // clock time of the song's time 0
    bool delivering_ = false;        // inside deliverLine (and its waits)
    bool heldTick_ = false;          // a tick arrived while delivering
    bool startingCard_ = false;      // a start is searching for the card dialog
    bool startCancelled_ = false;    // ... and the button was clicked again meanwhile
    std::uint64_t epoch_ = 0;        // bumped by every start, stop, pause, jump and reset
};
