#pragma once
// A session manager of Windows.Media.Control built on the same vtables as the real one (the
// declarations of win32/winrt_media.hpp), for the media-session reader's tests and for the main
// window's following under Wine, which has no media sessions. Every fake counts itself in
// liveFakes, so a test can check that every reference taken was given back.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "win32/winrt_media.hpp"

namespace fake_sessions {

using namespace winrt_media;

inline std::atomic<int> liveFakes{0};  // fakes not yet released

inline const IID kInspectable = {
    0xAF86E2E0,
    0xB12D,
    0x4C6A,
    {0x9C, 0x5A, 0xD7, 0xAA, 0x65, 0x10, 0x1E,
     0x90}};  // fakes not yet released: every reference taken must be given back

// IUnknown and IInspectable for a fake answering to `iid` (and IAsyncInfo for operations).
template <typename I>
struct Fake : I {
    ULONG refs = 1;
    Fake() { ++liveFakes; }
    virtual ~Fake() { --liveFakes; }
    virtual bool answers(REFIID iid) {
        return IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kInspectable);
    }
    virtual void* as(REFIID) { return static_cast<I*>(this); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!answers(iid)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = as(iid);
        ++refs;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) override { return E_NOTIMPL; }
};

inline Hstring make(const wchar_t* text) {
    Hstring s = nullptr;
    winRt().createString(text, static_cast<UINT32>(wcslen(text)), &s);
    return s;
}

