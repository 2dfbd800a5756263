#include "win32/audio_listener_win32.hpp"

#include <audioclient.h>
#include <mmdeviceapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "audio/timed_onset_detector.hpp"
#include "win32/clock_win32.hpp"
#include "win32/wide_text.hpp"

namespace {

constexpr wchar_t kClass[] = L"CantorelAudioListener";
constexpr UINT kOutcomeMessage = WM_APP + 1;
constexpr UINT kListeningMessage = WM_APP + 2;  // wParam: session, lParam: ListenSource
constexpr int kActivationLimitMs = 3000;

struct Outcome {
    bool heard = false;
    HeardOnset onset;
    GbkText reason;
};

template <class T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
    void** out() { return reinterpret_cast<void**>(&p); }
};

// Process loopback as audioclientactivationparams.h of the Windows SDK declares it (mingw-w64
// lacks the header): the activation parameters ActivateAudioInterfaceAsync takes as a blob.
constexpr wchar_t kProcessLoopbackDevice[] = L"VAD\\Process_Loopback";
enum class ActivationType : int { Default = 0, ProcessLoopback = 1 };
enum class LoopbackMode : int { IncludeTargetProcessTree = 0, ExcludeTargetProcessTree = 1 };
struct ProcessLoopbackParams {
    DWORD targetProcessId;
    LoopbackMode mode;
};
struct ActivationParams {
    ActivationType type;
    ProcessLoopbackParams processLoopback;  // the only member of the SDK's union
};
static_assert(sizeof(ActivationParams) == 12, "AUDIOCLIENT_ACTIVATION_PARAMS is 12 bytes");
using ActivateAudioInterfaceAsyncFn = HRESULT(WINAPI*)(LPCWSTR, REFIID, PROPVARIANT*,
                                                       IActivateAudioInterfaceCompletionHandler*,
                                                       IActivateAudioInterfaceAsyncOperation**);
// IAgileObject: the completion may be called on any thread.
constexpr GUID kAgileObject = {
    0x94ea2b94, 0xe9cc, 0x49e0, {0xc0, 0xff, 0xee, 0x64, 0xca, 0x8f, 0x5b, 0x90}};

/// The completion handler of one activation; it also keeps the parameters, which live as long
/// as the operation holds it (an activation may end after its caller stopped waiting).
class Activation final : public IActivateAudioInterfaceCompletionHandler {
  public:
    /// `pid` 0: a device activated without parameters.
    explicit Activation(DWORD pid) : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        if (pid == 0) return;
        params_.type = ActivationType::ProcessLoopback;
        params_.processLoopback = {pid, LoopbackMode::IncludeTargetProcessTree};
        value_.vt = VT_BLOB;
        value_.blob.cbSize = sizeof params_;
        value_.blob.pBlobData = reinterpret_cast<BYTE*>(&params_);
    }
    HANDLE done() const { return done_; }
    PROPVARIANT* value() { return value_.vt == VT_EMPTY ? nullptr : &value_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, __uuidof(IUnknown)) ||
            IsEqualIID(iid, __uuidof(IActivateAudioInterfaceCompletionHandler)) ||
            IsEqualIID(iid, kAgileObject)) {
            AddRef();
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE ActivateCompleted(IActivateAudioInterfaceAsyncOperation*) override {
        SetEvent(done_);
        return S_OK;
    }

  private:
    ~Activation() {
        if (done_) CloseHandle(done_);
    }
    std::atomic<ULONG> references_{1};
    HANDLE done_;
    ActivationParams params_{};
    PROPVARIANT value_{};
};

enum class SampleType { Float32, Int16, Int32 };

std::optional<SampleType> sampleTypeOf(const WAVEFORMATEX& format) {
    WORD tag = format.wFormatTag;
    if (tag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= 22) {
        // The sub-format GUID begins with the plain format code.
        tag = static_cast<WORD>(
            reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat.Data1);
    }
    if (tag == WAVE_FORMAT_IEEE_FLOAT && format.wBitsPerSample == 32) return SampleType::Float32;
    if (tag == WAVE_FORMAT_PCM && format.wBitsPerSample == 16) return SampleType::Int16;
    if (tag == WAVE_FORMAT_PCM && format.wBitsPerSample == 32) return SampleType::Int32;
    return std::nullopt;
}

