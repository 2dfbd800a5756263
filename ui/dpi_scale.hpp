#pragma once
// The one rule that turns the layout data, drawn at 96 pixels per inch, into the pixels of a
// window shown at another density: places, sizes and the message font all go through it.

#include "ui/main_layout.hpp"

namespace dpi {

/// The density every number of the layout data is given in.
constexpr int kLayoutDpi = 96;

/// `value` layout pixels at `dpi`, rounded to the nearest pixel (halves away from zero).
int scale(int value, int dpi);

/// A rectangle in a parent's coordinates.
struct Box {
    int x, y, width, height;
};

/// `box` at `dpi`. Edges are scaled, not sizes, so units that touch or overlap at 96 touch or
/// overlap by the scaled amount, and one edge never drifts from its neighbour's by rounding.
Box scale(const Box& box, int dpi);

/// `unit` with its place and size at `dpi`; everything else unchanged.
UnitLayout scale(const UnitLayout& unit, int dpi);

/// A font height (a LOGFONT lfHeight, negative for character height) measured at `fromDpi`,
/// for a window at `toDpi`.
int fontHeight(int height, int fromDpi, int toDpi);

}  // namespace dpi