// An operation that reports Started `polls` times, then `status`, with `result` (given back
// with a reference of its own) when completed.
template <typename T>
struct FakeOperation : Fake<IAsyncOperationAbi<T>>, IAsyncInfoAbi {
    int polls;
    int status;
    HRESULT error;
    T* result;
    bool closed = false;
    FakeOperation(int p, int s, T* r, HRESULT e = S_OK)
        : polls(p), status(s), error(e), result(r) {}
    ~FakeOperation() override {
        EXPECT_TRUE(closed);
        if (result) result->Release();
    }
    bool answers(REFIID iid) override {
        return Fake<IAsyncOperationAbi<T>>::answers(iid) || IsEqualIID(iid, IID_AsyncInfo);
    }
    void* as(REFIID iid) override {
        if (IsEqualIID(iid, IID_AsyncInfo)) return static_cast<IAsyncInfoAbi*>(this);
        return static_cast<IAsyncOperationAbi<T>*>(this);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return Fake<IAsyncOperationAbi<T>>::QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Fake<IAsyncOperationAbi<T>>::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Fake<IAsyncOperationAbi<T>>::Release(); }
    HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Completed(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Completed(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetResults(T** out) override {
        if (status != kStatusCompleted) return E_UNEXPECTED;
        *out = result;
        if (result) result->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) override { return *id = 1, S_OK; }
    HRESULT STDMETHODCALLTYPE get_Status(int* out) override {
        *out = polls-- > 0 ? kStatusStarted : status;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* out) override { return *out = error, S_OK; }
    HRESULT STDMETHODCALLTYPE Cancel() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close() override { return closed = true, S_OK; }
};

struct FakeProperties : Fake<IMediaPropertiesAbi> {
    const wchar_t* title;
    const wchar_t* artist;
    FakeProperties(const wchar_t* t, const wchar_t* a) : title(t), artist(a) {}
    HRESULT STDMETHODCALLTYPE get_Title(Hstring* v) override { return *v = make(title), S_OK; }
    HRESULT STDMETHODCALLTYPE get_Subtitle(Hstring* v) override { return *v = nullptr, S_OK; }
    HRESULT STDMETHODCALLTYPE get_AlbumArtist(Hstring* v) override { return *v = nullptr, S_OK; }
    HRESULT STDMETHODCALLTYPE get_Artist(Hstring* v) override { return *v = make(artist), S_OK; }
};

struct FakeTimeline : Fake<ITimelinePropertiesAbi> {
    INT64 end, position, updated;
    FakeTimeline(INT64 e, INT64 p, INT64 u) : end(e), position(p), updated(u) {}
    HRESULT STDMETHODCALLTYPE get_StartTime(INT64* v) override { return *v = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE get_EndTime(INT64* v) override { return *v = end, S_OK; }
    HRESULT STDMETHODCALLTYPE get_MinSeekTime(INT64* v) override { return *v = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE get_MaxSeekTime(INT64* v) override { return *v = end, S_OK; }
    HRESULT STDMETHODCALLTYPE get_Position(INT64* v) override { return *v = position, S_OK; }
    HRESULT STDMETHODCALLTYPE get_LastUpdatedTime(INT64* v) override { return *v = updated, S_OK; }
};

struct FakeRate : Fake<IReferenceDoubleAbi> {
    double value;
    explicit FakeRate(double v) : value(v) {}
    HRESULT STDMETHODCALLTYPE get_Value(double* v) override { return *v = value, S_OK; }
};

struct FakePlayback : Fake<IPlaybackInfoAbi> {
    int status;
    double rate;  // 0: none given
    FakePlayback(int s, double r) : status(s), rate(r) {}
    HRESULT STDMETHODCALLTYPE get_Controls(IInspectable** v) override {
        return *v = nullptr, E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_PlaybackStatus(int* v) override { return *v = status, S_OK; }
    HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable** v) override {
        return *v = nullptr, E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_AutoRepeatMode(IInspectable** v) override {
        return *v = nullptr, E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_PlaybackRate(IReferenceDoubleAbi** v) override {
        *v = rate > 0 ? new FakeRate(rate) : nullptr;
        return S_OK;
    }
};

struct SessionData {
    const wchar_t* player;
    const wchar_t* title;
    const wchar_t* artist;
    int propertyPolls;  // Started this often before the properties come
    int propertyStatus;
    int status;
    double rate;
    INT64 end, position, updated;
};

struct FakeSession : Fake<ISessionAbi> {
    SessionData d;
    explicit FakeSession(SessionData data) : d(data) {}
    HRESULT STDMETHODCALLTYPE get_SourceAppUserModelId(Hstring* v) override {
        return *v = make(d.player), S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    TryGetMediaPropertiesAsync(IAsyncOperationAbi<IMediaPropertiesAbi>** op) override {
        *op = new FakeOperation<IMediaPropertiesAbi>(d.propertyPolls, d.propertyStatus,
                                                     new FakeProperties(d.title, d.artist),
                                                     HRESULT(0x80070005));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTimelineProperties(ITimelinePropertiesAbi** v) override {
        *v = new FakeTimeline(d.end, d.position, d.updated);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPlaybackInfo(IPlaybackInfoAbi** v) override {
        *v = new FakePlayback(d.status, d.rate);
        return S_OK;
    }
};

struct FakeList : Fake<ISessionVectorViewAbi> {
    std::vector<SessionData> sessions;
    HRESULT STDMETHODCALLTYPE GetAt(UINT32 i, ISessionAbi** v) override {
        if (i >= sessions.size()) return *v = nullptr, E_INVALIDARG;
        *v = new FakeSession(sessions[i]);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Size(UINT32* v) override {
        return *v = static_cast<UINT32>(sessions.size()), S_OK;
    }
};

struct FakeManager : Fake<ISessionManagerAbi> {
    std::vector<SessionData> sessions;  // guarded by `lock` once a reader thread runs
    HRESULT listError = S_OK;
    std::mutex lock;
    void set(std::vector<SessionData> now) {
        std::lock_guard<std::mutex> hold(lock);
        sessions = std::move(now);
    }
    HRESULT STDMETHODCALLTYPE GetCurrentSession(ISessionAbi** v) override {
        return *v = nullptr, S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSessions(ISessionVectorViewAbi** v) override {
        if (FAILED(listError)) return *v = nullptr, listError;
        auto* list = new FakeList;
        std::lock_guard<std::mutex> hold(lock);
        list->sessions = sessions;
        *v = list;
        return S_OK;
    }
};

struct FakeStatics : Fake<ISessionManagerStaticsAbi> {
    int polls, status;
    HRESULT error;
    FakeManager* manager;
    FakeStatics(int p, int s, FakeManager* m, HRESULT e = S_OK)
        : polls(p), status(s), error(e), manager(m) {}
    ~FakeStatics() override {
        if (manager) manager->Release();
    }
    HRESULT STDMETHODCALLTYPE RequestAsync(IAsyncOperationAbi<ISessionManagerAbi>** op) override {
        if (manager) manager->AddRef();
        *op = new FakeOperation<ISessionManagerAbi>(polls, status, manager, error);
        return S_OK;
    }
};

}  // namespace fake_sessions
