#pragma once
// Building blocks of the practice client's windows: boxes in client coordinates, one-line text
// fields the window draws itself, and the base of both top-level windows.
//
// The chat program this stands in for receives posted clicks and characters on its top-level
// window, not on child controls, so each window hit-tests client points itself and routes
// characters and Backspace to the field that has the focus.

#include <windows.h>

#include <string>

#include "tools/practice-client/client_log.hpp"

/// A rectangle in client coordinates.
struct Box {
    int left, top, right, bottom;
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    RECT rect() const { return RECT{left, top, right, bottom}; }
};

/// The fonts of the client; Chinese-capable faces first.
struct Fonts {
    HFONT normal = nullptr;
    HFONT bold = nullptr;
    HFONT large = nullptr;
    /// Creates the fonts once per process.
    static const Fonts& get();
};

/// One line of text typed character by character.
class TextField {
  public:
    explicit TextField(Box box) : box_(box) {}
    const Box& box() const { return box_; }
    const std::wstring& text() const { return text_; }
    void setText(std::wstring text) { text_ = std::move(text); }
    void type(wchar_t c) { text_ += c; }
    /// Deletes the last character; false when the field was empty.
    bool backspace();
    void paint(HDC dc, bool focused) const;

  private:
    Box box_;
    std::wstring text_;
};

void paintButton(HDC dc, const Box& box, const wchar_t* caption, bool pressed);
void paintText(HDC dc, const Box& box, const std::wstring& text, HFONT font, COLORREF colour,
               UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);

/// Base of the client's top-level windows: class TXGuiFoundation with a Unicode window
/// procedure (so a GBK byte pair posted with PostMessageA arrives as one character), a log
/// line for every input message received, and double-buffered painting. Each window has one
/// text field and a few clickable parts: a press on the field gives it the focus, a press and a
/// release on the same part click it, characters and Backspace go to the focused field.
class ClientWindow {
  public:
    static constexpr wchar_t kClass[] = L"TXGuiFoundation";
    /// Registers the class once per process.
    static bool registerClass();

    virtual ~ClientWindow() = default;
    HWND handle() const { return hwnd_; }

  protected:
    /// `logName` names the window in the log, `fieldName` its text field.
    ClientWindow(ClientLog& log, const char* logName, Box fieldBox, const char* fieldName)
        : log_(log), field_(fieldBox), logName_(logName), fieldName_(fieldName) {}
    bool create(const std::wstring& title, DWORD style, int x, int y, int width, int height,
                HWND owner);
    void repaint() { InvalidateRect(hwnd_, nullptr, FALSE); }

    /// The clickable part at a client point, 0 for none.
    virtual int partAt(int x, int y) const = 0;
    /// A press and a release both landed on `part` (never 0).
    virtual void clicked(int part) = 0;
    /// Messages beyond the common input; false falls through to DefWindowProcW.
    virtual bool onMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    virtual void paint(HDC dc, const RECT& client) = 0;
    /// The window is gone; the object may delete itself here.
    virtual void onDestroyed() {}

    ClientLog& log_;
    HWND hwnd_ = nullptr;
    TextField field_;
    bool fieldFocused_ = false;
    int pressed_ = 0;  // the part under a press not yet released

  private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool onInput(UINT message, WPARAM wParam, LPARAM lParam);
    void paintBuffered();
    const char* logName_;
    const char* fieldName_;
};
