#include "delivery/dpi_scale.hpp"

#include <cstdlib>

namespace delivery {

namespace {

// Rounded half away from zero, as Windows scales its own metrics (MulDiv).
int scaled(int value, int dpi) { return (value * dpi * 2 + 96) / (96 * 2); }

}  // namespace

int effectiveDpi(DpiView view) {
    if (view.awareness == DpiAwareness::Unaware || view.dpi <= 0) return 96;
    return view.dpi;
}

ScreenPoint ClientScale::point(ScreenPoint at96) const {
    return {scaled(at96.x, clientDpi), scaled(at96.y, clientDpi)};
}

bool ClientScale::fits(const ScreenRect& window) const {
    return std::abs((window.right - window.left) - windowWidth) <= 1 &&
           std::abs((window.bottom - window.top) - windowHeight) <= 1;
}

ClientScale clientScale(DpiView client, DpiView own) {
    // Whatever the client's awareness, on the screen it covers the table's size times the
    // screen's scaling; the geometry space sees that as the size at its own DPI.
    const int ownDpi = effectiveDpi(own);
    return {scaled(kClientWidth, ownDpi), scaled(kClientHeight, ownDpi), effectiveDpi(client)};
}

}  // namespace delivery
