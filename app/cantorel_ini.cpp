#include "app/cantorel_ini.hpp"

#include "app/profile_codec.hpp"
#include "platform/files.hpp"

namespace cantorel_ini {

namespace {
// Never a value a user could write: tells "missing" apart from "empty".
constexpr std::string_view kMissing = "\x01";
}  // namespace

GbkText path(const GbkText& folder) { return files::join(folder, "cantorel.ini"); }

std::string read(const GbkText& folder) { return files::readAll(path(folder)).value_or(""); }

GbkText value(std::string_view content, std::string_view section, std::string_view key,
              std::string_view fallback) {
    return profile::getString(content, section, key, fallback);
}

bool write(const GbkText& folder, std::string_view section, const Values& values,
           bool onlyMissing) {
    const GbkText file = path(folder);
    auto content = files::readAll(file);
    if (!content && files::exists(file)) return false;
    std::string text = content.value_or("");
    for (const auto& [key, v] : values) {
        const GbkText old = profile::getString(text, section, key, kMissing);
        if (onlyMissing && old != kMissing) continue;
        if (old == v) continue;
        profile::setString(text, section, key, v);
    }
    return files::writeIfChanged(file, text);
}

}  // namespace cantorel_ini
