#pragma once
// What loading a lyric file needs from playback: choosing a file while playing only pauses,
// and a real load restarts the song from its first line.

class PlaybackSeam {
  public:
    virtual ~PlaybackSeam() = default;
    /// If playback runs: stops the timer, shows "开始字幕", keeps the position; returns true.
    /// Otherwise does nothing and returns false.
    virtual bool pauseIfPlaying() = 0;
    /// The next start begins again at the first line.
    virtual void resetPosition() = 0;
};