Outcome failed(const char* reason) {
    Outcome outcome;
    outcome.reason = reason;
    return outcome;
}

/// Listens until music starts, `stop` is set (nullopt), or something fails: to process
/// `playerPid` alone where Windows can, else to the playback device `chosen` (the system's
/// default when empty or gone). `begun` is told which, once listening has begun.
std::optional<Outcome> listen(HANDLE stop, const std::wstring& chosen, DWORD playerPid,
                              std::uint32_t windowsBuild,
                              const std::function<void(ListenSource)>& begun) {
    const std::int64_t started = qpcMicros();
    constexpr REFERENCE_TIME kBuffer = 1000000;  // 100 ms, in 100 ns units
    Released<IAudioClient> client;
    ListenSource source = ListenSource::PlaybackDevice;
    std::optional<SampleType> type;
    int channels = 0, rate = 0;
    if (chooseListenSource(windowsBuild, playerPid) == ListenSource::Player) {
        // That client has no mix format of its own: it converts to the one asked for.
        WAVEFORMATEX wanted{};
        wanted.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
        wanted.nChannels = 2;
        wanted.nSamplesPerSec = 48000;
        wanted.wBitsPerSample = 32;
        wanted.nBlockAlign = 8;
        wanted.nAvgBytesPerSec = 48000 * 8;
        Released<IAudioClient> player;
        if (SUCCEEDED(audio_listener_win32::activateProcessLoopback(
                playerPid, stop, kActivationLimitMs, &player.p)) &&
            SUCCEEDED(player->Initialize(AUDCLNT_SHAREMODE_SHARED,
                                         AUDCLNT_STREAMFLAGS_LOOPBACK |
                                             AUDCLNT_STREAMFLAGS_EVENTCALLBACK |
                                             AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM,
                                         kBuffer, 0, &wanted, nullptr))) {
            std::swap(client.p, player.p);
            source = ListenSource::Player;
            type = SampleType::Float32;
            channels = 2;
            rate = 48000;
        }
        if (WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) return std::nullopt;
    }
    if (!client.p) {
        Released<IMMDeviceEnumerator> devices;
        if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                    __uuidof(IMMDeviceEnumerator), devices.out())))
            return failed("无法使用系统的声音服务，已停止等待伴奏");
        Released<IMMDevice> device;
        // The chosen device while it is there; else the default one of this moment, so a change
        // of the system's default is followed from the next start.
        if (!chosen.empty() && FAILED(devices->GetDevice(chosen.c_str(), &device.p)))
            device.p = nullptr;
        if (!device.p && FAILED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device.p)))
            return failed("没有找到播放设备，已停止等待伴奏");
        if (FAILED(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, client.out())))
            return failed("无法打开播放设备，已停止等待伴奏");
        WAVEFORMATEX* format = nullptr;
        if (FAILED(client->GetMixFormat(&format)) || !format)
            return failed("无法读取播放设备的声音格式，已停止等待伴奏");
        std::unique_ptr<WAVEFORMATEX, decltype(&CoTaskMemFree)> formatOwner(format, CoTaskMemFree);
        type = sampleTypeOf(*format);
        channels = format->nChannels;
        rate = static_cast<int>(format->nSamplesPerSec);
        if (!type || channels < 1 || rate < 1000)
            return failed("播放设备的声音格式无法识别，已停止等待伴奏");
        if (FAILED(
                client->Initialize(AUDCLNT_SHAREMODE_SHARED,
                                   AUDCLNT_STREAMFLAGS_LOOPBACK | AUDCLNT_STREAMFLAGS_EVENTCALLBACK,
                                   kBuffer, 0, format, nullptr)))
            return failed("无法监听播放设备，已停止等待伴奏");
    }
    HANDLE ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!ready) return failed("无法监听播放设备，已停止等待伴奏");
    std::unique_ptr<void, decltype(&CloseHandle)> readyOwner(ready, CloseHandle);
    Released<IAudioCaptureClient> capture;
    if (FAILED(client->SetEventHandle(ready)) ||
        FAILED(client->GetService(__uuidof(IAudioCaptureClient), capture.out())) ||
        FAILED(client->Start()))
        return failed("无法监听播放设备，已停止等待伴奏");
    begun(source);

    TimedOnsetDetector detector(rate, started);
    std::vector<float> mono;
    std::optional<Outcome> result;
    auto heard = [&](const TimedOnset& onset) {
        Outcome outcome;
        outcome.heard = true;
        outcome.onset = {onset.clockMicros, onset.listenedSeconds, onset.levelDb};
        result = outcome;
    };
    const HANDLE waits[2] = {stop, ready};
    while (!result) {
        // Before Windows 10 a loopback stream never signals its event: poll as well.
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 10);
        if (woke == WAIT_OBJECT_0) break;
        UINT32 next = 0;
        HRESULT hr;
        while (!result && SUCCEEDED(hr = capture->GetNextPacketSize(&next)) && next > 0) {
            BYTE* data = nullptr;
            UINT32 frames = 0;
            DWORD flags = 0;
            UINT64 position = 0, qpcPosition = 0;
            hr = capture->GetBuffer(&data, &frames, &flags, &position, &qpcPosition);
            if (FAILED(hr)) break;
            mono.assign(frames, 0.0f);
            if (!(flags & AUDCLNT_BUFFERFLAGS_SILENT)) {
                for (UINT32 f = 0; f < frames; ++f) {
                    float sum = 0;
                    for (int c = 0; c < channels; ++c) {
                        const std::size_t i = std::size_t(f) * channels + c;
                        if (*type == SampleType::Float32) {
                            float v;
                            std::memcpy(&v, data + i * 4, 4);
                            sum += v;
                        } else if (*type == SampleType::Int16) {
                            std::int16_t v;
                            std::memcpy(&v, data + i * 2, 2);
                            sum += v / 32768.0f;
                        } else {
                            std::int32_t v;
                            std::memcpy(&v, data + i * 4, 4);
                            sum += static_cast<float>(v / 2147483648.0);
                        }
                    }
                    mono[f] = sum / static_cast<float>(channels);
                }
            }
            // The packet's first frame was at this counter time (100 ns units); without a
            // good stamp it is taken as just played.
            const bool stamped = qpcPosition != 0 && !(flags & AUDCLNT_BUFFERFLAGS_TIMESTAMP_ERROR);
            const std::int64_t micros =
                stamped ? static_cast<std::int64_t>(qpcPosition / 10)
                        : qpcMicros() - static_cast<std::int64_t>(frames) * 1000000 / rate;
            const auto onset = detector.feed(mono.data(), mono.size(), micros);
            capture->ReleaseBuffer(frames);
            if (onset) heard(*onset);
        }
        if (result) break;
        if (hr == AUDCLNT_E_DEVICE_INVALIDATED || hr == AUDCLNT_E_SERVICE_NOT_RUNNING) {
            result = failed("播放设备已断开，已停止等待伴奏");
            break;
        }
        if (FAILED(hr)) {
            result = failed("监听播放设备时出错，已停止等待伴奏");
            break;
        }
        const std::int64_t now = qpcMicros();
        if (const auto onset = detector.quietUntil(now)) heard(*onset);
        if (!result && now - started >= TimedOnsetDetector::kListenLimitMicros)
            result = failed("10 分钟没有听到伴奏，已停止等待");
    }
    client->Stop();
    return result;
}

}  // namespace

