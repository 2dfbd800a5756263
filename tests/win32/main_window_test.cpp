// The real main window, hosted in the test process: every unit of the layout exists with its
// kind, caption and place, the panel toggles work through real clicks, and the settings survive
// a close and a restart.
#include "win32/gui/main_window.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/win32/program_folder.hpp"
#include "text/codepage.hpp"
#include "ui/dpi_scale.hpp"

namespace {

using test_program::freshFolder;
using test_program::gbkPath;

std::wstring classOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

LONG_PTR styleOf(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE); }

// Where `hwnd` sits in the main window's client area, and its size.
RECT placeIn(HWND main, HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A folder of our own stands in for the program folder, so settings files never mix.
class MainWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test_program::initCommonControls(); }

    std::unique_ptr<MainWindow> open(const std::filesystem::path& folder) {
        auto window = std::make_unique<MainWindow>(MainWindowOptions{gbkPath(folder), false});
        EXPECT_TRUE(window->create());
        return window;
    }
};

// The frame is the system's, whatever its caption takes: the client area holds the boxes and,
// below them, the whole status bar.
TEST_F(MainWindowTest, WindowHasTheTemplateCaptionPlaceAndAClientAreaThatHoldsEveryBox) {
    auto window = open(freshFolder("main-frame"));
    HWND main = window->hwnd();
    RECT rect{};
    GetWindowRect(main, &rect);
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.top, 50);
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 744);
    const RECT bar = placeIn(main, window->units().control("状态条1")->hwnd());
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.top, 453);
    EXPECT_EQ(gui::windowText(main), "Cantorel v4.0  麦上字幕助手 · 反馈: cantorel@users.noreply");
}

TEST_F(MainWindowTest, UnitsShowTheirCaptionsWhereTheUserExpectsThem) {
    auto window = open(freshFolder("main-places"));
    HWND main = window->hwnd();
    gui::Win32Units& units = window->units();
    struct Place {
        const char* name;
        const char* caption;
        int left, top, width, height;  // in the main window's client area
    };
    const Place places[] = {
        {"画板_捕获器", "", 8, 10, 32, 32},
        {"公屏字幕", "公屏字幕", 152, 16, 80, 24},
        {"昵称字幕", "昵称字幕", 224, 16, 80, 24},
        {"设置", "设置[展开]", 400, 16, 80, 24},
        {"文件框1", nullptr, 3, 63, 149, 310},
        {"超级列表框_歌词", nullptr, 160, 63, 320, 310},
        {"开始字幕", "开始字幕", 8, 376, 144, 32},
        {"填充", "请麦上宝贝送上鲜花", 280, 384, 192, 24},
        {"按钮2", "导入目录", 416, 416, 67, 24},
        {"开启倒序模式", "开启倒序模式[文字反转]", 504, 16, 152, 20},
        {"前缀_删除", "删除", 672, 88, 64, 20},
        {"搜索歌词", "搜索歌词", 654, 16, 82, 23},
    };
    for (const Place& want : places) {
        const std::string name = codepage::gbkToUtf8(want.name);
        gui::Control* control = units.control(want.name);
        ASSERT_NE(control, nullptr) << name;
        if (want.caption) {
            EXPECT_EQ(gui::windowText(control->hwnd()), want.caption) << name;
        }
        const RECT place = placeIn(main, control->hwnd());
        EXPECT_EQ(place.left, want.left) << name;
        EXPECT_EQ(place.top, want.top) << name;
        EXPECT_EQ(place.right - place.left, want.width) << name;
        EXPECT_EQ(place.bottom - place.top, want.height) << name;
    }
}

