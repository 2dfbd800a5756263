#pragma once
// The few interfaces of Windows.Media.Control the media-session reader calls, declared by hand:
// mingw-w64 ships no header for them, and C++/WinRT does not build with GCC. Each is a COM
// vtable after IInspectable's six slots, in the order of the Windows SDK's generated header;
// parameterised interfaces (IAsyncOperation<T>, IVectorView<T>, IReference<double>) are one
// declaration per T, with T's own IID. The functions of combase are looked up at run time, so
// the program still starts on systems without them.

#include <inspectable.h>
#include <windows.h>

#include <cstdint>

namespace winrt_media {

// HSTRING without <hstring.h>'s other declarations.
using Hstring = struct HSTRING__*;

// The functions of combase.dll the reader needs; all null when the system lacks them.
struct WinRt {
    HRESULT(WINAPI* roInitialize)(int type) = nullptr;
    void(WINAPI* roUninitialize)() = nullptr;
    HRESULT(WINAPI* roGetActivationFactory)(Hstring id, REFIID iid, void** factory) = nullptr;
    HRESULT(WINAPI* createString)(const wchar_t* text, UINT32 length, Hstring* out) = nullptr;
    HRESULT(WINAPI* deleteString)(Hstring text) = nullptr;
    const wchar_t*(WINAPI* stringBuffer)(Hstring text, UINT32* length) = nullptr;
    bool loaded() const {
        return roGetActivationFactory && createString && deleteString && stringBuffer;
    }
};

/// combase's functions, loaded once; WinRt::loaded() is false before Windows 8.
const WinRt& winRt();

constexpr int kMultithreaded = 1;  // RO_INIT_MULTITHREADED

extern const IID IID_SessionManagerStatics;
extern const IID IID_AsyncOperationManager;
extern const IID IID_AsyncInfo;
extern const IID IID_SessionManager;
extern const IID IID_SessionVectorView;
extern const IID IID_Session;
extern const IID IID_AsyncOperationProperties;
extern const IID IID_MediaProperties;
extern const IID IID_TimelineProperties;
extern const IID IID_PlaybackInfo;
extern const IID IID_ReferenceDouble;

constexpr int kStatusStarted = 0, kStatusCompleted = 1, kStatusCanceled = 2, kStatusError = 3;
constexpr int kPlaybackPlaying = 4, kPlaybackPaused = 5, kPlaybackStopped = 3;

struct IAsyncInfoAbi : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Status(int* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
};

// IAsyncOperation<T>: put_Completed, get_Completed (handlers this reader never sets), GetResults.
template <typename T>
struct IAsyncOperationAbi : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE put_Completed(IUnknown* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Completed(IUnknown** handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResults(T** results) = 0;
};

struct IReferenceDoubleAbi : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;
};

struct IMediaPropertiesAbi : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Title(Hstring* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Subtitle(Hstring* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AlbumArtist(Hstring* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Artist(Hstring* value) = 0;
};

// TimeSpans and the DateTime are single INT64s in 100 ns units (DateTime since 1601, UTC).
struct ITimelinePropertiesAbi : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_StartTime(INT64* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_EndTime(INT64* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MinSeekTime(INT64* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MaxSeekTime(INT64* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Position(INT64* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LastUpdatedTime(INT64* value) = 0;
};

struct IPlaybackInfoAbi : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Controls(IInspectable** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PlaybackStatus(int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AutoRepeatMode(IInspectable** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PlaybackRate(IReferenceDoubleAbi** value) = 0;
};

struct ISessionAbi : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_SourceAppUserModelId(Hstring* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    TryGetMediaPropertiesAsync(IAsyncOperationAbi<IMediaPropertiesAbi>** operation) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTimelineProperties(ITimelinePropertiesAbi** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPlaybackInfo(IPlaybackInfoAbi** value) = 0;
};

struct ISessionVectorViewAbi : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, ISessionAbi** item) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) = 0;
};

struct ISessionManagerAbi : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetCurrentSession(ISessionAbi** session) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSessions(ISessionVectorViewAbi** sessions) = 0;
};

struct ISessionManagerStaticsAbi : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE
    RequestAsync(IAsyncOperationAbi<ISessionManagerAbi>** operation) = 0;
};

/// The class whose factory gives the statics.
constexpr const wchar_t* kManagerClass =
    L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager";

}  // namespace winrt_media
