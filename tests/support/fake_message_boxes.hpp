#pragma once
// Message boxes for tests: every box shown is recorded; answers come from a script, then a default.

#include <deque>
#include <vector>

#include "platform/message_box.hpp"

class FakeMessageBoxes : public MessageBoxes {
  public:
    struct Shown {
        GbkText text;
        GbkText title;
        unsigned style = 0;
        bool operator==(const Shown&) const = default;
    };

    int show(const GbkText& text, const GbkText& title, unsigned style) override;

    /// Queues the answer of the next box (answers are used in order).
    void answerNext(int button) { script_.push_back(button); }
    /// Answer once the script runs out (mb::kIdOk unless set).
    void setDefaultAnswer(int button) { defaultAnswer_ = button; }

    const std::vector<Shown>& shown() const { return shown_; }
    /// Texts of the boxes shown, in order.
    std::vector<GbkText> texts() const;
    void clear() { shown_.clear(); }

  private:
    std::vector<Shown> shown_;
    std::deque<int> script_;
    int defaultAnswer_ = mb::kIdOk;
};
