// Report-style list views: the lyric list, the preview list and the search hits. Each row keeps
// its item number in the item's lParam.
#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>

#include "ui/dpi_scale.hpp"
#include "win32/gui/control.hpp"

namespace gui {
namespace {

class ListControl : public Win32Control<ListView> {
  public:
    int rowCount() const override {
        return static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0));
    }
    void clear() override { SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0); }
    int addRow(const GbkText& firstColumn, int itemNumber) override {
        std::wstring text = wide(firstColumn);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = rowCount();
        item.pszText = text.data();
        item.lParam = itemNumber;
        return static_cast<int>(
            SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    void setCell(int row, int column, const GbkText& text) override {
        if (row < 0 || row >= rowCount() || column < 0) return;
        std::wstring wideText = wide(text);
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = wideText.data();
        SendMessageW(hwnd_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    }
    GbkText cell(int row, int column) const override {
        if (row < 0 || row >= rowCount() || column < 0) return {};
        // LVM_GETITEMTEXT gives no length; grow the buffer until the text fits.
        for (size_t size = 256;; size *= 4) {
            std::wstring buffer(size, L'\0');
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = buffer.data();
            item.cchTextMax = static_cast<int>(size);
            const auto got = static_cast<size_t>(
                SendMessageW(hwnd_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
            if (got + 1 < size || size > (1u << 20)) {
                buffer.resize(got);
                return narrow(buffer);
            }
        }
    }
    int itemNumber(int row) const override {
        if (row < 0 || row >= rowCount()) return 0;
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return static_cast<int>(item.lParam);
    }
    int selection() const override {
        return static_cast<int>(
            SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    void setSelection(int row) override {
        LVITEMW clear{};
        clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&clear));
        if (row < 0 || row >= rowCount()) return;
        LVITEMW select{};
        select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        select.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(hwnd_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&select));
    }
    void place(const UnitLayout& scaled, HFONT font, int dpi) override {
        Control::place(scaled, font, dpi);
        int index = 0;
        for (const layout::ColumnLayout& column : layout::columnsOf(scaled.name)) {
            SendMessageW(hwnd_, LVM_SETCOLUMNWIDTH, index++,
                         MAKELPARAM(dpi::scale(column.width, dpi), 0));
        }
    }
    void ensureVisible(int row) override {
        if (row >= 0 && row < rowCount()) SendMessageW(hwnd_, LVM_ENSUREVISIBLE, row, FALSE);
    }
};

void addColumns(HWND hwnd, std::string_view listName, int dpi) {
    int index = 0;
    for (const layout::ColumnLayout& column : layout::columnsOf(listName)) {
        std::wstring header = wide(column.header);
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        lvc.fmt = column.centred ? LVCFMT_CENTER : LVCFMT_LEFT;
        lvc.pszText = header.data();
        lvc.cx = dpi::scale(column.width, dpi);
        lvc.iSubItem = index;
        SendMessageW(hwnd, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&lvc));
        ++index;
    }
}

}  // namespace

std::unique_ptr<Control> makeListView(const UnitLayout& layout, const Placement& at) {
    if (layout.kind != UnitKind::ListView) return nullptr;
    HWND hwnd = createChild(
        at, layout, WC_LISTVIEWW,
        WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
        WS_EX_CLIENTEDGE, {}, layout.height);
    if (!hwnd) return nullptr;
    SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    addColumns(hwnd, layout.name, at.dpi);
    auto control = std::make_unique<ListControl>();
    control->attach(hwnd);
    return control;
}

}  // namespace gui