// Moved to a screen at 144 pixels per inch (150 %), the window is made again from the layout
// data: every unit where the data puts it, scaled, so nothing overlaps that did not overlap
// before; the status bar whole below the boxes; the font and the list columns grown with it.
// Back at 96 everything is where it started.
TEST_F(MainWindowTest, AtAnotherDensityEveryUnitKeepsItsPlaceAmongTheOthers) {
    auto window = open(freshFolder("main-dpi"));
    HWND main = window->hwnd();
    gui::Win32Units& units = window->units();
    auto fontHeight = [&](int dpi) {
        RECT suggested{50, 50, 50, 50};
        SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(
                       SendMessageW(units.control("开始字幕")->hwnd(), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        return std::abs(font.lfHeight);
    };
    const int height96 = fontHeight(96);
    for (const int dpi : {144, 96}) {
        const int height = fontHeight(dpi);
        EXPECT_NEAR(height, height96 * dpi / 96, 1) << dpi;
        RECT client{};
        GetClientRect(main, &client);
        EXPECT_EQ(client.right, dpi::scale(744, dpi));
        for (const UnitLayout& unit : layout::mainWindow()) {
            if (unit.hidden || unit.kind == UnitKind::Timer) continue;
            const std::string name = codepage::gbkToUtf8(unit.name) + " at " + std::to_string(dpi);
            const RECT place = placeIn(main, units.control(unit.name)->hwnd());
            if (unit.kind == UnitKind::StatusBar) {
                EXPECT_GE(place.top, dpi::scale(448, dpi)) << name;
                EXPECT_EQ(place.bottom, client.bottom) << name;
                continue;
            }
            dpi::Box want = dpi::scale(dpi::Box{unit.x, unit.y, unit.width, unit.height}, dpi);
            if (const UnitLayout* box = layout::findUnit(unit.parent)) {
                want.x += dpi::scale(box->x, dpi);
                want.y += dpi::scale(box->y, dpi);
            }
            EXPECT_EQ(place.left, want.x) << name;
            EXPECT_EQ(place.top, want.y) << name;
            EXPECT_EQ(place.right - place.left, want.width) << name;
            // A closed drop-down list is as high as its font makes it.
            if (unit.kind != UnitKind::ComboBox) {
                EXPECT_EQ(place.bottom - place.top, want.height) << name;
            }
        }
        EXPECT_EQ(SendMessageW(units.control("超级列表框_歌词")->hwnd(), LVM_GETCOLUMNWIDTH, 1, 0),
                  dpi::scale(300, dpi));
    }
}

TEST_F(MainWindowTest, EveryUnitExistsAsTheControlOfItsKind) {
    const auto folder = freshFolder("main-units");
    auto window = open(folder);
    HWND main = window->hwnd();
    gui::Win32Units& units = window->units();
    RECT client{};
    GetClientRect(main, &client);

    for (const UnitLayout& unit : layout::mainWindow()) {
        const std::string name = codepage::gbkToUtf8(unit.name);
        if (unit.kind == UnitKind::Timer) {
            EXPECT_NE(units.findTimer(unit.name), nullptr) << name;
            continue;
        }
        gui::Control* control = units.control(unit.name);
        ASSERT_NE(control, nullptr) << name;
        HWND hwnd = control->hwnd();
        const std::wstring cls = classOf(hwnd);
        const LONG_PTR style = styleOf(hwnd);
        const LONG_PTR buttonType = style & BS_TYPEMASK;
        switch (unit.kind) {
            case UnitKind::EditBox:
                EXPECT_EQ(cls, L"Edit") << name;
                EXPECT_FALSE(style & ES_MULTILINE) << name;
                break;
            case UnitKind::MultiLineEdit:
                EXPECT_EQ(cls, L"Edit") << name;
                EXPECT_TRUE(style & ES_MULTILINE) << name;
                break;
            case UnitKind::Label:
            case UnitKind::TransparentLabel:
                EXPECT_EQ(cls, L"Static") << name;
                break;
            case UnitKind::Button:
                EXPECT_EQ(cls, L"Button") << name;
                EXPECT_EQ(buttonType, BS_PUSHBUTTON) << name;
                break;
            case UnitKind::CheckBox:
                EXPECT_EQ(buttonType, BS_AUTOCHECKBOX) << name;
                EXPECT_FALSE(style & BS_PUSHLIKE) << name;
                EXPECT_EQ(dynamic_cast<CheckBox&>(control->unit()).checked(), unit.checked) << name;
                break;
            case UnitKind::PushCheckBox:
                EXPECT_EQ(buttonType, BS_AUTOCHECKBOX) << name;
                EXPECT_TRUE(style & BS_PUSHLIKE) << name;
                break;
            case UnitKind::RadioButton:
                EXPECT_EQ(buttonType, BS_AUTORADIOBUTTON) << name;
                EXPECT_FALSE(dynamic_cast<RadioButton&>(control->unit()).checked()) << name;
                break;
            case UnitKind::ComboBox:
                EXPECT_EQ(cls, L"ComboBox") << name;
                EXPECT_EQ(style & 3, CBS_DROPDOWN) << name;
                break;
            case UnitKind::ListView: {
                EXPECT_EQ(cls, L"SysListView32") << name;
                EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT) << name;
                HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
                const auto columns = layout::columnsOf(unit.name);
                ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0),
                          static_cast<LRESULT>(columns.size()))
                    << name;
                for (size_t i = 0; i < columns.size(); ++i) {
                    EXPECT_EQ(SendMessageW(hwnd, LVM_GETCOLUMNWIDTH, i, 0), columns[i].width)
                        << name;
                }
                break;
            }
            case UnitKind::FileList:
                EXPECT_EQ(cls, L"ListBox") << name;
                break;
            case UnitKind::StatusBar:
                EXPECT_EQ(cls, L"msctls_statusbar32") << name;
                break;
            case UnitKind::GroupBox:
                EXPECT_EQ(cls, L"CantorelGroup") << name;
                break;
            case UnitKind::DrawPanel:
                EXPECT_EQ(cls, L"CantorelDrawPanel") << name;
                break;
            case UnitKind::WebView:
                EXPECT_EQ(cls, L"Static") << name;
                EXPECT_FALSE(style & WS_VISIBLE) << name;
                EXPECT_EQ(gui::windowText(hwnd), "") << name;
                break;
            case UnitKind::Timer:
                break;
        }

        // 编辑框1 shows the program folder.
        if (unit.name == "编辑框1") {
            EXPECT_EQ(gui::windowText(hwnd), gbkPath(folder));
        }

        // Places: the status bar keeps to the bottom edge, the boxes fit the form they show in,
        // and the hidden stores lie outside the client area.
        const RECT place = placeIn(main, hwnd);
        if (unit.kind == UnitKind::StatusBar) {
            EXPECT_EQ(place.bottom, client.bottom) << name;
            continue;
        }
        if (unit.kind == UnitKind::GroupBox && unit.parent.empty() && !unit.hidden) {
            // The client area is cut to the boxes: none is cut off at the right edge.
            EXPECT_EQ(place.right, unit.x + unit.width) << name;
            EXPECT_LE(place.right, client.right) << name;
        }
        if (unit.hidden) {
            EXPECT_TRUE(place.left >= client.right || place.top >= client.bottom ||
                        unit.kind == UnitKind::WebView)
                << name;
        }
    }
}

