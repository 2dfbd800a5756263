#pragma once
// One copy per program folder: two copies of the same Cantorel.exe would write the same
// settings files over each other. The first copy holds a named lock made from its folder; a
// second start brings the running window to the front and ends. Copies in other folders run
// side by side.

#include <windows.h>

#include <string>

class SingleCopy {
  public:
    /// Takes the lock of `folder` (the real program folder). When another copy holds it and
    /// shows no window (it is starting, or handing over to its update), waits up to
    /// `waitMilliseconds` for it to let go.
    SingleCopy(const std::wstring& folder, DWORD waitMilliseconds);
    ~SingleCopy();
    SingleCopy(const SingleCopy&) = delete;
    SingleCopy& operator=(const SingleCopy&) = delete;

    /// True when this copy holds the lock and should run.
    bool held() const { return held_; }
    /// Lets the lock go (the update starts the new program) and takes it back.
    void release();
    void retake();

    /// Brings the main window of the copy running from `folder` to the front; false when
    /// none shows within `waitMilliseconds`.
    static bool showRunningCopy(const std::wstring& folder, DWORD waitMilliseconds);

  private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};
