#include "win32/gui/hand_over.hpp"

#include <map>
#include <utility>

namespace hand_over {
namespace {

struct Step {
    std::function<void()> release, retake;
};

// GUI thread only.
std::map<int, Step>& steps() {
    static std::map<int, Step> all;
    return all;
}

}  // namespace

int add(std::function<void()> release, std::function<void()> retake) {
    static int next = 0;
    steps().emplace(++next, Step{std::move(release), std::move(retake)});
    return next;
}

void remove(int id) { steps().erase(id); }

void release() {
    for (auto& [id, step] : steps())
        if (step.release) step.release();
}

void retake() {
    for (auto& [id, step] : steps())
        if (step.retake) step.retake();
}

}  // namespace hand_over
