#include "ui/main_layout.hpp"

#include <array>

namespace layout {
namespace {

using K = UnitKind;

// The default filter words: ten lines joined by CR LF, no CR LF at the end.
constexpr std::string_view kDefaultFilter =
    "//说明:包含以下词汇的句子都将被过滤.\r\nQQ\r\nQQ\r\nwww\r\ncom\r\n制作\r\n制作\r\n51lrc\r\n"
    "歌词制作\r\n歌词吾爱";

constexpr std::array kUnits = {
    UnitLayout{"分组框1", K::GroupBox, "", "", 0, 0, 488, 48, false, false},
    UnitLayout{"画板_捕获器", K::DrawPanel, "", "分组框1", 8, 10, 32, 32, false, false},
    UnitLayout{"标签1", K::Label, "←拖动到qt客户端", "分组框1", 48, 22, 104, 24, false, false},
    UnitLayout{"公屏字幕", K::RadioButton, "公屏字幕", "分组框1", 152, 16, 80, 24, false, false},
    UnitLayout{"昵称字幕", K::RadioButton, "昵称字幕", "分组框1", 224, 16, 80, 24, false, false},
    UnitLayout{"歌词下载", K::PushCheckBox, "歌词下载[展开]", "分组框1", 296, 16, 96, 24, false,
               false},
    UnitLayout{"设置", K::PushCheckBox, "设置[展开]", "分组框1", 400, 16, 80, 24, false, false},
    UnitLayout{"分组框4", K::GroupBox, "歌词列表", "", 0, 48, 488, 400, false, false},
    UnitLayout{"文件框1", K::FileList, "*.lrc", "分组框4", 3, 15, 149, 310, false, false},
    UnitLayout{"超级列表框_歌词", K::ListView, "", "分组框4", 160, 15, 320, 310, false, false},
    UnitLayout{"歌词预览", K::ListView, "", "分组框4", 160, 16, 320, 310, false, false},
    UnitLayout{"开始字幕", K::Button, "开始字幕", "分组框4", 8, 328, 144, 32, false, false},
    UnitLayout{"标签10", K::Label, "自动填充歌词留空处", "分组框4", 160, 336, 112, 24, false,
               false},
    UnitLayout{"填充", K::EditBox, "请麦上宝贝送上鲜花", "分组框4", 280, 336, 192, 24, false,
               false},
    UnitLayout{"标签2", K::Label, "歌词存放", "分组框4", 8, 368, 48, 24, false, false},
    UnitLayout{"编辑框1", K::EditBox, "", "分组框4", 58, 368, 356, 24, false, false},
    UnitLayout{"按钮2", K::Button, "导入目录", "分组框4", 416, 368, 67, 24, false, false},
    UnitLayout{"用户设置", K::GroupBox, "用户设置", "", 488, 0, 256, 448, false, false},
    UnitLayout{"开启倒序模式", K::CheckBox, "开启倒序模式[文字反转]", "用户设置", 16, 16, 152, 20,
               false, false},
    // The options beyond the panel's own open in a dialog; the button takes the free end of the
    // first row.
    UnitLayout{"更多设置", K::Button, "更多设置", "用户设置", 176, 14, 72, 22, false, false},
    UnitLayout{"开启正反序模式", K::CheckBox, "开启正反序模式[文字正反转]", "用户设置", 16, 40, 200,
               20, false, false},
    UnitLayout{"开启前后缀模式", K::CheckBox, "开启前后缀模式[建议不要太长] 随即", "用户设置", 16,
               64, 224, 20, false, false},
    UnitLayout{"标签4", K::Label, "前缀", "用户设置", 8, 88, 32, 20, false, false},
    UnitLayout{"前缀", K::ComboBox, "", "用户设置", 40, 88, 72, 20, false, false},
    UnitLayout{"前缀_添加", K::Button, "添加", "用户设置", 112, 88, 64, 20, false, false},
    UnitLayout{"前缀_删除", K::Button, "删除", "用户设置", 184, 88, 64, 20, false, false},
    UnitLayout{"标签5", K::Label, "后缀", "用户设置", 8, 120, 32, 20, false, false},
    UnitLayout{"后缀", K::ComboBox, "", "用户设置", 40, 120, 72, 20, false, false},
    UnitLayout{"后缀_添加", K::Button, "添加", "用户设置", 112, 120, 64, 20, false, false},
    UnitLayout{"后缀_删除", K::Button, "删除", "用户设置", 184, 120, 64, 20, false, false},
    UnitLayout{"是否开启广告过滤模式", K::CheckBox, "是否开启广告过滤模式", "用户设置", 8, 152, 224,
               24, false, false},
    UnitLayout{"过滤", K::MultiLineEdit, kDefaultFilter, "用户设置", 8, 184, 240, 224, false,
               false},
    UnitLayout{"退出前自动保存所有配置", K::CheckBox, "退出前自动保存所有配置", "用户设置", 8, 424,
               224, 20, false, true},
    UnitLayout{"歌词搜索功能", K::GroupBox, "歌词搜索功能", "", 488, 0, 256, 448, false, false},
    UnitLayout{"标签3", K::Label, "歌名", "歌词搜索功能", 6, 16, 32, 24, false, false},
    UnitLayout{"欲搜索内容", K::EditBox, "", "歌词搜索功能", 38, 16, 122, 25, false, false},
    UnitLayout{"搜索歌词", K::Button, "搜索歌词", "歌词搜索功能", 166, 16, 82, 23, false, false},
    // The source choice sits in the strip between the search line and the hit list.
    UnitLayout{"标签_来源", K::Label, "来源", "歌词搜索功能", 6, 42, 32, 20, false, false},
    UnitLayout{"来源", K::ComboBox, "", "歌词搜索功能", 38, 40, 122, 20, false, false},
    UnitLayout{"欲下载列表", K::ListView, "", "歌词搜索功能", 8, 64, 240, 376, false, false},
    UnitLayout{"状态条1", K::StatusBar, "", "", 0, 453, 739, 20, false, false},
    UnitLayout{"时钟_歌词播放", K::Timer, "", "", 0, 0, 0, 0, false, false},
    UnitLayout{"初始文本", K::EditBox, "", "", 928, 56, 80, 20, true, false},
    UnitLayout{"预备下载内容", K::MultiLineEdit, "", "", 768, 200, 200, 208, true, false},
    UnitLayout{"分组框3", K::GroupBox, "", "", 688, 714, 135, 54, true, false},
    UnitLayout{"标签_鼠标位置_X", K::Label, "X", "分组框3", 4, 8, 12, 20, true, false},
    UnitLayout{"编辑框_鼠标位置_X", K::EditBox, "", "分组框3", 18, 8, 44, 20, true, false},
    UnitLayout{"标签_鼠标位置_Y", K::Label, "Y", "分组框3", 68, 8, 12, 20, true, false},
    UnitLayout{"编辑框_鼠标位置_Y", K::EditBox, "", "分组框3", 82, 8, 44, 20, true, false},
    UnitLayout{"标签_窗口鼠标位置_X", K::Label, "X", "分组框3", 4, 30, 12, 20, true, false},
    UnitLayout{"编辑框_窗口鼠标位置_X", K::EditBox, "", "分组框3", 18, 30, 44, 20, true, false},
    UnitLayout{"标签_窗口鼠标位置_Y", K::Label, "Y", "分组框3", 68, 30, 12, 20, true, false},
    UnitLayout{"编辑框_窗口鼠标位置_Y", K::EditBox, "", "分组框3", 82, 30, 44, 20, true, false},
    UnitLayout{"分组框2", K::GroupBox, "", "", 729, 526, 119, 34, true, false},
    UnitLayout{"透明标签1", K::TransparentLabel, "", "分组框2", 4, 8, 110, 20, true, false},
    UnitLayout{"超文本浏览框2", K::WebView, "", "", 904, 112, 100, 100, true, false},
};

constexpr std::array kLyricColumns = {ColumnLayout{"时间(毫秒)", 0}, ColumnLayout{"歌词", 300}};
// The preview's time column is there but 0 pixels wide: the header tells the click rule.
constexpr std::array kPreviewColumns = {ColumnLayout{"时间", 0},
                                        ColumnLayout{"歌词预览-单击预览-双击下载", 280}};
// Every hit names its source: song and artist give up width to a third column, so that all
// three fit beside the list's scroll bar.
constexpr std::array kHitColumns = {ColumnLayout{"     歌曲名", 96}, ColumnLayout{"歌手", 54, true},
                                    ColumnLayout{"来源", 66, true}};

}  // namespace

std::string_view mainCaption() {
    return "Cantorel v4.0  麦上字幕助手 · 反馈: cantorel@users.noreply";
}

std::span<const UnitLayout> mainWindow() { return kUnits; }

int clientWidthFor(int outerWidth) {
    int width = 0;
    for (const UnitLayout& unit : kUnits) {
        if (!unit.parent.empty() || unit.hidden || unit.kind != UnitKind::GroupBox) continue;
        const int right = unit.x + unit.width;
        if (right <= outerWidth && right > width) width = right;
    }
    return width;
}

const UnitLayout* findUnit(std::string_view name) {
    for (const UnitLayout& unit : kUnits) {
        if (unit.name == name) return &unit;
    }
    return nullptr;
}

std::span<const ColumnLayout> columnsOf(std::string_view listName) {
    if (listName == "超级列表框_歌词") return kLyricColumns;
    if (listName == "歌词预览") return kPreviewColumns;
    if (listName == "欲下载列表") return kHitColumns;
    return {};
}

}  // namespace layout