namespace audio_listener_win32 {

DWORD playerProcessId(const std::wstring& appId) {
    const std::size_t slash = appId.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? appId : appId.substr(slash + 1);
    const int length = static_cast<int>(name.size());
    if (length < 5 ||
        CompareStringOrdinal(name.c_str() + length - 4, 4, L".exe", 4, TRUE) != CSTR_EQUAL)
        return 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    std::vector<std::pair<DWORD, DWORD>> matches;  // process, its parent
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, name.c_str(), length, TRUE) == CSTR_EQUAL)
            matches.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    }
    CloseHandle(snapshot);
    for (const auto& [pid, parent] : matches) {
        const bool child =
            std::any_of(matches.begin(), matches.end(),
                        [parent = parent](const auto& m) { return m.first == parent; });
        if (!child) return pid;
    }
    return matches.empty() ? 0 : matches.front().first;
}

std::uint32_t windowsBuild() {
    // GetVersionEx answers as the manifest allows; the kernel's own call does not.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                           reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                     : nullptr;
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!get || get(&info) != 0) return 0;
    return info.dwBuildNumber;
}

HRESULT activateProcessLoopback(DWORD pid, HANDLE stop, int limitMs, IAudioClient** client) {
    if (pid == 0) return E_INVALIDARG;
    return activateAudioClient(kProcessLoopbackDevice, pid, stop, limitMs, client);
}

