#pragma once
// The media-session reader on Windows: Windows.Media.Control's session manager through the
// WinRT ABI, on a thread of its own in the multithreaded apartment, read every 250 ms. The
// reading itself is a set of functions over the interfaces, so a test can hand in a session
// manager of its own built on the same vtables.

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/media_sessions.hpp"
#include "win32/winrt_media.hpp"

namespace media_sessions_win32 {

/// Waits for `operation` to leave Started (asking its IAsyncInfo every few milliseconds, for
/// at most `limitMs`) and takes its result. A failed, cancelled or unfinished operation gives
/// its error (E_FAIL when it names none, E_PENDING when it ran out of time).
template <typename T>
HRESULT awaitResult(winrt_media::IAsyncOperationAbi<T>* operation, const IID& iid, T** result,
                    int limitMs);

/// The session manager, asked of `statics`.
HRESULT requestManager(winrt_media::ISessionManagerStaticsAbi* statics,
                       winrt_media::ISessionManagerAbi** manager, int limitMs = 5000);

struct Reading {
    HRESULT error = S_OK;  // the first call that failed for the list as a whole
    SessionList sessions;
};

/// Every session of `manager` as a snapshot. `nowMicros` (the reader's clock) and `nowFiletime`
/// (the system's UTC clock, 100 ns since 1601) are the same moment, so each player's stamp
/// lands on the clock. A session whose details cannot be read is left out.
Reading readSessions(winrt_media::ISessionManagerAbi* manager, std::int64_t nowMicros,
                     std::int64_t nowFiletime);

/// The text of `value` in GBK; empty for a null HSTRING. Deletes the HSTRING.
GbkText takeString(winrt_media::Hstring value);

}  // namespace media_sessions_win32

class Win32MediaSessionReader final : public MediaSessionReader {
  public:
    /// Where the manager's statics come from; by default RoGetActivationFactory.
    using StaticsSource = std::function<HRESULT(winrt_media::ISessionManagerStaticsAbi**)>;

    explicit Win32MediaSessionReader(Clock& clock, StaticsSource source = {}, int periodMs = 250);
    ~Win32MediaSessionReader() override;

    void start(std::function<void()> changed) override;
    void stop() override;
    State latest() override;

  private:
    void run();
    void readUntilStopped();
    void publish(State state);

    Clock& clock_;
    StaticsSource source_;
    int periodMs_;
    std::function<void()> changed_;
    std::thread thread_;
    HANDLE wake_ = nullptr;  // set by stop()
    std::mutex mutex_;
    State state_;
};

/// The reason shown when the system has no media sessions, for an HRESULT of the factory.
GbkText unavailableReason(HRESULT error);
