// The media-session reader against a session manager built here on the same vtables as
// Windows.Media.Control's: every call the reader makes, its strings, asynchronous results that
// finish late, fail or are cancelled, and empty lists. Wine has no media sessions, so the real
// factory's "unavailable" is checked too.
#include "win32/media_sessions_win32.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "win32/clock_win32.hpp"
#include "win32/wide_text.hpp"

using namespace winrt_media;

namespace {

int liveFakes = 0;

const IID kInspectable = {
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

Hstring make(const wchar_t* text) {
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
    std::vector<SessionData> sessions;
    HRESULT listError = S_OK;
    HRESULT STDMETHODCALLTYPE GetCurrentSession(ISessionAbi** v) override {
        return *v = nullptr, S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSessions(ISessionVectorViewAbi** v) override {
        if (FAILED(listError)) return *v = nullptr, listError;
        auto* list = new FakeList;
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

constexpr INT64 kSecond = 10000000;  // 100 ns units
constexpr INT64 kNowFiletime = 134000000000000000;

const SessionData kPlaying{L"QQMusic.exe",
                           L"晚风",
                           L"林远",
                           3,
                           kStatusCompleted,
                           kPlaybackPlaying,
                           1.5,
                           200 * kSecond,
                           12 * kSecond,
                           kNowFiletime - 2 * kSecond};
const SessionData kPausedNoTimeline{
    L"Spotify.exe", L"Paper Boats", L"Mira Lane", 0, kStatusError, kPlaybackPaused, 0, 0, 0, 0};

TEST(MediaSessionsWin32, EverySessionIsReadThroughTheInterfacesAndEveryReferenceIsGivenBack) {
    ASSERT_TRUE(winRt().loaded()) << "combase's HSTRING functions are missing";
    {
        auto* manager = new FakeManager;
        manager->sessions = {kPlaying, kPausedNoTimeline};
        const auto reading = media_sessions_win32::readSessions(manager, 50000000, kNowFiletime);
        manager->Release();
        ASSERT_EQ(reading.error, S_OK);
        ASSERT_EQ(reading.sessions.size(), 2u);
        const SessionSnapshot& a = reading.sessions[0];
        EXPECT_EQ(a.player, "QQMusic.exe");
        EXPECT_EQ(a.title, "晚风");
        EXPECT_EQ(a.artist, "林远");
        EXPECT_EQ(a.state, PlayState::Playing);
        EXPECT_EQ(a.lengthMs, 200000);
        EXPECT_TRUE(a.hasPosition);
        EXPECT_EQ(a.positionMs, 12000);
        EXPECT_EQ(a.stampMicros, 48000000);  // two seconds before now on the clock
        EXPECT_EQ(a.rate, 1.5);
        // Its properties failed: the session stays, without title; a zero timeline is none.
        const SessionSnapshot& b = reading.sessions[1];
        EXPECT_EQ(b.player, "Spotify.exe");
        EXPECT_EQ(b.title, "");
        EXPECT_EQ(b.state, PlayState::Paused);
        EXPECT_FALSE(b.hasPosition);
        EXPECT_EQ(b.rate, 1.0);
    }
    EXPECT_EQ(liveFakes, 0);
}

TEST(MediaSessionsWin32, ManagerRequestWaitsForCompletionAndReportsFailureCancelAndEmptyLists) {
    struct Case {
        int polls, status;
        HRESULT error, expected;
    };
    for (const Case c :
         {Case{4, kStatusCompleted, S_OK, S_OK},
          Case{0, kStatusError, HRESULT(0x80070005), HRESULT(0x80070005)},
          Case{0, kStatusError, S_OK, E_FAIL}, Case{2, kStatusCanceled, S_OK, E_ABORT},
          Case{1000000, kStatusCompleted, S_OK, E_PENDING}}) {
        auto* statics = new FakeStatics(c.polls, c.status, new FakeManager, c.error);
        ISessionManagerAbi* manager = nullptr;
        EXPECT_EQ(media_sessions_win32::requestManager(statics, &manager, 100), c.expected)
            << c.polls << " " << c.status;
        EXPECT_EQ(manager != nullptr, c.expected == S_OK);
        if (manager) {
            const auto empty = media_sessions_win32::readSessions(manager, 0, kNowFiletime);
            EXPECT_EQ(empty.error, S_OK);
            EXPECT_TRUE(empty.sessions.empty());
            static_cast<FakeManager*>(manager)->listError = E_UNEXPECTED;
            EXPECT_EQ(media_sessions_win32::readSessions(manager, 0, kNowFiletime).error,
                      E_UNEXPECTED);
            manager->Release();
        }
        statics->Release();
    }
    EXPECT_EQ(liveFakes, 0);
}

MediaSessionReader::State waitFor(MediaSessionReader& reader, std::uint64_t serial) {
    for (int i = 0; i < 400 && reader.latest().serial < serial; ++i)
        Sleep(10);
    return reader.latest();
}

TEST(MediaSessionsWin32, ReaderThreadPublishesChangesAndSaysWhenUnavailable) {
    Win32Clock clock;
    {
        auto* manager = new FakeManager;
        manager->sessions = {kPlaying};
        std::atomic<int> told{0};
        Win32MediaSessionReader reader(
            clock,
            [manager](ISessionManagerStaticsAbi** statics) {
                manager->AddRef();
                *statics = new FakeStatics(2, kStatusCompleted, manager);
                return S_OK;
            },
            20);
        reader.start([&] { ++told; });
        const auto state = waitFor(reader, 1);
        EXPECT_FALSE(state.unavailable);
        ASSERT_EQ(state.sessions.size(), 1u);
        EXPECT_EQ(state.sessions[0].title, "晚风");
        // Unchanged sessions are not news; a new list is.
        Sleep(100);
        EXPECT_EQ(reader.latest().serial, 1u);
        reader.stop();
        EXPECT_EQ(told, 1);
        manager->Release();
    }
    EXPECT_EQ(liveFakes, 0);

    Win32MediaSessionReader refused(clock, [](ISessionManagerStaticsAbi** statics) {
        *statics = nullptr;
        return REGDB_E_CLASSNOTREG;
    });
    refused.start([] {});
    const auto state = waitFor(refused, 1);
    EXPECT_TRUE(state.unavailable);
    EXPECT_NE(state.reason.find("0x80040154"), std::string::npos);

    // The system's own factory: Wine has none and says so; Windows 10 and later answer.
    Win32MediaSessionReader real(clock);
    real.start([] {});
    const auto answer = waitFor(real, 1);
    if (answer.unavailable) EXPECT_NE(answer.reason, "");
    real.stop();
}

}  // namespace
