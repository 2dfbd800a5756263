#include "win32/media_sessions_win32.hpp"

#include <cstdio>
#include <type_traits>
#include <utility>

#include "win32/wide_text.hpp"

namespace winrt_media {

// IIDs of the interfaces, from the Windows SDK's windows.media.control.h.
const IID IID_SessionManagerStatics = {
    0x2050C4EE, 0x11A0, 0x57DE, {0xAE, 0xD7, 0xC9, 0x7C, 0x70, 0x33, 0x82, 0x45}};
const IID IID_AsyncOperationManager = {
    0x3EEC115E, 0x7346, 0x5C27, {0x8C, 0x5F, 0xDA, 0x78, 0x51, 0x4A, 0x27, 0x7B}};
const IID IID_AsyncInfo = {
    0x00000036, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_SessionManager = {
    0xCACE8EAC, 0xE86E, 0x504A, {0xAB, 0x31, 0x5F, 0xF8, 0xFF, 0x1B, 0xCE, 0x49}};
const IID IID_SessionVectorView = {
    0x9B2672DA, 0x5088, 0x5A1D, {0xA3, 0xC5, 0xA3, 0xFC, 0x5E, 0xF1, 0xCF, 0xA4}};
const IID IID_Session = {
    0x7148C835, 0x9B14, 0x5AE2, {0xAB, 0x85, 0xDC, 0x9B, 0x1C, 0x14, 0xE1, 0xA8}};
const IID IID_AsyncOperationProperties = {
    0xB185E6F3, 0xE0D8, 0x51CB, {0x91, 0x3F, 0xC9, 0x8D, 0x48, 0xC9, 0x3C, 0x46}};
const IID IID_MediaProperties = {
    0x68856CF6, 0xADB4, 0x54B2, {0xAC, 0x16, 0x05, 0x83, 0x79, 0x07, 0xAC, 0xB6}};
const IID IID_TimelineProperties = {
    0xEDE34136, 0x6F25, 0x588D, {0x8E, 0xCF, 0xEA, 0x5B, 0x67, 0x35, 0xAA, 0xA5}};
const IID IID_PlaybackInfo = {
    0x94B4B6CF, 0xE8BA, 0x51AD, {0x87, 0xA7, 0xC1, 0x0A, 0xDE, 0x10, 0x61, 0x27}};
const IID IID_ReferenceDouble = {
    0x2F2D6C29, 0x5473, 0x5F3E, {0x92, 0xE7, 0x96, 0x57, 0x2B, 0xB9, 0x90, 0xE2}};

const WinRt& winRt() {
    // Looked up rather than linked: a program importing them would not start on Windows 7.
    static const WinRt api = [] {
        WinRt found;
        const HMODULE combase = LoadLibraryW(L"combase.dll");
        if (!combase) return found;
        auto get = [&](auto& pointer, const char* name) {
            pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(
                reinterpret_cast<void*>(GetProcAddress(combase, name)));
        };
        get(found.roInitialize, "RoInitialize");
        get(found.roUninitialize, "RoUninitialize");
        get(found.roGetActivationFactory, "RoGetActivationFactory");
        get(found.createString, "WindowsCreateString");
        get(found.deleteString, "WindowsDeleteString");
        get(found.stringBuffer, "WindowsGetStringRawBuffer");
        return found;
    }();
    return api;
}

}  // namespace winrt_media

using namespace winrt_media;

namespace {

// Releases an interface when it goes out of scope.
template <typename T>
class Ref {
  public:
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() {
        if (p_) p_->Release();
    }
    T** put() { return &p_; }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

// The system's UTC clock in 100 ns units since 1601, to the microsecond where Windows 8 and
// later can (players stamp their positions on it); looked up so Windows 7 still starts.
std::int64_t systemFiletime() {
    using Precise = void(WINAPI*)(FILETIME*);
    static const Precise precise = reinterpret_cast<Precise>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now{};
    if (precise) {
        precise(&now);
    } else {
        GetSystemTimeAsFileTime(&now);
    }
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) |
                                     now.dwLowDateTime);
}

// 100 ns units to milliseconds.
std::int64_t ticksToMs(INT64 ticks) { return ticks / 10000; }

}  // namespace

