#pragma once
// What the running copy lets go of just before it starts its successor (the updated program):
// the global hotkeys and the one-copy lock, so the new copy finds them free. Taken back when
// the new program could not be started.

#include <functional>

namespace hand_over {

/// Adds a step: `release` runs before the successor starts, `retake` when it did not start.
/// Returns an id for `remove`.
int add(std::function<void()> release, std::function<void()> retake);
void remove(int id);

void release();
void retake();

}  // namespace hand_over
