// JSON-lines log of the practice client.
#include "tools/practice-client/client_log.hpp"

#include <windows.h>

#include "text/codepage.hpp"
#include "win32/clock_win32.hpp"

namespace {

const char* messageName(unsigned message) {
    switch (message) {
        case WM_CLOSE:
            return "close";
        case WM_KEYDOWN:
            return "keydown";
        case WM_KEYUP:
            return "keyup";
        case WM_CHAR:
            return "char";
        case WM_SYSKEYDOWN:
            return "syskeydown";
        case WM_SYSKEYUP:
            return "syskeyup";
        case WM_MOUSEMOVE:
            return "mousemove";
        case WM_LBUTTONDOWN:
            return "lbuttondown";
        case WM_LBUTTONUP:
            return "lbuttonup";
        case WM_LBUTTONDBLCLK:
            return "lbuttondblclk";
        case WM_RBUTTONDOWN:
            return "rbuttondown";
        case WM_RBUTTONUP:
            return "rbuttonup";
        case WM_MBUTTONDOWN:
            return "mbuttondown";
        case WM_MBUTTONUP:
            return "mbuttonup";
        default:
            return "other";
    }
}

bool isMouse(unsigned message) { return message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK; }

}  // namespace

namespace json {

std::string quote(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", b);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string textFields(std::string_view name, const std::wstring& text) {
    const std::u16string utf16(text.begin(), text.end());
    std::string out = "\"";
    out.append(name);
    out += "_hex\":\"" + hex(codepage::utf16ToGbk(utf16)) + "\",\"";
    out.append(name);
    out += "\":" + quote(codepage::utf16ToUtf8(utf16));
    return out;
}

}  // namespace json

ClientLog::~ClientLog() {
    if (file_) std::fclose(file_);
}

bool ClientLog::open(const std::wstring& path) {
    file_ = _wfopen(path.c_str(), L"ab");
    return file_ != nullptr;
}

void ClientLog::message(std::string_view window, unsigned message, std::uintptr_t wParam,
                        std::intptr_t lParam) {
    std::string line = "\"window\":" + json::quote(window) + ",\"msg\":\"" + messageName(message) +
                       "\",\"id\":" + std::to_string(message) +
                       ",\"wparam\":" + std::to_string(wParam) +
                       ",\"lparam\":" + std::to_string(lParam);
    if (isMouse(message)) {
        line += ",\"x\":" + std::to_string(static_cast<short>(LOWORD(lParam))) +
                ",\"y\":" + std::to_string(static_cast<short>(HIWORD(lParam)));
    }
    if (message == WM_CHAR) {
        // A two-byte GBK character posted as two bytes arrives as one UTF-16 character; its GBK
        // form shows the bytes that were posted.
        // The character itself shows what the room really got, whatever the posting side's
        // code page made of it.
        const std::u16string c(1, static_cast<char16_t>(wParam));
        line += ",\"gbk_hex\":\"" + json::hex(codepage::utf16ToGbk(c)) +
                "\",\"char\":" + json::quote(codepage::utf16ToUtf8(c));
    }
    write(line);
}

void ClientLog::event(std::string_view name, std::string_view fields) {
    std::string line = "\"event\":" + json::quote(name);
    if (!fields.empty()) {
        line += ',';
        line.append(fields);
    }
    write(line);
}

void ClientLog::write(const std::string& members) {
    if (!file_) return;
    const std::string line = "{\"t_us\":" + std::to_string(qpcMicros()) + "," + members + "}\n";
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}