HRESULT activateAudioClient(const wchar_t* path, DWORD pid, HANDLE stop, int limitMs,
                            IAudioClient** client) {
    if (!client) return E_POINTER;
    *client = nullptr;
    // Loaded once and kept: the audio client lives in it. Windows 7 and 8 lack the function.
    HMODULE mmdevapi = LoadLibraryW(L"mmdevapi.dll");
    if (!mmdevapi) return HRESULT_FROM_WIN32(GetLastError());
    auto activate = reinterpret_cast<ActivateAudioInterfaceAsyncFn>(
        reinterpret_cast<void*>(GetProcAddress(mmdevapi, "ActivateAudioInterfaceAsync")));
    if (!activate) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    Released<Activation> activation;
    activation.p = new Activation(pid);
    if (!activation->done()) return HRESULT_FROM_WIN32(GetLastError());
    Released<IActivateAudioInterfaceAsyncOperation> operation;
    HRESULT hr =
        activate(path, __uuidof(IAudioClient), activation->value(), activation.p, &operation.p);
    if (FAILED(hr)) return hr;
    if (!operation.p) return E_FAIL;
    const HANDLE waits[2] = {activation->done(), stop};
    const DWORD woke = WaitForMultipleObjects(stop ? 2 : 1, waits, FALSE, limitMs);
    if (woke == WAIT_OBJECT_0 + 1) return E_ABORT;
    if (woke != WAIT_OBJECT_0) return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    HRESULT result = E_FAIL;
    Released<IUnknown> activated;
    hr = operation->GetActivateResult(&result, &activated.p);
    if (FAILED(hr)) return hr;
    if (FAILED(result)) return result;
    if (!activated.p) return E_NOINTERFACE;
    return activated->QueryInterface(__uuidof(IAudioClient), reinterpret_cast<void**>(client));
}

}  // namespace audio_listener_win32

Win32AudioListener::Win32AudioListener(std::uint32_t windowsBuild) : windowsBuild_(windowsBuild) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);  // a second listener finds the class registered
    window_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, this);
    stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

Win32AudioListener::~Win32AudioListener() {
    stop();
    if (window_) {
        // Outcomes still queued for the window are freed here.
        MSG message;
        while (PeekMessageW(&message, window_, kOutcomeMessage, kOutcomeMessage, PM_REMOVE))
            delete reinterpret_cast<Outcome*>(message.lParam);
        DestroyWindow(window_);
    }
    if (stopEvent_) CloseHandle(stopEvent_);
}

std::vector<RenderDevice> renderDevices() {
    // PKEY_Device_FriendlyName, spelled out: mingw's import libraries do not define it.
    constexpr PROPERTYKEY kFriendlyName{
        {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 14};
    std::vector<RenderDevice> found;
    Released<IMMDeviceEnumerator> devices;
    Released<IMMDeviceCollection> all;
    UINT count = 0;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator), devices.out())) ||
        FAILED(devices->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &all.p)) ||
        FAILED(all->GetCount(&count)))
        return found;
    for (UINT i = 0; i < count; ++i) {
        Released<IMMDevice> device;
        LPWSTR id = nullptr;
        if (FAILED(all->Item(i, &device.p)) || FAILED(device->GetId(&id)) || !id) continue;
        RenderDevice entry{id, id};
        CoTaskMemFree(id);
        Released<IPropertyStore> properties;
        PROPVARIANT name;
        PropVariantInit(&name);
        if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &properties.p)) &&
            SUCCEEDED(properties->GetValue(kFriendlyName, &name)) && name.vt == VT_LPWSTR &&
            name.pwszVal)
            entry.name = name.pwszVal;
        PropVariantClear(&name);
        found.push_back(std::move(entry));
    }
    return found;
}

