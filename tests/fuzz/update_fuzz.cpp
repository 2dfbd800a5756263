// The update pages and the program-name rule: any bytes. A page never makes the parser read
// outside it, a yes is only ever exactly the GBK "是", a checksum is only ever 64 lower-case hex
// digits, and a name that passes is a bare ".exe" name that stays in its folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/gbk_markers.hpp"
#include "update/program_name.hpp"
#include "update/update_pages.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view page(reinterpret_cast<const char*>(data), size);

    const UpdateNotice notice = readNotice(page);
    const GbkText block = updateBlock(page);
    if (notice.forced &&
        updateValue(block, gbk::marker::update::kForced) != gbk::marker::update::kYes)
        std::abort();
    if (block.size() > page.size()) std::abort();

    const UpdateInfo info = readUpdateInfo(page);
    if (info.checksum) {
        if (info.checksum->size() != 64) std::abort();
        for (char c : *info.checksum)
            if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) std::abort();
    }
    if (info.address.size() > page.size() || info.programName.size() > page.size()) std::abort();

    const std::string_view name = page.substr(0, std::min<std::size_t>(size, 120));
    if (isSafeProgramName(name)) {
        if (name.size() > 100 || name.find_first_of("\\/:") != std::string_view::npos ||
            name.find("..") != std::string_view::npos)
            std::abort();
        // A bare program name: something before ".exe", in any case.
        std::string extension(name.substr(name.size() >= 4 ? name.size() - 4 : 0));
        for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (name.size() <= 4 || extension != ".exe") std::abort();
    }
    return 0;
}
