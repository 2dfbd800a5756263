// Code page 936 conversions on Linux through glibc's iconv ("CP936" is Windows' table,
// the Euro sign at 0x80 included).
#include <iconv.h>

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

    // Converts `in`; on an unconvertible unit of `step(in, pos)` bytes, appends `replacement`
    // and goes on after that unit.
    template <typename StepFn>
    std::string run(std::string_view in, std::string_view replacement, StepFn step) {
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
            // EILSEQ or EINVAL: skip one unit and emit the replacement.
            const size_t pos = static_cast<size_t>(src - in.data());
            const size_t skip = std::min(step(in, pos), srcLeft);
            if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + 8);
            std::memcpy(out.data() + used, replacement.data(), replacement.size());
            used += replacement.size();
            src += skip;
            srcLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t cd_;
};

size_t gbkStep(std::string_view in, size_t pos) { return gbk::charLength(in, pos); }

size_t utf16Step(std::string_view in, size_t pos) {
    // A high surrogate followed by a low one is one unit of four bytes.
    if (pos + 4 <= in.size()) {
        const unsigned hi = static_cast<unsigned char>(in[pos]) |
                            (static_cast<unsigned char>(in[pos + 1]) << 8);
        const unsigned lo = static_cast<unsigned char>(in[pos + 2]) |
                            (static_cast<unsigned char>(in[pos + 3]) << 8);
        if (hi >= 0xD800 && hi <= 0xDBFF && lo >= 0xDC00 && lo <= 0xDFFF) return 4;
    }
    return 2;
}

std::string_view asBytes(std::u16string_view s) {
    return {reinterpret_cast<const char*>(s.data()), s.size() * sizeof(char16_t)};
}

}  // namespace

std::u16string gbkToUtf16(std::string_view gbk) {
    Converter conv("UTF-16LE", "CP936");
    const std::string bytes = conv.run(gbk, std::string_view("\xFD\xFF", 2), gbkStep);
    std::u16string out(bytes.size() / 2, u'\0');
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

GbkText utf16ToGbk(std::u16string_view utf16) {
    Converter conv("CP936", "UTF-16LE");
    return conv.run(asBytes(utf16), "?", utf16Step);
}

std::string gbkToUtf8(std::string_view gbk) { return utf16ToUtf8(gbkToUtf16(gbk)); }

GbkText utf8ToGbk(std::string_view utf8) { return utf16ToGbk(utf8ToUtf16(utf8)); }

}  // namespace codepage
