#pragma once
// 开始字幕 while 跟随播放器 is on: a click starts following the playing song (the button reads
// "跟随中…") and the next click stops it. The sessions the reader hands over and the expiries
// of the follow timer go to the follower; after each, the timer is set for the next due line.

#include "follow/follower.hpp"
#include "platform/audio_listener.hpp"
#include "platform/media_sessions.hpp"
#include "ui/main_units.hpp"

class FollowController {
  public:
    /// `timer` is the follower's own; its handler is set here. With `listener`, a track whose
    /// player gives no position and that waits for its music (伴奏开始时自动开始) is listened to
    /// from its start, and the music's onset is its time 0.
    FollowController(MainUnits& units, Follower& follower, TimerUnit& timer, Clock& clock,
                     AudioListener* listener = nullptr);
    ~FollowController();

    /// The click of 开始字幕 with 跟随播放器 on. Refused, with the reason in the status bar, when
    /// the system has no media sessions.
    void startStop();
    /// The reader's newest state.
    void sessions(const MediaSessionReader::State& state);
    /// The live nudge while following.
    void nudge(int ms);
    bool following() const { return follower_.following(); }
    /// False once the reader said the system has no media sessions.
    bool available() const { return !unavailable_; }

    static constexpr const char* kFollowingCaption = "跟随中…";

  private:
    void rearm();
    void listenIfWaiting();
    void stopListening();

    MainUnits& units_;
    Follower& follower_;
    TimerUnit& timer_;
    Clock& clock_;
    AudioListener* listener_;
    bool listening_ = false;
    GbkText listenedTrack_;  // player and title of the track listened for
    bool unavailable_ = false;
    GbkText reason_;
};
