#pragma once
// The client's layout at any display scaling. The delivery table's window size and click
// points are the client's own layout at 96 DPI. A DPI-aware client lays itself out at its DPI,
// and Windows stretches a DPI-unaware one as a picture, so on a screen of any scaling the
// client's controls sit where the table says once its window covers 1000 x 700 at 96 DPI on
// that screen. Both spaces below come from the window system: the client's (where posted points
// land) and the one in which its rectangle is read and set.

#include "platform/window_system.hpp"

namespace delivery {

/// The client's main window size at 96 DPI that the click points are laid out for.
constexpr int kClientWidth = 1000;
constexpr int kClientHeight = 700;

/// The DPI a space's coordinates are in: 96 for a DPI-unaware one, whatever its screen.
int effectiveDpi(DpiView view);

/// The table's layout carried into the client's spaces.
struct ClientScale {
    int windowWidth = 0;  // the size to give the client's window, in the geometry space
    int windowHeight = 0;
    int clientDpi = 96;  // the DPI the client's own coordinates are in

    /// A 96-DPI client point of the table in the client's coordinates.
    ScreenPoint point(ScreenPoint at96) const;
    /// True when a window rectangle read back in the geometry space has the size the points
    /// need (within a pixel of rounding).
    bool fits(const ScreenRect& window) const;
};

/// The rule: the window size scales with the geometry space's DPI, the points with the
/// client's. `client` is the client window's awareness and DPI, `own` the awareness and DPI
/// this program works in when it moves and measures that window.
ClientScale clientScale(DpiView client, DpiView own);

}  // namespace delivery
