#include "ui/dpi_scale.hpp"

#include <cstdint>

namespace dpi {
namespace {

int mulDiv(int value, int numerator, int denominator) {
    if (denominator <= 0) return value;
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

}  // namespace

int scale(int value, int dpi) { return mulDiv(value, dpi > 0 ? dpi : kLayoutDpi, kLayoutDpi); }

Box scale(const Box& box, int dpi) {
    const int left = scale(box.x, dpi), top = scale(box.y, dpi);
    return Box{left, top, scale(box.x + box.width, dpi) - left,
               scale(box.y + box.height, dpi) - top};
}

UnitLayout scale(const UnitLayout& unit, int dpi) {
    const Box box = scale(Box{unit.x, unit.y, unit.width, unit.height}, dpi);
    UnitLayout scaled = unit;
    scaled.x = box.x;
    scaled.y = box.y;
    scaled.width = box.width;
    scaled.height = box.height;
    return scaled;
}

int fontHeight(int height, int fromDpi, int toDpi) {
    if (fromDpi <= 0 || toDpi <= 0) return height;
    return mulDiv(height, toDpi, fromDpi);
}

}  // namespace dpi
