// kvd.ini edits: any file, any section, key and value. Setting a key and reading it back gives
// the value up to its first line break, read the way the profile reader reads it, and the edit
// touches nothing else in the file.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/profile_codec.hpp"
#include "text/gbk_text.hpp"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

// Whole GBK characters only: a lead byte at the end would swallow the bracket or '=' that
// follows it in the file.
bool wholeCharacters(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (gbk::isLeadByte(static_cast<unsigned char>(text[i]))) {
            if (++i == text.size()) return false;
        }
    }
    return true;
}

// Names the settings store could use: no line break, no '=' or brackets, no blank at either end.
bool usableName(std::string_view name, bool isKey) {
    if (name.empty() || isBlank(name.front()) || isBlank(name.back())) return false;
    if (name.find_first_of(isKey ? "\r\n=[]" : "\r\n]") != std::string_view::npos) return false;
    return wholeCharacters(name);
}

// What reading gives back for a stored value: blanks around it removed, one pair of enclosing
// quotes removed, cut to the read buffer without splitting a character.
std::string readBack(std::string_view value) {
    value = value.substr(0, value.find_first_of("\r\n"));
    while (!value.empty() && isBlank(value.front())) value.remove_prefix(1);
    while (!value.empty() && isBlank(value.back())) value.remove_suffix(1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    std::size_t end = 0;
    while (end < value.size()) {
        const bool lead = gbk::isLeadByte(static_cast<unsigned char>(value[end]));
        const std::size_t n = lead && end + 1 < value.size() ? 2 : 1;
        if (end + n > profile::kReadBufferSize - 1) break;
        end += n;
    }
    return std::string(value.substr(0, end));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(64);
    const std::string key = input.ConsumeRandomLengthString(64);
    const std::string value = input.ConsumeRandomLengthString(16384);
    const std::string before = input.ConsumeRemainingBytesAsString();
    if (!usableName(section, false) || !usableName(key, true)) return 0;

    std::string after = before;
    profile::setString(after, section, key, value);
    if (profile::getString(after, section, key, "\x01missing") != readBack(value)) std::abort();

    // Everything outside one stretch is unchanged, and that stretch of the old file lies within
    // one line: at most the key's own line was rewritten.
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const std::string_view replaced =
        std::string_view(before).substr(head, before.size() - head - tail);
    if (replaced.find_first_of("\r\n") != std::string_view::npos) std::abort();
    return 0;
}
