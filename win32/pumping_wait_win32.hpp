#pragma once
// PumpingWait over a reused waitable timer and MsgWaitForMultipleObjects.
// Usage: Win32PumpingWait wait; wait.wait(10);
// While it waits, window messages, timer ticks (Win32Timer) and sent messages keep being
// handled, so the window stays alive in the middle of a delivery. A WM_QUIT that arrives during
// the wait is handed on once the wait is over, so closing the program is never lost.

#include "platform/clock.hpp"

class Win32PumpingWait final : public PumpingWait {
  public:
    void wait(int ms) override;
};
