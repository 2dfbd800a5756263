// Code page 936 conversions on Linux through glibc's iconv ("CP936" is Windows' table,
// the Euro sign at 0x80 included).
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "text/codepage.hpp"

namespace codepage {
namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`. Where iconv stops on a unit it cannot convert, `fallback(in, pos, out)`
    // appends what the unit becomes and returns how many bytes it took; conversion goes on
    // after them.
    template <typename FallbackFn>
    std::string run(std::string_view in, FallbackFn fallback) {
        std::string out;
        out.resize(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        size_t used = 0;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (srcLeft > 0) {
            char* dst = out.data() + used;
            size_t dstLeft = out.size() - used;
            const size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            used = out.size() - dstLeft;
            if (r != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL.
            out.resize(used);
            const size_t pos = static_cast<size_t>(src - in.data());
            const size_t skip = std::min(fallback(in, pos, out), srcLeft);
            used = out.size();
            src += skip;
            srcLeft -= skip;
            out.resize(used + srcLeft * 2 + 16);
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(used);
        return out;
    }

  private:
    iconv_t cd_;
};

// NOTE: Windows' code page 936 gives every two-byte code that glibc's CP936 leaves empty a
// private-use character (trail 0x7F excepted): the three user-defined areas map in order onto
// U+E000-U+E765 and the remaining empty codes, in ascending order, onto U+E766-U+E864. A file
// or a posted line holding them must read the same on both systems, so they are mapped here by
// hand, both ways.
struct CodeRange {
    unsigned first;
    unsigned last;
};
constexpr CodeRange kOtherEmptyCodes[] = {
    {0xA2AB, 0xA2B0}, {0xA2E3, 0xA2E4}, {0xA2EF, 0xA2F0}, {0xA2FD, 0xA2FE}, {0xA4F4, 0xA4FE},
    {0xA5F7, 0xA5FE}, {0xA6B9, 0xA6C0}, {0xA6D9, 0xA6DF}, {0xA6EC, 0xA6ED}, {0xA6F3, 0xA6F3},
    {0xA6F6, 0xA6FE}, {0xA7C2, 0xA7D0}, {0xA7F2, 0xA7FE}, {0xA896, 0xA8A0}, {0xA8BC, 0xA8BC},
    {0xA8BF, 0xA8BF}, {0xA8C1, 0xA8C4}, {0xA8EA, 0xA8FE}, {0xA958, 0xA958}, {0xA95B, 0xA95B},
    {0xA95D, 0xA95F}, {0xA989, 0xA995}, {0xA997, 0xA9A3}, {0xA9F0, 0xA9FE}, {0xD7FA, 0xD7FE},
    {0xFE50, 0xFEA0}};
constexpr unsigned kFirstOther = 0xE766;

// Private-use character of a two-byte code iconv could not convert, or 0.
char16_t privateUseOf(unsigned lead, unsigned trail) {
    if (trail < 0x40 || trail > 0xFE || trail == 0x7F) return 0;
    if (lead >= 0xAA && lead <= 0xAF && trail >= 0xA1)
        return static_cast<char16_t>(0xE000 + (lead - 0xAA) * 94 + (trail - 0xA1));
    if (lead >= 0xF8 && lead <= 0xFE && trail >= 0xA1)
        return static_cast<char16_t>(0xE234 + (lead - 0xF8) * 94 + (trail - 0xA1));
    if (lead >= 0xA1 && lead <= 0xA7 && trail <= 0xA0)
        return static_cast<char16_t>(0xE4C6 + (lead - 0xA1) * 96 + (trail - 0x40) -
                                     (trail > 0x7F ? 1 : 0));
    const unsigned code = lead << 8 | trail;
    unsigned next = kFirstOther;
    for (const CodeRange& range : kOtherEmptyCodes) {
        for (unsigned c = range.first; c <= range.last; ++c) {
            if ((c & 0xFF) == 0x7F) continue;
            if (c == code) return static_cast<char16_t>(next);
            ++next;
        }
    }
    return 0;
}

// The two-byte code of a private-use character of code page 936, or 0.
unsigned codeOfPrivateUse(char16_t u) {
    if (u >= 0xE000 && u < 0xE234)
        return (0xAA + (u - 0xE000) / 94) << 8 | (0xA1 + (u - 0xE000) % 94);
    if (u >= 0xE234 && u < 0xE4C6)
        return (0xF8 + (u - 0xE234) / 94) << 8 | (0xA1 + (u - 0xE234) % 94);
    if (u >= 0xE4C6 && u < kFirstOther) {
        const unsigned index = u - 0xE4C6, column = index % 96;
        return (0xA1 + index / 96) << 8 | (0x40 + column + (column >= 0x3F ? 1 : 0));
    }
    unsigned next = kFirstOther;
    for (const CodeRange& range : kOtherEmptyCodes) {
        for (unsigned c = range.first; c <= range.last; ++c) {
            if ((c & 0xFF) == 0x7F) continue;
            if (next++ == u) return c;
        }
    }
    return 0;
}

void appendUnit(std::string& out, char16_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
}

// GBK -> UTF-16LE: a private-use character where Windows has one, else U+FFFD for the whole
// character (one or two bytes).
size_t gbkFallback(std::string_view in, size_t pos, std::string& out) {
    const size_t length = gbk::charLength(in, pos);
    const char16_t privateUse = length == 2 ? privateUseOf(static_cast<unsigned char>(in[pos]),
                                                           static_cast<unsigned char>(in[pos + 1]))
                                            : 0;
    appendUnit(out, privateUse ? privateUse : u'\xFFFD');
    return length;
}

// UTF-16LE -> GBK: the code of a private-use character, else "?" for the whole character (a
// surrogate pair is one character).
size_t utf16Fallback(std::string_view in, size_t pos, std::string& out) {
    auto unitAt = [&](size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(in[at]) |
                                     (static_cast<unsigned char>(in[at + 1]) << 8));
    };
    if (pos + 2 > in.size()) {
        out.push_back('?');
        return in.size() - pos;
    }
    const unsigned unit = unitAt(pos);
    if (const unsigned code = codeOfPrivateUse(static_cast<char16_t>(unit))) {
        out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code & 0xFF));
        return 2;
    }
    out.push_back('?');
    if (unit >= 0xD800 && unit <= 0xDBFF && pos + 4 <= in.size()) {
        const unsigned low = unitAt(pos + 2);
        if (low >= 0xDC00 && low <= 0xDFFF) return 4;
    }
    return 2;
}

std::string_view asBytes(std::u16string_view s) {
    return {reinterpret_cast<const char*>(s.data()), s.size() * sizeof(char16_t)};
}

}  // namespace

std::u16string gbkToUtf16(std::string_view gbk) {
    Converter conv("UTF-16LE", "CP936");
    const std::string bytes = conv.run(gbk, gbkFallback);
    std::u16string out(bytes.size() / 2, u'\0');
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

GbkText utf16ToGbk(std::u16string_view utf16) {
    Converter conv("CP936", "UTF-16LE");
    return conv.run(asBytes(utf16), utf16Fallback);
}

std::string gbkToUtf8(std::string_view gbk) { return utf16ToUtf8(gbkToUtf16(gbk)); }

GbkText utf8ToGbk(std::string_view utf8) {
    // Web pages are mostly ASCII, which both encodings spell alike: only the runs of other bytes
    // go through the converter. (No UTF-8 sequence holds an ASCII byte, so the runs split no
    // character, valid or not.)
    Converter conv("CP936", "UTF-16LE");  // opened once: a page has thousands of runs
    GbkText out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::size_t end = pos;
        const bool ascii = static_cast<unsigned char>(utf8[pos]) < 0x80;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) < 0x80) == ascii) ++end;
        const std::string_view run = utf8.substr(pos, end - pos);
        if (ascii) {
            out.append(run);
        } else {
            out += conv.run(asBytes(utf8ToUtf16(run)), utf16Fallback);
        }
        pos = end;
    }
    return out;
}

}  // namespace codepage