// True when `upper` lies above `lower` among their siblings.
bool above(HWND upper, HWND lower) {
    for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (w == upper) return true;
    }
    return false;
}

TEST_F(MainWindowTest, OverlappingNeighboursLeaveEachOtherWholeAndKeepTheLayoutsTabOrder) {
    auto window = open(freshFolder("main-stacking"));
    gui::Win32Units& units = window->units();
    auto hwnd = [&](std::string_view name) { return units.control(name)->hwnd(); };
    ShowWindow(window->hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(window->hwnd());

    // Radio buttons leave the end of their rectangle blank: the strip they overlap belongs to
    // the neighbour on their right.
    auto screenPoint = [&](std::string_view name, int x, int y) {
        POINT p{x, y};
        ClientToScreen(GetParent(hwnd(name)), &p);
        return p;
    };
    const UnitLayout* publicScreen = layout::findUnit("公屏字幕");
    const UnitLayout* card = layout::findUnit("昵称字幕");
    const UnitLayout* search = layout::findUnit("歌词下载");
    EXPECT_EQ(WindowFromPoint(screenPoint("公屏字幕", card->x + 2, card->y + 10)),
              hwnd("昵称字幕"));
    EXPECT_EQ(WindowFromPoint(screenPoint("昵称字幕", search->x + 2, search->y + 10)),
              hwnd("歌词下载"));
    EXPECT_EQ(WindowFromPoint(screenPoint("公屏字幕", publicScreen->x + 10, publicScreen->y + 10)),
              hwnd("公屏字幕"));

    // Tab walks the top bar left to right, and the two radio buttons form one group.
    HWND main = window->hwnd();
    EXPECT_EQ(GetNextDlgTabItem(main, hwnd("公屏字幕"), FALSE), hwnd("昵称字幕"));
    EXPECT_EQ(GetNextDlgTabItem(main, hwnd("昵称字幕"), FALSE), hwnd("歌词下载"));
    EXPECT_EQ(GetNextDlgTabItem(main, hwnd("歌词下载"), FALSE), hwnd("设置"));
    EXPECT_EQ(GetNextDlgGroupItem(GetParent(hwnd("公屏字幕")), hwnd("公屏字幕"), FALSE),
              hwnd("昵称字幕"));

    // Units sharing one place: the lyric list covers the preview, the settings panel the search
    // panel.
    EXPECT_TRUE(above(hwnd("超级列表框_歌词"), hwnd("歌词预览")));
    EXPECT_TRUE(above(hwnd("用户设置"), hwnd("歌词搜索功能")));
}

TEST_F(MainWindowTest, TabNeverCarriesTheFocusToAHiddenStore) {
    auto window = open(freshFolder("main-tab-stores"));
    HWND main = window->hwnd();
    ShowWindow(main, SW_SHOWNOACTIVATE);
    RECT client{};
    GetClientRect(main, &client);
    HWND first = GetNextDlgTabItem(main, nullptr, FALSE);
    ASSERT_NE(first, nullptr);
    HWND at = first;
    int stops = 0;
    do {
        const RECT place = placeIn(main, at);
        EXPECT_LT(place.left, client.right) << stops;
        EXPECT_LT(place.top, client.bottom) << stops;
        at = GetNextDlgTabItem(main, at, FALSE);
    } while (at && at != first && ++stops < 200);
    EXPECT_GT(stops, 10);
    EXPECT_LT(stops, 200);
}

TEST_F(MainWindowTest, EnterOnAFocusedPushButtonClicksIt) {
    auto window = open(freshFolder("main-enter"));
    MainUnits& u = window->mainUnits();
    gui::Win32Units& units = window->units();
    auto enterOn = [&](std::string_view name) {
        HWND target = units.control(name)->hwnd();
        SetFocus(target);
        MSG m{target, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
        return window->translateMessage(m);
    };

    u.前缀.setEditText("甲");
    EXPECT_TRUE(enterOn("前缀_添加"));
    ASSERT_EQ(u.前缀.count(), 1);
    EXPECT_EQ(u.前缀.item(0), "甲");

    // The toggles look like push buttons and are pressed the same way.
    EXPECT_TRUE(enterOn("设置"));
    EXPECT_EQ(u.设置.text(), "设置[收起]");

    // Enter on a plain check box leaves it as it was.
    enterOn("开启倒序模式");
    EXPECT_FALSE(u.开启倒序模式.checked());
}

TEST_F(MainWindowTest, StatusBarStartsWithItsTwoParts) {
    auto window = open(freshFolder("main-status"));
    StatusBar& bar = window->mainUnits().状态条1;
    EXPECT_EQ(bar.part(0), "软件状态:");
    EXPECT_EQ(bar.part(1), "尚未进行任何操作");
}

TEST_F(MainWindowTest, ToggleClicksResizeTheWindowAndSwapThePanels) {
    auto window = open(freshFolder("main-toggles"));
    MainUnits& u = window->mainUnits();
    gui::Win32Units& units = window->units();
    auto click = [&](std::string_view name) {
        SendMessageW(units.control(name)->hwnd(), BM_CLICK, 0, 0);
    };
    // The forms' client widths: the lyric side alone, or with a panel beside it.
    auto width = [&] {
        RECT rect{};
        GetClientRect(window->hwnd(), &rect);
        return rect.right;
    };

    click("设置");
    EXPECT_EQ(width(), 744);
    EXPECT_EQ(u.设置.text(), "设置[收起]");
    EXPECT_TRUE(u.用户设置.visible());
    EXPECT_FALSE(u.歌词搜索功能.visible());

    click("歌词下载");
    EXPECT_EQ(width(), 744);
    EXPECT_FALSE(u.用户设置.visible());
    EXPECT_TRUE(u.歌词搜索功能.visible());
    // A hidden panel hides its members with it.
    EXPECT_FALSE(IsWindowVisible(units.control("前缀_添加")->hwnd()));

    click("设置");
    EXPECT_EQ(width(), 488);
    EXPECT_EQ(u.设置.text(), "设置[展开]");
    EXPECT_TRUE(u.歌词搜索功能.visible());
}

TEST_F(MainWindowTest, UnitsReadAndWriteThroughTheirControls) {
    auto window = open(freshFolder("main-units-rw"));
    MainUnits& u = window->mainUnits();

    // Text with characters outside the system code page's reach still round-trips as GBK.
    u.填充.setText("麦上\xA1\xEF鲜花");
    EXPECT_EQ(u.填充.text(), "麦上\xA1\xEF鲜花");

    u.前缀.addItem("【");
    u.前缀.addItem("☆");
    u.前缀.setSelectedIndex(1);
    EXPECT_EQ(u.前缀.count(), 2);
    EXPECT_EQ(u.前缀.item(1), "☆");
    EXPECT_EQ(u.前缀.editText(), "☆");
    u.前缀.removeItem(0);
    EXPECT_EQ(u.前缀.item(0), "☆");

    ListView& list = u.超级列表框_歌词;
    EXPECT_EQ(list.addRow("1000", 1), 0);
    EXPECT_EQ(list.addRow("2000", 2), 1);
    list.setCell(1, 1, std::string(600, 'x') + "尾");
    EXPECT_EQ(list.cell(1, 1), std::string(600, 'x') + "尾");
    EXPECT_EQ(list.cell(1, 0), "2000");
    EXPECT_EQ(list.itemNumber(1), 2);
    list.setSelection(1);
    EXPECT_EQ(list.selection(), 1);
    list.setSelection(-1);
    EXPECT_EQ(list.selection(), -1);
    list.clear();
    EXPECT_EQ(list.rowCount(), 0);
}

TEST_F(MainWindowTest, FileListShowsTheLrcFilesOfItsFolder) {
    const auto folder = freshFolder("main-files");
    for (const wchar_t* name : {L"b.lrc", L"\u6b4c.LRC", L"a.txt", L"c.lrc"}) {
        HANDLE h = CreateFileW((folder / name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                               nullptr);
        CloseHandle(h);
    }
    auto window = open(folder);
    FileList& files = window->mainUnits().文件框1;
    files.setFolder(gbkPath(folder));
    HWND box = window->units().control("文件框1")->hwnd();
    EXPECT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 3);
    files.setSelectedName("歌.LRC");
    EXPECT_EQ(files.selectedName(), "歌.LRC");
    files.setSelectedName("a.txt");
    EXPECT_EQ(files.selectedName(), "");
}

TEST_F(MainWindowTest, CloseWithAutoSaveWritesTheSettingsAndARestartRestoresThem) {
    const auto folder = freshFolder("main-settings");
    {
        auto window = open(folder);
        MainUnits& u = window->mainUnits();
        ASSERT_TRUE(u.退出前自动保存所有配置.checked());
        u.填充.setText("自定义填充");
        u.过滤.setText("第一行\r\nQQ");
        u.前缀.addItem("【");
        u.后缀.addItem("】");
        u.后缀.addItem("~");
        SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
        EXPECT_EQ(window->hwnd(), nullptr);
    }
    for (const wchar_t* name : {L"kvd.ini", L"qz.zbb", L"hz.zbb"}) {
        EXPECT_TRUE(std::filesystem::exists(folder / name)) << gui::narrow(name);
    }

    auto restarted = open(folder);
    MainUnits& u = restarted->mainUnits();
    EXPECT_EQ(u.填充.text(), "自定义填充");
    EXPECT_EQ(u.过滤.text(), "第一行\r\nQQ");
    ASSERT_EQ(u.前缀.count(), 1);
    EXPECT_EQ(u.前缀.item(0), "【");
    ASSERT_EQ(u.后缀.count(), 2);
    EXPECT_EQ(u.后缀.item(1), "~");
    // The lyric folder is never restored: it starts at the program folder.
    EXPECT_EQ(u.编辑框1.text(), gbkPath(folder));
}

TEST_F(MainWindowTest, UntickingAutoSaveErasesTheFilesAndCloseWritesNone) {
    const auto folder = freshFolder("main-no-autosave");
    {
        auto window = open(folder);
        SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    }
    ASSERT_TRUE(std::filesystem::exists(folder / L"kvd.ini"));

    auto window = open(folder);
    SendMessageW(window->units().control("退出前自动保存所有配置")->hwnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(window->mainUnits().退出前自动保存所有配置.checked());
    EXPECT_FALSE(std::filesystem::exists(folder / L"kvd.ini"));
    SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    for (const wchar_t* name : {L"kvd.ini", L"qz.zbb", L"hz.zbb"}) {
        EXPECT_FALSE(std::filesystem::exists(folder / name)) << gui::narrow(name);
    }
}

TEST_F(MainWindowTest, RereadingTheSameFolderKeepsTheListScrolledWhereItWas) {
    const auto folder = freshFolder("main-scrolled");
    for (int i = 0; i < 60; ++i) {
        const std::wstring name = L"song" + std::to_wstring(100 + i) + L".lrc";
        CloseHandle(CreateFileW((folder / name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr));
    }
    auto window = open(folder);
    FileList& files = window->mainUnits().文件框1;
    HWND box = window->units().control("文件框1")->hwnd();
    files.setFolder(gbkPath(folder));
    SendMessageW(box, LB_SETTOPINDEX, 30, 0);
    const LRESULT top = SendMessageW(box, LB_GETTOPINDEX, 0, 0);
    ASSERT_GT(top, 0);

    // What a press in the list does before the list box selects the item under the pointer.
    files.setFolder(gbkPath(folder));
    EXPECT_EQ(SendMessageW(box, LB_GETTOPINDEX, 0, 0), top);

    // Another folder starts at its top.
    files.setFolder(gbkPath(freshFolder("main-scrolled-other")));
    EXPECT_EQ(SendMessageW(box, LB_GETTOPINDEX, 0, 0), 0);
}

TEST_F(MainWindowTest, PressInTheFileListBringsBackTheLyricListAndRereadsTheTypedFolder) {
    const auto folder = freshFolder("main-press");
    const auto typed = freshFolder("main-press-typed");
    CloseHandle(CreateFileW((typed / L"a.lrc").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr));
    auto window = open(folder);
    MainUnits& u = window->mainUnits();
    u.歌词预览.setVisible(true);
    u.超级列表框_歌词.setVisible(false);
    HWND box = window->units().control("文件框1")->hwnd();
    // The list starts at the program folder, which holds no lyric; the user types another.
    EXPECT_EQ(u.文件框1.folder(), gbkPath(folder));
    ASSERT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 0);
    u.编辑框1.setText(gbkPath(typed));

    const LPARAM farBelowTheItems = MAKELPARAM(10, 290);
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, farBelowTheItems);
    SendMessageW(box, WM_LBUTTONUP, 0, farBelowTheItems);

    EXPECT_FALSE(u.歌词预览.visible());
    EXPECT_TRUE(u.超级列表框_歌词.visible());
    EXPECT_EQ(u.文件框1.folder(), gbkPath(typed));
    EXPECT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 1);
}

// A file with two tagged lines, the second one empty.
void writeLyric(const std::filesystem::path& file) {
    const std::string text = "[00:01.00]\xB5\xDA\xD2\xBB\r\n[00:02.00]\r\n";
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
}

TEST_F(MainWindowTest, ChoosingAFileByClickOrDoubleClickLoadsIt) {
    const auto folder = freshFolder("main-load");
    writeLyric(folder / L"\u6b4c.lrc");
    auto window = open(folder);
    MainUnits& u = window->mainUnits();
    HWND box = window->units().control("文件框1")->hwnd();
    ASSERT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 1);
    u.歌词预览.setVisible(true);
    u.超级列表框_歌词.setVisible(false);

    const LPARAM onFirstItem = MAKELPARAM(10, 4);
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, onFirstItem);
    SendMessageW(box, WM_LBUTTONUP, 0, onFirstItem);
    EXPECT_FALSE(u.歌词预览.visible());
    EXPECT_TRUE(u.超级列表框_歌词.visible());
    ASSERT_EQ(u.超级列表框_歌词.rowCount(), 2);
    EXPECT_EQ(u.超级列表框_歌词.cell(0, 1), "\xB5\xDA\xD2\xBB");
    EXPECT_EQ(u.超级列表框_歌词.cell(1, 1), u.填充.text());
    EXPECT_EQ(u.透明标签1.text(), "歌.lrc");

    // A double-click on the file already selected changes no selection and still loads.
    u.超级列表框_歌词.clear();
    u.填充.setText("fill");
    SendMessageW(box, WM_LBUTTONDBLCLK, MK_LBUTTON, onFirstItem);
    SendMessageW(box, WM_LBUTTONUP, 0, onFirstItem);
    ASSERT_EQ(u.超级列表框_歌词.rowCount(), 2);
    EXPECT_EQ(u.超级列表框_歌词.cell(1, 1), "fill");
}

