#include "win32/web_fetcher_win32.hpp"

#include <windows.h>

#include <thread>

#include "win32/message_loop.hpp"

namespace {

constexpr UINT kFetchDone = WM_APP + 0x41;
constexpr UINT_PTR kHeldTimer = 1;
constexpr UINT kHeldRetryMs = 20;
constexpr wchar_t kFetchSinkClass[] = L"CantorelFetchSink";

struct Completion {
    Win32WebFetcher* fetcher;
    std::uint64_t id;
    FetchOutcome outcome;
};

}  // namespace

struct Win32WebFetcher::Job {
    std::atomic<bool> cancel{false};
    Done done;
};

// An answer that arrives while a wait pumps messages (a delivery's pause between keystrokes,
// say) is held until the thread is back in an outer loop: its handler may ask a question in a
// modal box, which would otherwise sit inside the wait and stall whatever waits.
struct FetcherSink {
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* fetcher =
            reinterpret_cast<Win32WebFetcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == kFetchDone) {
            std::unique_ptr<Completion> completion(reinterpret_cast<Completion*>(lParam));
            completion->fetcher->held_.emplace_back(completion->id, std::move(completion->outcome));
            if (message_loop::insidePump()) {
                SetTimer(window, kHeldTimer, kHeldRetryMs, nullptr);
            } else {
                completion->fetcher->handOutHeld();
            }
            return 0;
        }
        if (message == WM_TIMER && wParam == kHeldTimer && fetcher) {
            if (!message_loop::insidePump()) {
                KillTimer(window, kHeldTimer);
                fetcher->handOutHeld();
            }
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

Win32WebFetcher::Win32WebFetcher(std::shared_ptr<HttpClient> client) : client_(std::move(client)) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = FetcherSink::proc;
    wc.hInstance = module;
    wc.lpszClassName = kFetchSinkClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    sink_ = CreateWindowExW(0, kFetchSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                            nullptr);
    SetWindowLongPtrW(static_cast<HWND>(sink_), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32WebFetcher::~Win32WebFetcher() {
    cancelAll();
    // Completions already queued hold this fetcher's address; with the window gone they are
    // never dispatched. Free them here.
    HWND sink = static_cast<HWND>(sink_);
    MSG message;
    while (PeekMessageW(&message, sink, kFetchDone, kFetchDone, PM_REMOVE))
        delete reinterpret_cast<Completion*>(message.lParam);
    SetWindowLongPtrW(sink, GWLP_USERDATA, 0);
    DestroyWindow(sink);
}

void Win32WebFetcher::start(FetchRequest request, Done done) {
    const std::uint64_t id = nextId_++;
    auto job = std::make_shared<Job>();
    job->done = std::move(done);
    jobs_.emplace(id, job);
    HWND sink = static_cast<HWND>(sink_);
    std::thread([client = client_, job, request = std::move(request), sink, id, this] {
        // Nothing may leave a thread: an exception there ends the program.
        FetchOutcome outcome;
        try {
            outcome = client->fetch(request, &job->cancel);
        } catch (...) {
            outcome = FetchOutcome{"", 0, FetchFailure::Other};
        }
        if (job->cancel.load()) return;
        auto* completion = new Completion{this, id, std::move(outcome)};
        if (!PostMessageW(sink, kFetchDone, 0, reinterpret_cast<LPARAM>(completion)))
            delete completion;
    }).detach();
}

void Win32WebFetcher::cancelAll() {
    for (auto& [id, job] : jobs_) job->cancel.store(true);
    jobs_.clear();
    held_.clear();
}

void Win32WebFetcher::handOutHeld() {
    // A handler may start or cancel fetches, or pump a modal loop that brings more answers:
    // take one at a time, in the order they arrived.
    while (!held_.empty()) {
        auto [id, outcome] = std::move(held_.front());
        held_.erase(held_.begin());
        finished(id, std::move(outcome));
    }
}

void Win32WebFetcher::finished(std::uint64_t id, FetchOutcome outcome) {
    auto found = jobs_.find(id);
    if (found == jobs_.end()) return;  // cancelled after it ended
    Done done = std::move(found->second->done);
    jobs_.erase(found);
    done(std::move(outcome));
}
