#include "tests/support/fake_message_boxes.hpp"

int FakeMessageBoxes::show(const GbkText& text, const GbkText& title, unsigned style) {
    shown_.push_back({text, title, style});
    if (script_.empty()) return defaultAnswer_;
    int answer = script_.front();
    script_.pop_front();
    return answer;
}

std::vector<GbkText> FakeMessageBoxes::texts() const {
    std::vector<GbkText> result;
    for (const Shown& box : shown_) result.push_back(box.text);
    return result;
}
