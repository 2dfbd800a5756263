#include "playback/playback_engine.hpp"

#include <algorithm>
#include <string>

namespace {

constexpr const char* kIdleCaption = "开始字幕";
constexpr const char* kPlayingCaption = "停止字幕";
constexpr const char* kWaitingCaption = "等待伴奏…";

GbkText reasonFor(LineOutcome outcome) { return whyNotDelivered(outcome) + "，字幕已停止"; }

}  // namespace

PlaybackEngine::PlaybackEngine(MainUnits& units, AppState& state, MessageBoxes& boxes, Clock& clock,
                               LineTransform& transform, Delivery& delivery)
    : units_(units),
      state_(state),
      boxes_(boxes),
      clock_(clock),
      transform_(transform),
      delivery_(delivery) {
    units_.时钟_歌词播放.setHandler([this] { tick(); });
}

bool PlaybackEngine::playing() const { return units_.开始字幕.text() != kIdleCaption; }

std::int64_t PlaybackEngine::entryTimeMicros(int entry) const {
    const auto& lines = state_.lyrics.lines;
    if (entry < 1 || entry > static_cast<int>(lines.size())) return 0;
    return lines[static_cast<std::size_t>(entry - 1)].time * 1000LL;
}

void PlaybackEngine::releaseGate() {
    if (gate_.letGo) gate_.letGo();
}

void PlaybackEngine::stopToIdle() {
    releaseGate();
    units_.开始字幕.setText(kIdleCaption);
    units_.时钟_歌词播放.setPeriod(0);
    position_ = 0;
    heldTick_ = false;
    ++epoch_;
    updatePace();
}

void PlaybackEngine::updatePace() {
    // The caption is the state: anything but idle means lines are due or about to be.
    const bool wanted = units_.开始字幕.text() != kIdleCaption;
    if (!pace_ || wanted == keepingPace_) return;
    keepingPace_ = wanted;
    pace_->keepPace(wanted);
}

void PlaybackEngine::halt(const GbkText& reason) {
    if (startingCard_) startCancelled_ = true;
    if (playing() || startingCard_) stopToIdle();
    units_.状态条1.setPart(StatusBar::kMessage, reason);
}

void PlaybackEngine::startStop() {
    // Stopping needs neither a mode nor a target: a capture that cleared the target mid-song
    // must not leave the button unable to stop.
    if (startingCard_) {
        // A second click while the start still looks for the card dialog means "stop".
        startCancelled_ = true;
        stopToIdle();
        return;
    }
    if (playing()) {
        // Also a second click while waiting for the accompaniment: it disarms.
        const bool waiting = units_.开始字幕.text() == kWaitingCaption;
        stopToIdle();
        if (waiting) units_.状态条1.setPart(StatusBar::kMessage, "已停止等待伴奏");
        return;
    }
    const DeliveryMode mode = readDeliveryMode(units_);
    if (mode == DeliveryMode::None) {
        boxes_.show("请选择字幕类型", "温馨提示", mb::kOk | mb::kTaskModal);
        return;
    }
    units_.歌词预览.setVisible(false);
    units_.超级列表框_歌词.setVisible(true);
    if (!delivery_.hasTarget()) {
        boxes_.show("请选取要发送的程序位置！", "没有目标", mb::kIconInformation | mb::kTaskModal);
        return;
    }
    if (state_.lyrics.count() == 0) {
        boxes_.show("请先选择歌词LRC！", "没有歌词", mb::kIconInformation | mb::kTaskModal);
        return;
    }
    // Every line would be refused: the user hears it now, with the way out.
    if (!delivery_.confirmReachable()) return;
    if (mode == DeliveryMode::NicknameCard) {
        // Playback starts whether or not the dialog turns up.
        startingCard_ = true;
        startCancelled_ = false;
        delivery_.openCardDialog();
        startingCard_ = false;
        if (startCancelled_) return;
    }
    if (gate_.wanted && gate_.wanted()) {
        // The song's time 0 is where the accompaniment starts: the gate calls startAt then.
        units_.开始字幕.setText(kWaitingCaption);
        ++epoch_;
        updatePace();
        if (gate_.hold) gate_.hold();
        return;
    }
    // The caption goes up before the first tick: that tick may already end the song (a resume
    // on the last line), and a click during its delivery must read as "stop".
    units_.开始字幕.setText(kPlayingCaption);
    ++epoch_;
    heldTick_ = false;
    updatePace();
    // A fresh start puts time 0 at now; a resume makes the entry that was due count as due now.
    anchorMicros_ = clock_.nowMicros() - (position_ > 0 ? entryTimeMicros(position_) : 0);
    if (position_ == 0) {
        const bool shown = nudgeMs_ != 0 || startNudgeMs_ != 0;
        nudgeMs_ = startNudgeMs_;
        anchorMicros_ += startNudgeMs_ * 1000LL;
        if (shown) showNudge();
    }
    tick();
}

void PlaybackEngine::startAt(std::int64_t anchorMicros) {
    releaseGate();
    units_.时钟_歌词播放.setPeriod(0);
    units_.开始字幕.setText(kPlayingCaption);
    ++epoch_;
    heldTick_ = false;
    updatePace();
    position_ = 0;
    nudgeMs_ = startNudgeMs_;
    anchorMicros_ = anchorMicros + startNudgeMs_ * 1000LL;
    if (startNudgeMs_ != 0) showNudge();
    tick();
}

void PlaybackEngine::tick() {
    if (delivering_) {
        heldTick_ = true;  // runs when the delivery in progress has ended
        return;
    }
    // An expiry that was already queued when playback stopped, or arrives while waiting for
    // the accompaniment.
    if (units_.开始字幕.text() != kPlayingCaption) return;
    run();
    scrollToSelection();
}