namespace media_sessions_win32 {

GbkText takeString(Hstring value) {
    if (!value) return {};
    const WinRt& api = winRt();
    UINT32 length = 0;
    const wchar_t* text = api.stringBuffer ? api.stringBuffer(value, &length) : nullptr;
    GbkText result = text ? win32::narrow(std::wstring_view(text, length)) : GbkText();
    if (api.deleteString) api.deleteString(value);
    return result;
}

template <typename T>
HRESULT awaitResult(IAsyncOperationAbi<T>* operation, const IID& iid, T** result, int limitMs) {
    (void)iid;
    *result = nullptr;
    Ref<IAsyncInfoAbi> info;
    HRESULT hr = operation->QueryInterface(IID_AsyncInfo, reinterpret_cast<void**>(info.put()));
    if (FAILED(hr)) return hr;
    int status = kStatusStarted;
    // Polled rather than given a completion handler: this thread has nothing else to do, and a
    // handler would need a delegate object with its own IID per result type.
    for (int waited = 0;; waited += 5) {
        hr = info->get_Status(&status);
        if (FAILED(hr)) return hr;
        if (status != kStatusStarted) break;
        if (waited >= limitMs) {
            info->Cancel();
            info->Close();
            return E_PENDING;
        }
        Sleep(5);
    }
    if (status == kStatusCompleted) {
        hr = operation->GetResults(result);
    } else {
        HRESULT code = E_FAIL;
        if (status == kStatusError && SUCCEEDED(info->get_ErrorCode(&code)) && SUCCEEDED(code))
            code = E_FAIL;
        hr = status == kStatusCanceled ? E_ABORT : code;
    }
    info->Close();
    if (SUCCEEDED(hr) && !*result) hr = E_POINTER;
    return hr;
}

template HRESULT awaitResult<ISessionManagerAbi>(IAsyncOperationAbi<ISessionManagerAbi>*,
                                                 const IID&, ISessionManagerAbi**, int);
template HRESULT awaitResult<IMediaPropertiesAbi>(IAsyncOperationAbi<IMediaPropertiesAbi>*,
                                                  const IID&, IMediaPropertiesAbi**, int);

HRESULT requestManager(ISessionManagerStaticsAbi* statics, ISessionManagerAbi** manager,
                       int limitMs) {
    *manager = nullptr;
    Ref<IAsyncOperationAbi<ISessionManagerAbi>> operation;
    const HRESULT hr = statics->RequestAsync(operation.put());
    if (FAILED(hr)) return hr;
    if (!operation) return E_POINTER;
    return awaitResult(operation.get(), IID_AsyncOperationManager, manager, limitMs);
}

namespace {

// One session's snapshot; false when its player or details cannot be read.
bool readSession(ISessionAbi* session, std::int64_t nowMicros, std::int64_t nowFiletime,
                 SessionSnapshot& out) {
    Hstring id = nullptr;
    if (FAILED(session->get_SourceAppUserModelId(&id))) return false;
    out.player = takeString(id);

    Ref<IAsyncOperationAbi<IMediaPropertiesAbi>> operation;
    Ref<IMediaPropertiesAbi> properties;
    if (SUCCEEDED(session->TryGetMediaPropertiesAsync(operation.put())) && operation &&
        SUCCEEDED(
            awaitResult(operation.get(), IID_AsyncOperationProperties, properties.put(), 1000))) {
        Hstring text = nullptr;
        if (SUCCEEDED(properties->get_Title(&text))) out.title = takeString(text);
        text = nullptr;
        if (SUCCEEDED(properties->get_Artist(&text))) out.artist = takeString(text);
    }

    Ref<IPlaybackInfoAbi> playback;
    if (SUCCEEDED(session->GetPlaybackInfo(playback.put())) && playback) {
        int status = 0;
        if (SUCCEEDED(playback->get_PlaybackStatus(&status))) {
            out.state = status == kPlaybackPlaying   ? PlayState::Playing
                        : status == kPlaybackPaused  ? PlayState::Paused
                        : status == kPlaybackStopped ? PlayState::Stopped
                                                     : PlayState::Other;
        }
        Ref<IReferenceDoubleAbi> rate;
        double value = 1.0;
        if (SUCCEEDED(playback->get_PlaybackRate(rate.put())) && rate &&
            SUCCEEDED(rate->get_Value(&value)))
            out.rate = value;
    }

    Ref<ITimelinePropertiesAbi> timeline;
    if (SUCCEEDED(session->GetTimelineProperties(timeline.put())) && timeline) {
        INT64 start = 0, end = 0, position = 0, updated = 0;
        if (SUCCEEDED(timeline->get_StartTime(&start)) && SUCCEEDED(timeline->get_EndTime(&end)) &&
            SUCCEEDED(timeline->get_Position(&position)) &&
            SUCCEEDED(timeline->get_LastUpdatedTime(&updated))) {
            out.lengthMs = end > start ? ticksToMs(end - start) : 0;
            // A timeline of zeros (never updated) is none at all.
            out.hasPosition = updated > 0 && (position != 0 || end != 0);
            out.positionMs = ticksToMs(position - start);
            out.stampMicros = nowMicros - (nowFiletime - updated) / 10;
        }
    }
    return true;
}

}  // namespace

Reading readSessions(ISessionManagerAbi* manager, std::int64_t nowMicros,
                     std::int64_t nowFiletime) {
    Reading reading;
    Ref<ISessionVectorViewAbi> list;
    reading.error = manager->GetSessions(list.put());
    if (FAILED(reading.error)) return reading;
    if (!list) return reading;  // no sessions at all
    UINT32 size = 0;
    reading.error = list->get_Size(&size);
    if (FAILED(reading.error)) return reading;
    for (UINT32 i = 0; i < size && i < 64; ++i) {
        Ref<ISessionAbi> session;
        if (FAILED(list->GetAt(i, session.put())) || !session) continue;
        SessionSnapshot snap;
        if (readSession(session.get(), nowMicros, nowFiletime, snap))
            reading.sessions.push_back(std::move(snap));
    }
    return reading;
}

}  // namespace media_sessions_win32

