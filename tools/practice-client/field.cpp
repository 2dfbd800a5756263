// Fields, buttons and the common window procedure of the practice client.
#include "tools/practice-client/field.hpp"

namespace {

constexpr COLORREF kFieldBorder = RGB(170, 178, 189);
constexpr COLORREF kFocusBorder = RGB(34, 128, 230);
constexpr COLORREF kText = RGB(30, 30, 30);

int CALLBACK noteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool faceExists(const wchar_t* face) {
    HDC dc = GetDC(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &lf, noteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

HFONT makeFont(const wchar_t* face, int height, int weight) {
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

bool isInputMessage(UINT message) {
    return message == WM_CLOSE || (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK);
}

}  // namespace

const Fonts& Fonts::get() {
    static const Fonts fonts = [] {
        // Windows has YaHei; Wine on Linux has WenQuanYi, which every face falls back to under
        // a Chinese locale but which must be named outright under any other.
        const wchar_t* face = faceExists(L"Microsoft YaHei")       ? L"Microsoft YaHei"
                              : faceExists(L"WenQuanYi Micro Hei") ? L"WenQuanYi Micro Hei"
                                                                   : L"SimSun";
        Fonts f;
        f.normal = makeFont(face, 15, FW_NORMAL);
        f.bold = makeFont(face, 15, FW_BOLD);
        f.large = makeFont(face, 20, FW_BOLD);
        return f;
    }();
    return fonts;
}

bool TextField::backspace() {
    if (text_.empty()) return false;
    text_.pop_back();  // GBK has nothing outside the BMP: one character is one unit
    return true;
}

void TextField::paint(HDC dc, bool focused) const {
    RECT r = box_.rect();
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HBRUSH border = CreateSolidBrush(focused ? kFocusBorder : kFieldBorder);
    FrameRect(dc, &r, border);
    if (focused) {
        RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        FrameRect(dc, &inner, border);
    }
    DeleteObject(border);
    // Show the end of a long line, where typing happens.
    Box textBox{box_.left + 8, box_.top, box_.right - 8, box_.bottom};
    std::wstring shown = text_ + (focused ? L"|" : L"");
    HGDIOBJ old = SelectObject(dc, Fonts::get().normal);
    SIZE size{};
    while (shown.size() > 1 &&
           GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size) &&
           size.cx > textBox.right - textBox.left)
        shown.erase(0, 1);
    SelectObject(dc, old);
    paintText(dc, textBox, shown, Fonts::get().normal, kText);
}

void paintButton(HDC dc, const Box& box, const wchar_t* caption, bool pressed) {
    RECT r = box.rect();
    HBRUSH fill = CreateSolidBrush(pressed ? RGB(20, 100, 190) : RGB(34, 128, 230));
    FillRect(dc, &r, fill);
    DeleteObject(fill);
    paintText(dc, box, caption, Fonts::get().bold, RGB(255, 255, 255),
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void paintText(HDC dc, const Box& box, const std::wstring& text, HFONT font, COLORREF colour,
               UINT format) {
    RECT r = box.rect();
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_NOPREFIX);
    SelectObject(dc, old);
}

bool ClientWindow::registerClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        wc.hbrBackground = nullptr;  // painted in full by each window
        wc.lpszClassName = kClass;
        return RegisterClassExW(&wc) != 0;
    }();
    return registered;
}

bool ClientWindow::create(const std::wstring& title, DWORD style, int x, int y, int width,
                          int height, HWND owner) {
    if (!registerClass()) return false;
    CreateWindowExW(0, kClass, title.c_str(), style, x, y, width, height, owner, nullptr,
                    GetModuleHandleW(nullptr), this);
    return hwnd_ != nullptr;
}

void ClientWindow::paintBuffered() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT client;
    GetClientRect(hwnd_, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    paint(memory, client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK ClientWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<ClientWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ClientWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (isInputMessage(message)) self->log_.message(self->logName_, message, wParam, lParam);
    if (message == WM_PAINT) {
        self->paintBuffered();
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->onDestroyed();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (self->onInput(message, wParam, lParam)) return 0;
    LRESULT result = 0;
    if (self->onMessage(message, wParam, lParam, result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

bool ClientWindow::onInput(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
        case WM_LBUTTONDOWN:
            pressed_ = partAt(x, y);
            if (field_.box().contains(x, y) && !fieldFocused_) {
                fieldFocused_ = true;
                log_.event("focus", std::string("\"window\":\"") + logName_ + "\",\"field\":\"" +
                                        fieldName_ + "\"");
            }
            repaint();
            return true;
        case WM_LBUTTONUP: {
            const int released = partAt(x, y);
            const int pressed = pressed_;
            pressed_ = 0;
            repaint();
            if (released != 0 && released == pressed) clicked(released);
            return true;
        }
        case WM_CHAR:
            if (fieldFocused_ && wParam >= 0x20 && wParam != 0x7F) {
                field_.type(static_cast<wchar_t>(wParam));
                repaint();
            }
            return true;
        case WM_KEYDOWN:
            if (fieldFocused_ && wParam == VK_BACK && field_.backspace()) repaint();
            return true;
        case WM_CLOSE:
            DestroyWindow(hwnd_);
            return true;
        default:
            return false;
    }
}
