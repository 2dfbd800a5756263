#pragma once
// The asynchronous fetcher of the window: each fetch runs on a worker thread of its own, and the
// outcome comes back as a message to a hidden message-only window of the thread that started it,
// so `done` runs there (inside any message loop: ours, a message box's, a modal dialog's), but
// never inside a wait that pumps messages: an answer arriving then is held until it is over.

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/web_fetch.hpp"

class Win32WebFetcher : public WebFetcher {
  public:
    /// The workers share `client`, so a worker that is still ending keeps it alive.
    explicit Win32WebFetcher(std::shared_ptr<HttpClient> client);
    ~Win32WebFetcher() override;

    void start(FetchRequest request, Done done) override;
    /// Every running transfer is told to stop (each ends within about a second); no `done` runs.
    void cancelAll() override;

    /// Fetches started and not yet ended or cancelled.
    std::size_t running() const { return jobs_.size(); }

    struct Job;

  private:
    friend struct FetcherSink;
    void finished(std::uint64_t id, FetchOutcome outcome);
    void handOutHeld();

    std::shared_ptr<HttpClient> client_;
    void* sink_ = nullptr;  // the message-only window (HWND)
    std::uint64_t nextId_ = 1;
    std::map<std::uint64_t, std::shared_ptr<Job>> jobs_;
    std::vector<std::pair<std::uint64_t, FetchOutcome>> held_;  // arrived, not yet handed out
};
