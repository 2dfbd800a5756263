#pragma once
// PlaybackEngine: plays the loaded lyric as subtitles. Entry k is due at the moment playback
// started plus the entry's time, measured on a monotonic clock; the playback timer is armed with
// the time left until the next due entry, so the delivery's own waits never push the song late.
//
// When the thread was held up (a modal box, a sleeping machine) and several lines fell due
// meanwhile, only the latest of them goes out and the status bar says how many were skipped;
// the schedule keeps its anchor. A line that cannot reach the client stops playback with the
// reason in the status bar.
//
// Running state lives in the caption of 开始字幕 ("停止字幕" while playing). Delivery waits keep
// the user interface alive, so any handler here can run in the middle of another's delivery; the
// engine never delivers two lines at once and never re-arms after a stop or pause that arrived
// during a wait.

#include <cstdint>
#include <functional>
#include <utility>

#include "delivery/app_state.hpp"
#include "delivery/delivery.hpp"
#include "lyrics/playback_seam.hpp"
#include "platform/clock.hpp"
#include "platform/message_box.hpp"
#include "platform/pace.hpp"
#include "playback/line_transform.hpp"
#include "ui/main_units.hpp"

/// Something that holds a fresh start back until it knows where the song's time 0 is (the
/// accompaniment starting). The engine asks it at every start, and tells it to let go whenever
/// playback stops or pauses. The engine owns this seam and knows nothing of what fills it in;
/// an empty function means "no gate".
struct StartGate {
    /// True when a start is to wait for the gate (its setting is on).
    std::function<bool()> wanted;
    /// Begins waiting; the gate later calls PlaybackEngine::startAt, or halt with a reason.
    std::function<void()> hold;
    /// Stops waiting without touching the engine; harmless when it is not waiting.
    std::function<void()> letGo;
};

class PlaybackEngine : public PlaybackSeam {
  public:
    /// Installs tick() as the handler of the playback timer 时钟_歌词播放.
    PlaybackEngine(MainUnits& units, AppState& state, MessageBoxes& boxes, Clock& clock,
                   LineTransform& transform, Delivery& delivery);

    /// Click of 开始字幕: while playing (or waiting for the gate) it always stops; otherwise
    /// checks mode, target and lyrics, then starts or resumes, or arms the gate when it wants.
    void startStop();
    /// A fresh start from the first line whose time 0 is `anchorMicros` on the engine's clock
    /// (possibly past); the start nudge applies on top. Used by the gate once it knows.
    void startAt(std::int64_t anchorMicros);
    /// The gate consulted by every start; none by default, and an empty one removes it.
    void setStartGate(StartGate gate) { gate_ = std::move(gate); }
    /// Told to keep pace while playing or armed for the accompaniment, and to let go whenever
    /// the engine goes idle or pauses; none by default.
    void setPaceKeeper(PaceKeeper* keeper) { pace_ = keeper; }
    /// Expiry of the playback timer: delivers every entry that is due, then re-arms the timer
    /// for the next one; held back until the running delivery ends when one is in progress.
    void tick();
    /// Double-click on the lyric list while playing: the clicked (selected) row's line goes out
    /// now and the rest of the song follows from it. Nothing when no row is selected.
    void jumpTo();
    /// While playing, every following line comes `ms` later (negative: earlier): the schedule's
    /// anchor moves, so presses add up and nothing drifts. Part 1 of the status bar shows the
    /// sum ("偏移 +0.3 秒"). Nothing while not playing.
    void nudge(int ms);
    /// While playing, the row `rows` after (negative: before) the selected one goes out now,
    /// as a double-click on it would; held at the first and the last row.
    void jumpBy(int rows);
    /// The nudge every fresh start begins with (0 unless the command line asks for one).
    void setStartNudge(int ms) { startNudgeMs_ = ms; }
    /// The sum of the nudges since the last fresh start, in milliseconds.
    int nudgeMs() const { return nudgeMs_; }

    /// Stops playback (if it runs) and shows `reason` in part 1 of the status bar.
    void halt(const GbkText& reason);

    bool pauseIfPlaying() override;
    void resetPosition() override;

    /// 1-based number of the entry the next tick delivers; 0 before the first tick.
    int position() const { return position_; }
    /// True while the caption says playback runs.
    bool playing() const;

    /// A timer that expires this close before an entry's due time delivers it: re-arming for
    /// a fraction of a millisecond would cost a whole timer resolution step.
    static constexpr std::int64_t kEarlyToleranceMicros = 500;
    /// An entry this late whose successor is due as well fell due while the thread was held
    /// up; it is skipped. Well above what a few back-to-back deliveries (20-30 ms each) add up
    /// to, so lines of equal or close times still all go out.
    static constexpr std::int64_t kMissedMicros = 250000;

  private:
    void stopToIdle();
    void releaseGate();
    void run();
    void arm(std::int64_t remainingMicros);
    void scrollToSelection();
    void showNudge();
    void updatePace();
    std::int64_t entryTimeMicros(int entry) const;

    MainUnits& units_;
    AppState& state_;
    MessageBoxes& boxes_;
    Clock& clock_;
    LineTransform& transform_;
    Delivery& delivery_;
    StartGate gate_;
    PaceKeeper* pace_ = nullptr;
    bool keepingPace_ = false;

    int position_ = 0;
    std::int64_t anchorMicros_ = 0;  // clock time of the song's time 0
    bool delivering_ = false;        // inside deliverLine (and its waits)
    bool heldTick_ = false;          // a tick arrived while delivering
    bool startingCard_ = false;      // a start is searching for the card dialog
    bool startCancelled_ = false;    // ... and the button was clicked again meanwhile
    int nudgeMs_ = 0;
    int startNudgeMs_ = 0;
    std::uint64_t epoch_ = 0;  // bumped by every start, stop, pause, jump and reset
};