TEST_F(MainWindowTest, RadioButtonsActOnClicksButNotOnTakingTheFocus) {
    auto window = open(freshFolder("main-radio-focus"));
    HWND main = window->hwnd();
    ShowWindow(main, SW_SHOW);
    // A stand-in client: choosing a mode makes it 1000 x 700, which shows that the handler ran.
    HWND client = CreateWindowExW(0, L"Static", L"client", WS_POPUP, 600, 400, 200, 150, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    window->state().targetWindow = reinterpret_cast<WindowHandle>(client);
    auto clientWidth = [&] {
        RECT rect{};
        GetWindowRect(client, &rect);
        return rect.right - rect.left;
    };
    MainUnits& u = window->mainUnits();
    HWND publicScreen = window->units().control("公屏字幕")->hwnd();
    HWND card = window->units().control("昵称字幕")->hwnd();

    // Tab or a click elsewhere giving an unticked radio button the focus is no choice of mode.
    SetFocus(publicScreen);
    SetFocus(card);
    EXPECT_EQ(clientWidth(), 200);
    EXPECT_FALSE(u.公屏字幕.checked());
    EXPECT_FALSE(u.昵称字幕.checked());

    SendMessageW(publicScreen, BM_CLICK, 0, 0);
    EXPECT_TRUE(u.公屏字幕.checked());
    EXPECT_EQ(clientWidth(), 1000);
    SendMessageW(card, BM_CLICK, 0, 0);
    EXPECT_TRUE(u.昵称字幕.checked());
    EXPECT_FALSE(u.公屏字幕.checked());
    DestroyWindow(client);
}

TEST_F(MainWindowTest, ComingBackToTheWindowGivesTheFocusBackToItsUnit) {
    auto window = open(freshFolder("main-refocus"));
    HWND main = window->hwnd();
    ShowWindow(main, SW_SHOW);
    HWND fill = window->units().control("填充")->hwnd();
    SetFocus(fill);
    SendMessageW(main, WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(main);
    SendMessageW(main, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), fill);
}

}  // namespace
