#pragma once
// The update-notice check run while the main window is created.

#include "text/gbk_text.hpp"

class UpdateChecker {
  public:
    /// `noticeAddress` is the page holding the update notice; empty when none is configured.
    explicit UpdateChecker(GbkText noticeAddress = {}) : noticeAddress_(std::move(noticeAddress)) {}

    /// Fetches and evaluates the notice; returns at once when no address is configured.
    void run();

    const GbkText& noticeAddress() const { return noticeAddress_; }

  private:
    GbkText noticeAddress_;
};
