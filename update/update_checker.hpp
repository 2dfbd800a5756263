#pragma once
// The update notice, asked once per start. The page is fetched without blocking the window;
// when it answers, a forced update opens the update window, and a suggested one asks first.

#include <functional>

#include "platform/message_box.hpp"
#include "platform/web_fetch.hpp"
#include "text/gbk_text.hpp"

class UpdateChecker {
  public:
    /// Opens the update window; `closed` runs when it has gone without ending the program.
    using OpenWindow = std::function<void(std::function<void()> closed)>;

    /// `noticeAddress` is the notice page; empty when none is configured.
    UpdateChecker(WebFetcher& fetcher, MessageBoxes& boxes, GbkText noticeAddress,
                  FetchLimits limits, OpenWindow openWindow);

    /// Starts the one check of this run and returns at once; later calls, an empty address and
    /// one that is neither https nor http to a loopback host do nothing.
    void run();

    /// True once run has sent the request.
    bool asked() const { return asked_; }

  private:
    void onNotice(const FetchOutcome& outcome);
    void ask();

    WebFetcher& fetcher_;
    MessageBoxes& boxes_;
    GbkText noticeAddress_;
    FetchLimits limits_;
    OpenWindow openWindow_;
    bool asked_ = false;
};