void Win32AudioListener::start(OnsetHandler onOnset, FailureHandler onFailure) {
    stop();
    onOnset_ = std::move(onOnset);
    onFailure_ = std::move(onFailure);
    onListening_ = std::move(nextOnListening_);
    nextOnListening_ = nullptr;
    const std::wstring player = win32::wide(nextPlayer_);
    nextPlayer_.clear();
    const std::uint64_t session = ++session_;
    if (!window_ || !stopEvent_) {
        finish(session, new Outcome(failed("无法监听播放设备，已停止等待伴奏")));
        return;
    }
    ResetEvent(stopEvent_);
    HWND window = window_;
    HANDLE stopEvent = stopEvent_;
    const std::uint32_t build = windowsBuild_;
    worker_ = std::thread([window, stopEvent, session, device = device_, player, build] {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        auto begun = [window, session](ListenSource source) {
            PostMessageW(window, kListeningMessage, static_cast<WPARAM>(session),
                         static_cast<LPARAM>(source));
        };
        // Nothing may leave a thread: an exception there ends the program.
        std::optional<Outcome> outcome;
        try {
            const DWORD pid = player.empty() ? 0 : audio_listener_win32::playerProcessId(player);
            outcome = listen(stopEvent, device, pid, build, begun);
        } catch (...) {
            outcome.emplace(failed("无法监听播放设备，已停止等待伴奏"));
        }
        if (SUCCEEDED(com)) CoUninitialize();
        if (!outcome) return;  // stopped
        auto* message = new Outcome(std::move(*outcome));
        if (!PostMessageW(window, kOutcomeMessage, static_cast<WPARAM>(session),
                          reinterpret_cast<LPARAM>(message)))
            delete message;
    });
}

void Win32AudioListener::stop() {
    ++session_;  // whatever is still queued belongs to a listening that has ended
    if (worker_.joinable()) {
        SetEvent(stopEvent_);
        worker_.join();
    }
    onOnset_ = nullptr;
    onFailure_ = nullptr;
    onListening_ = nullptr;
}

void Win32AudioListener::listenTo(const GbkText& player, ListeningHandler onListening) {
    nextPlayer_ = player;
    nextOnListening_ = std::move(onListening);
}

void Win32AudioListener::began(std::uint64_t session, ListenSource source) {
    if (session == session_ && onListening_) onListening_(source);
}

void Win32AudioListener::finish(std::uint64_t session, void* raw) {
    std::unique_ptr<Outcome> outcome(static_cast<Outcome*>(raw));
    if (session != session_) return;
    if (worker_.joinable()) worker_.join();  // it ends right after posting
    OnsetHandler onOnset = std::move(onOnset_);
    FailureHandler onFailure = std::move(onFailure_);
    onOnset_ = nullptr;
    onFailure_ = nullptr;
    onListening_ = nullptr;
    ++session_;
    if (outcome->heard) {
        if (onOnset) onOnset(outcome->onset);
    } else if (onFailure) {
        onFailure(outcome->reason);
    }
}

LRESULT CALLBACK Win32AudioListener::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (message == kOutcomeMessage) {
        auto* self = reinterpret_cast<Win32AudioListener*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) {
            self->finish(static_cast<std::uint64_t>(wParam), reinterpret_cast<void*>(lParam));
        } else {
            delete reinterpret_cast<Outcome*>(lParam);
        }
        return 0;
    }
    if (message == kListeningMessage) {
        auto* self = reinterpret_cast<Win32AudioListener*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self)
            self->began(static_cast<std::uint64_t>(wParam), static_cast<ListenSource>(lParam));
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