void PlaybackEngine::run() {
    ListView& list = units_.超级列表框_歌词;
    for (;;) {
        if (position_ == 0) position_ = 1;
        if (position_ > state_.lyrics.count()) {
            stopToIdle();  // the last line has gone out
            return;
        }
        const std::int64_t now = clock_.nowMicros();
        const std::int64_t left = anchorMicros_ + entryTimeMicros(position_) - now;
        if (left > kEarlyToleranceMicros) {
            arm(left);
            return;
        }
        // Lines that fell due while the thread was held up are not sent in a burst.
        int skipped = 0;
        while (position_ < state_.lyrics.count() &&
               now - (anchorMicros_ + entryTimeMicros(position_)) >= kMissedMicros &&
               anchorMicros_ + entryTimeMicros(position_ + 1) <= now) {
            ++position_;
            ++skipped;
        }
        if (skipped > 0)
            units_.状态条1.setPart(StatusBar::kMessage,
                                   "已跳过" + std::to_string(skipped) + "行过期歌词");

        const int entry = position_++;
        list.setSelection(entry - 1);
        const DeliveryMode mode = readDeliveryMode(units_);
        if (mode == DeliveryMode::None) continue;  // the line is skipped, the song goes on

        const GbkText text = transform_.apply(list.cell(list.selection(), 1));
        const std::uint64_t epoch = epoch_;
        delivering_ = true;
        const LineOutcome outcome = delivery_.deliverLine(mode, text);
        delivering_ = false;

        if (epoch != epoch_) {
            // A stop, pause, jump or new start ran during the waits and owns the schedule now;
            // only a tick it asked for (or the timer raised) meanwhile still has to run.
            const bool held = heldTick_;
            heldTick_ = false;
            if (held && playing()) run();
            return;
        }
        if (outcome != LineOutcome::Delivered) {
            halt(reasonFor(outcome));
            return;
        }
        // A tick held meanwhile is this loop's next pass: the next entry is checked right away.
        heldTick_ = false;
    }
}

void PlaybackEngine::arm(std::int64_t remainingMicros) {
    // Rounded up so the timer never expires before the entry is due; set through 0 so that a
    // period equal to the current one still restarts the countdown from now.
    const std::int64_t ms = (remainingMicros + 999) / 1000;
    TimerUnit& timer = units_.时钟_歌词播放;
    timer.setPeriod(0);
    timer.setPeriod(static_cast<int>(std::min<std::int64_t>(ms, 0x7FFFFFFF)));
}

void PlaybackEngine::scrollToSelection() {
    ListView& list = units_.超级列表框_歌词;
    if (list.selection() >= 0) list.ensureVisible(list.selection());
}

void PlaybackEngine::jumpTo() {
    if (units_.开始字幕.text() != kPlayingCaption) return;
    ListView& list = units_.超级列表框_歌词;
    // A double-click beside the rows must not throw the singer back to the first line.
    const int entry = list.itemNumber(list.selection());
    if (entry <= 0) return;
    ++epoch_;
    units_.时钟_歌词播放.setPeriod(0);
    position_ = entry;
    anchorMicros_ = clock_.nowMicros() - (entry > 0 ? entryTimeMicros(entry) : 0);
    tick();
}

void PlaybackEngine::nudge(int ms) {
    if (units_.开始字幕.text() != kPlayingCaption || ms == 0) return;
    nudgeMs_ += ms;
    anchorMicros_ += ms * 1000LL;
    showNudge();
    // The armed timer counts towards the old due time. During a delivery the loop reads the
    // new anchor when it goes on; otherwise the schedule is worked out again now.
    if (delivering_) return;
    units_.时钟_歌词播放.setPeriod(0);
    tick();
}

void PlaybackEngine::showNudge() {
    const int size = nudgeMs_ < 0 ? -nudgeMs_ : nudgeMs_;
    std::string seconds =
        std::to_string(size / 1000) + "." + std::to_string(1000 + size % 1000).substr(1);
    while (seconds.back() == '0' && seconds[seconds.size() - 2] != '.') seconds.pop_back();
    const char* sign = nudgeMs_ > 0 ? "+" : nudgeMs_ < 0 ? "-" : "";
    units_.状态条1.setPart(StatusBar::kMessage, "偏移 " + std::string(sign) + seconds + " 秒");
}

void PlaybackEngine::jumpBy(int rows) {
    if (units_.开始字幕.text() != kPlayingCaption) return;
    ListView& list = units_.超级列表框_歌词;
    const int count = list.rowCount();
    if (count == 0) return;
    // Before the first line nothing is selected: "next" is the first row.
    const int from = list.selection();
    const int row = from < 0 ? (rows > 0 ? 0 : -1) : std::clamp(from + rows, 0, count - 1);
    if (row < 0) return;
    list.setSelection(row);
    jumpTo();
}

bool PlaybackEngine::pauseIfPlaying() {
    if (units_.开始字幕.text() == kWaitingCaption) {
        // Nothing has started, so nothing is kept: the chosen file loads, the wait ends.
        stopToIdle();
        units_.状态条1.setPart(StatusBar::kMessage, "已停止等待伴奏");
        return false;
    }
    if (!playing()) return false;
    units_.时钟_歌词播放.setPeriod(0);
    units_.开始字幕.setText(kIdleCaption);
    heldTick_ = false;
    ++epoch_;
    updatePace();
    return true;
}

void PlaybackEngine::resetPosition() {
    position_ = 0;
    ++epoch_;
}
