#include "app/settings_store.hpp"

#include <vector>

#include "app/list_file.hpp"
#include "app/profile_codec.hpp"
#include "platform/files.hpp"

namespace {

constexpr std::string_view kSection = "编辑框";
// A line break cannot live in a profile value, so multi-line boxes store this marker instead.
constexpr std::string_view kLineBreakMarker = "><br><";

std::vector<GbkText> itemsOf(const ComboBox& combo) {
    std::vector<GbkText> items;
    for (int i = 0; i < combo.count(); ++i) items.push_back(combo.item(i));
    return items;
}

// Every line break as CR LF. A list pasted from another program may break its lines with a lone
// LF or CR; stored as they are, everything after the first such break would be cut off by the
// profile reader. (Neither byte can be the second byte of a GBK character.)
GbkText withCrLfBreaks(std::string_view text) {
    GbkText out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void fill(ComboBox& combo, const std::vector<GbkText>& items) {
    combo.clear();
    for (const GbkText& item : items) combo.addItem(item);
}

}  // namespace

const std::array<StoredEditBox, 10> kStoredEditBoxes = {{
    {"过滤", [](MainUnits& u) -> EditBox& { return u.过滤; }},
    {"初始文本", [](MainUnits& u) -> EditBox& { return u.初始文本; }},
    {"欲搜索内容", [](MainUnits& u) -> EditBox& { return u.欲搜索内容; }},
    {"编辑框1", [](MainUnits& u) -> EditBox& { return u.编辑框1; }},
    {"填充", [](MainUnits& u) -> EditBox& { return u.填充; }},
    {"预备下载内容", [](MainUnits& u) -> EditBox& { return u.预备下载内容; }},
    {"编辑框_窗口鼠标位置_X", [](MainUnits& u) -> EditBox& { return u.编辑框_窗口鼠标位置_X; }},
    {"编辑框_窗口鼠标位置_Y", [](MainUnits& u) -> EditBox& { return u.编辑框_窗口鼠标位置_Y; }},
    {"编辑框_鼠标位置_X", [](MainUnits& u) -> EditBox& { return u.编辑框_鼠标位置_X; }},
    {"编辑框_鼠标位置_Y", [](MainUnits& u) -> EditBox& { return u.编辑框_鼠标位置_Y; }},
}};

SettingsStore::SettingsStore(MainUnits& units, GbkText folder)
    : units_(units), folder_(std::move(folder)) {}

SettingsStore::SettingsStore(MainUnits& units) : SettingsStore(units, files::programFolder()) {}

GbkText SettingsStore::iniPath() const { return files::join(folder_, "kvd.ini"); }
GbkText SettingsStore::prefixPath() const { return files::join(folder_, "qz.zbb"); }
GbkText SettingsStore::suffixPath() const { return files::join(folder_, "hz.zbb"); }

void SettingsStore::load() {
    // load() runs first at every start, so a save the last run never finished leaves nothing
    // behind for long.
    for (const GbkText& path : {iniPath(), prefixPath(), suffixPath()})
        files::removeLeftoverTemporaries(path);
    const auto content = files::readAll(iniPath());
    if (!content) return;
    for (const StoredEditBox& box : kStoredEditBoxes) {
        const GbkText value = profile::getString(*content, kSection, box.key, "");
        if (value.empty()) continue;
        box.unit(units_).setText(gbk::replaceAll(value, kLineBreakMarker, "\r\n"));
    }
}

void SettingsStore::loadLists() {
    fill(units_.后缀, lists::readListFile(suffixPath()));
    fill(units_.前缀, lists::readListFile(prefixPath()));
}

bool SettingsStore::save() {
    failed_.clear();
    if (!units_.退出前自动保存所有配置.checked()) return true;
    if (!saveIni()) failed_.push_back(iniPath());
    if (!lists::writeListFile(prefixPath(), itemsOf(units_.前缀))) failed_.push_back(prefixPath());
    if (!lists::writeListFile(suffixPath(), itemsOf(units_.后缀))) failed_.push_back(suffixPath());
    return failed_.empty();
}

bool SettingsStore::saveIni() {
    const GbkText path = iniPath();
    auto content = files::readAll(path);
    // A file that is there but cannot be read may hold sections of other owners; writing a
    // fresh one over it would lose them.
    if (!content && files::exists(path)) return false;
    std::string text = content.value_or("");
    for (const StoredEditBox& box : kStoredEditBoxes) {
        const GbkText value =
            gbk::replaceAll(withCrLfBreaks(box.unit(units_).text()), "\r\n", kLineBreakMarker);
        profile::setString(text, kSection, box.key, value);
    }
    // The close and the destroy both save: a file that already holds these bytes is left be.
    return files::writeIfChanged(path, text);
}

void SettingsStore::erase() {
    files::remove(iniPath());
    files::remove(suffixPath());
    files::remove(prefixPath());
}
