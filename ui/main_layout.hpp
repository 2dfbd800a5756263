#pragma once
// The main window's layout as data: every unit with its kind, caption, parent, position and
// size. win32/ builds the real window from it; app/memory_units.hpp builds the
// in-memory one.

#include <span>
#include <string_view>

enum class UnitKind {
    GroupBox,
    DrawPanel,
    Label,
    TransparentLabel,
    RadioButton,
    CheckBox,
    PushCheckBox,  // check box drawn as a push button
    Button,
    EditBox,
    MultiLineEdit,
    ComboBox,
    ListView,
    FileList,
    StatusBar,
    WebView,
    Timer,
};

struct UnitLayout {
    std::string_view name;
    UnitKind kind;
    std::string_view caption;  // initial caption or text
    std::string_view parent;   // empty: the window's client area
    int x, y, width, height;
    bool hidden;   // placed beyond the window's edges, never seen
    bool checked;  // initial ticked state of check boxes
};

namespace layout {

constexpr int kLeft = 50;
constexpr int kTop = 50;
constexpr int kWidth = 748;
constexpr int kHeight = 493;
constexpr int kNarrowWidth = 493;
constexpr int kWideWidth = 745;

/// The client width of the form whose template outer width is `outerWidth` (kNarrowWidth,
/// kWideWidth or kWidth): the right edge of the rightmost box of the window that fits in it.
/// The frame around it is the system's own, whatever width that takes.
int clientWidthFor(int outerWidth);

/// "Cantorel v4.0" and the maker's contact line.
std::string_view mainCaption();

/// Every unit of the main window, parents before their children, in unit order.
std::span<const UnitLayout> mainWindow();

/// The entry for `name`, or null.
const UnitLayout* findUnit(std::string_view name);

/// Columns of the list views: header text and initial width.
struct ColumnLayout {
    std::string_view header;
    int width;
    bool centred = false;  // else left-aligned
};
std::span<const ColumnLayout> columnsOf(std::string_view listName);

}  // namespace layout
