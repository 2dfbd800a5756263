// The file list: the "*.lrc" files of one folder in a list box.
#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/files.hpp"
#include "win32/gui/control.hpp"
#include "win32/wide_path.hpp"

namespace gui {
namespace {

class FileListControl : public Win32Control<FileList> {
  public:
    GbkText folder() const override { return folder_; }
    void setFolder(const GbkText& folder) override {
        // A press in the list re-reads the folder before the list box picks the item under the
        // pointer: the list must stay scrolled where it was, or the press would pick whatever
        // file the reset scrolled under it.
        const LRESULT top = folder == folder_ ? SendMessageW(hwnd_, LB_GETTOPINDEX, 0, 0) : 0;
        folder_ = folder;
        SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
        SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
        // Each row shows the file's real name; the program keeps the name it carries for it.
        rows_ = files::listFiles(folder, ".lrc");
        for (const GbkText& name : rows_) {
            const std::wstring real = win32::widePath(files::join(folder, name));
            const std::wstring shown = real.substr(real.find_last_of(L"\\/") + 1);
            SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
        }
        if (top > 0) SendMessageW(hwnd_, LB_SETTOPINDEX, top, 0);
        SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
    GbkText selectedName() const override {
        const LRESULT index = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
        if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return {};
        return rows_[static_cast<std::size_t>(index)];
    }
    void setSelectedName(const GbkText& name) override {
        const auto found = std::find(rows_.begin(), rows_.end(), name);
        const WPARAM index =
            found == rows_.end() ? static_cast<WPARAM>(-1) : WPARAM(found - rows_.begin());
        SendMessageW(hwnd_, LB_SETCURSEL, index, 0);
    }

  private:
    GbkText folder_;
    std::vector<GbkText> rows_;  // the name the program carries for each row, in list order
};

}  // namespace

std::unique_ptr<Control> makeFileList(const UnitLayout& layout, const Placement& at) {
    if (layout.kind != UnitKind::FileList) return nullptr;
    HWND hwnd = createChild(at, layout, WC_LISTBOXW,
                            WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                                LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                            WS_EX_CLIENTEDGE, {}, layout.height);
    if (!hwnd) return nullptr;
    auto control = std::make_unique<FileListControl>();
    control->attach(hwnd);
    return control;
}

}  // namespace gui
