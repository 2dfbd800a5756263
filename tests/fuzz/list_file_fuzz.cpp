// Word-list file bytes: decoding never fails, and what decoding gave survives a write and a read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/list_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto items =
        lists::decodeListFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (lists::decodeListFile(lists::encodeListFile(items)) != items) std::abort();
    return 0;
}
