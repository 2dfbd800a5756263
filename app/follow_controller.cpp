#include "app/follow_controller.hpp"

#include <algorithm>

namespace {
constexpr const char* kIdleCaption = "开始字幕";
}  // namespace

FollowController::FollowController(MainUnits& units, Follower& follower, TimerUnit& timer,
                                   Clock& clock, AudioListener* listener)
    : units_(units), follower_(follower), timer_(timer), clock_(clock), listener_(listener) {
    timer_.setHandler([this] {
        follower_.tick();
        rearm();
    });
    follower_.onScheduleChanged([this] { rearm(); });
}

FollowController::~FollowController() { stopListening(); }

void FollowController::stopListening() {
    if (!listening_) return;
    listening_ = false;
    listener_->stop();
}

void FollowController::listenIfWaiting() {
    const SessionSnapshot* track = follower_.followed();
    const bool waiting = listener_ && follower_.following() && track &&
                         follower_.songTime() == SongTime::WaitingForMusic;
    const GbkText key = track ? track->player + "\n" + track->title : GbkText();
    if (listening_ && (!waiting || key != listenedTrack_)) stopListening();
    if (!waiting || listening_) return;
    listening_ = true;
    listenedTrack_ = key;
    listener_->listenTo(track->player, [this](ListenSource source) {
        if (listening_) follower_.listeningTo(source);
    });
    listener_->start(
        [this](const HeardOnset& onset) {
            listening_ = false;
            follower_.musicStarted(onset.clockMicros);
            rearm();
        },
        [this](const GbkText& reason) {
            listening_ = false;
            units_.状态条1.setPart(StatusBar::kMessage, reason);
        });
}

void FollowController::startStop() {
    if (follower_.following()) {
        stopListening();
        follower_.stop();
        timer_.setPeriod(0);
        units_.开始字幕.setText(kIdleCaption);
        units_.状态条1.setPart(StatusBar::kMessage, "已停止跟随");
        return;
    }
    if (unavailable_) {
        units_.状态条1.setPart(StatusBar::kMessage, reason_);
        return;
    }
    units_.开始字幕.setText(kFollowingCaption);
    follower_.start();
    rearm();
}

void FollowController::sessions(const MediaSessionReader::State& state) {
    unavailable_ = state.unavailable;
    reason_ = state.reason;
    if (unavailable_) {
        if (follower_.following()) startStop();
        return;
    }
    follower_.update(state.sessions);
    // Typing a line may have failed and ended the following.
    if (!follower_.following() && units_.开始字幕.text() == kFollowingCaption)
        units_.开始字幕.setText(kIdleCaption);
    rearm();
}

void FollowController::nudge(int ms) {
    follower_.nudge(ms);
    rearm();
}

void FollowController::rearm() {
    listenIfWaiting();
    timer_.setPeriod(0);
    if (!follower_.following()) {
        if (units_.开始字幕.text() == kFollowingCaption) units_.开始字幕.setText(kIdleCaption);
        return;
    }
    const auto due = follower_.nextDueMicros();
    if (!due) return;
    // Rounded up so the timer never fires before the line is due; at least a millisecond.
    const std::int64_t left = std::max<std::int64_t>(*due - clock_.nowMicros(), 1);
    timer_.setPeriod(static_cast<int>(std::min<std::int64_t>((left + 999) / 1000, 1 << 30)));
}
