#include "app/list_file.hpp"

#include <cstdint>

#include "platform/files.hpp"

namespace lists {
namespace {

constexpr std::uint16_t kCountEscape = 0xFFFF;

std::uint32_t readLittleEndian(std::string_view bytes, std::size_t pos, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[pos + static_cast<size_t>(i)]);
    }
    return value;
}

void appendLittleEndian(std::string& out, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::vector<GbkText> decodeListFile(std::string_view bytes) {
    std::vector<GbkText> items;
    if (bytes.size() < 2) return items;
    std::uint32_t count = readLittleEndian(bytes, 0, 2);
    std::size_t pos = 2;
    if (count == kCountEscape) {
        if (bytes.size() < 6) return items;
        count = readLittleEndian(bytes, 2, 4);
        pos = 6;
    }
    // The declared count and lengths are not trusted for allocation: a damaged header could
    // claim four billion items. Every item is bounded by the bytes actually present.
    for (std::uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - pos < 4) break;
        const auto length = static_cast<std::int32_t>(readLittleEndian(bytes, pos, 4));
        pos += 4;
        if (length <= 0) {
            items.emplace_back();
            continue;
        }
        if (static_cast<std::size_t>(length) > bytes.size() - pos) break;
        items.emplace_back(bytes.substr(pos, static_cast<std::size_t>(length)));
        pos += static_cast<std::size_t>(length);
    }
    return items;
}

std::string encodeListFile(const std::vector<GbkText>& items) {
    std::string out;
    // The 16-bit count covers lists up to 65534 items; a longer list takes the escape rather
    // than a count cut to 16 bits, which would lose the items past it.
    if (items.size() < kCountEscape) {
        appendLittleEndian(out, static_cast<std::uint32_t>(items.size()), 2);
    } else {
        appendLittleEndian(out, kCountEscape, 2);
        appendLittleEndian(out, static_cast<std::uint32_t>(items.size()), 4);
    }
    for (const GbkText& item : items) {
        appendLittleEndian(out, static_cast<std::uint32_t>(item.size()), 4);
        out += item;
    }
    return out;
}

std::vector<GbkText> readListFile(const GbkText& path) {
    const auto bytes = files::readAll(path);
    return bytes ? decodeListFile(*bytes) : std::vector<GbkText>{};
}

bool writeListFile(const GbkText& path, const std::vector<GbkText>& items) {
    return files::writeIfChanged(path, encodeListFile(items));
}

}  // namespace lists
