#include "app/folder_check.hpp"

#include <cctype>

namespace folder_check {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           startsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// "Temp" + digits + "_" + a name ending in ".zip", or "7zO" + anything.
bool isUnpackFolder(std::string_view name) {
    if (startsWithNoCase(name, "7zO") && name.size() > 3) return true;
    if (!startsWithNoCase(name, "Temp") || !endsWithNoCase(name, ".zip")) return false;
    std::size_t i = 4;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
    return i > 4 && i < name.size() && name[i] == '_';
}

}  // namespace

bool insideOpenedZip(const GbkText& folder) {
    // Folder names are split at separators only where a character starts: the second byte of
    // a two-byte character may be 0x5C.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= folder.size(); ++i) {
        if (i < folder.size() && static_cast<unsigned char>(folder[i]) >= 0x80) {
            ++i;
            continue;
        }
        if (i == folder.size() || folder[i] == '\\' || folder[i] == '/') {
            if (isUnpackFolder(std::string_view(folder).substr(start, i - start))) return true;
            start = i + 1;
        }
    }
    return false;
}

bool tellAtStart(const GbkText& folder, bool writable, MainUnits& units, MessageBoxes& boxes) {
    GbkText status, box;
    if (!writable) {
        status = "程序文件夹无法写入：设置不能保存，请解压到可写的文件夹";
        box = "程序所在的文件夹无法写入：\r\n" + folder +
              "\r\n\r\n设置、cantorel.ini 和下载的歌词都保存在程序旁边，在这里都无法保存。"
              "\r\n请把 Cantorel 整个文件夹解压或复制到一个可写的地方（例如 D:\\Cantorel，"
              "不要放在 C:\\Program Files 里），再从那里运行。";
    } else if (insideOpenedZip(folder)) {
        status = "程序是在压缩包里直接运行的：关闭后设置会丢失，请先解压";
        box = "程序是在压缩包里直接运行的，文件放在临时文件夹中：\r\n" + folder +
              "\r\n\r\n关闭后，设置和下载的歌词会随临时文件夹一起丢失。"
              "\r\n请先把压缩包全部解压到一个文件夹（例如 D:\\Cantorel），再从那里运行。";
    } else {
        return false;
    }
    units.状态条1.setPart(StatusBar::kMessage, status);
    boxes.show(box, "温馨提示", mb::kIconInformation | mb::kTaskModal);
    return true;
}

}  // namespace folder_check
