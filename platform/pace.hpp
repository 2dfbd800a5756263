#pragma once
// Keeping time while lines are due. During a song the program usually sits hidden behind the
// chat client, and Windows (on battery or the balanced power plan) then slows a background
// process's threads and coarsens its timers: lines would go out late.

class PaceKeeper {
  public:
    virtual ~PaceKeeper() = default;
    /// On: the process opts out of power throttling and the timer thread runs at a raised
    /// priority. Off: both go back to what Windows decides.
    virtual void keepPace(bool on) = 0;
};