GbkText unavailableReason(HRESULT error) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(error));
    return GbkText("此系统没有媒体会话（需要 Windows 10 1809 或更新），跟随播放器不可用：") + code;
}

Win32MediaSessionReader::Win32MediaSessionReader(Clock& clock, StaticsSource source, int periodMs)
    : clock_(clock), source_(std::move(source)), periodMs_(periodMs) {
    wake_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

Win32MediaSessionReader::~Win32MediaSessionReader() {
    stop();
    if (wake_) CloseHandle(wake_);
}

void Win32MediaSessionReader::start(std::function<void()> changed) {
    if (thread_.joinable()) return;
    changed_ = std::move(changed);
    thread_ = std::thread([this] { run(); });
}

void Win32MediaSessionReader::stop() {
    if (!thread_.joinable()) return;
    if (wake_) SetEvent(wake_);
    thread_.join();
}

MediaSessionReader::State Win32MediaSessionReader::latest() {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

namespace {

// The same sessions as read before. A stamp is worked out afresh at every read from two clocks
// that tick apart, so it wanders by microseconds while the player's own stamp stays.
bool sameSessions(const SessionList& a, const SessionList& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        SessionSnapshot x = a[i];
        const std::int64_t drift = x.stampMicros - b[i].stampMicros;
        if (drift > -5000 && drift < 5000) x.stampMicros = b[i].stampMicros;
        if (!(x == b[i])) return false;
    }
    return true;
}

}  // namespace

void Win32MediaSessionReader::publish(State state) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (state.unavailable == state_.unavailable && state.reason == state_.reason &&
            sameSessions(state.sessions, state_.sessions))
            return;
        state.serial = state_.serial + 1;
        state_ = std::move(state);
    }
    if (changed_) changed_();
}

void Win32MediaSessionReader::run() {
    const WinRt& api = winRt();
    const bool initialized = api.roInitialize && SUCCEEDED(api.roInitialize(kMultithreaded));
    readUntilStopped();  // every interface is released before the apartment goes
    if (initialized && api.roUninitialize) api.roUninitialize();
}

void Win32MediaSessionReader::readUntilStopped() {
    const WinRt& api = winRt();
    Ref<ISessionManagerStaticsAbi> statics;
    HRESULT hr = REGDB_E_CLASSNOTREG;
    if (source_) {
        hr = source_(statics.put());
    } else if (api.loaded()) {
        Hstring name = nullptr;
        const std::wstring_view id = kManagerClass;
        hr = api.createString(id.data(), static_cast<UINT32>(id.size()), &name);
        if (SUCCEEDED(hr)) {
            hr = api.roGetActivationFactory(name, IID_SessionManagerStatics,
                                            reinterpret_cast<void**>(statics.put()));
            api.deleteString(name);
        }
    }
    Ref<ISessionManagerAbi> manager;
    if (SUCCEEDED(hr) && statics)
        hr = media_sessions_win32::requestManager(statics.get(), manager.put());
    if (FAILED(hr) || !manager) {
        publish({true, unavailableReason(FAILED(hr) ? hr : E_POINTER), {}, 0});
        return;
    }
    do {
        auto reading =
            media_sessions_win32::readSessions(manager.get(), clock_.nowMicros(), systemFiletime());
        // A failed read keeps what was read last; the next one may succeed.
        if (SUCCEEDED(reading.error)) publish({false, {}, std::move(reading.sessions), 0});
    } while (WaitForSingleObject(wake_, static_cast<DWORD>(periodMs_)) == WAIT_TIMEOUT);
}

std::unique_ptr<MediaSessionReader> makeMediaSessionReader(Clock& clock) {
    return std::make_unique<Win32MediaSessionReader>(clock);
}
