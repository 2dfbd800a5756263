#pragma once
// Keeping pace on Windows: the process opts out of power throttling (Windows 10 1709 and
// later; looked up at run time), and the playback timer's worker and the GUI thread that
// delivers the lines run at raised priorities. Call on the GUI thread that owns the timers.

#include "platform/pace.hpp"

class Win32PaceKeeper final : public PaceKeeper {
  public:
    void keepPace(bool on) override;
};
