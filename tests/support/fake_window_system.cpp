#include "tests/support/fake_window_system.hpp"

#include "text/codepage.hpp"

namespace {

PostResult record(FakeWindowSystem& fake, const PostedMessage& posted) {
    const PostResult result = fake.answer ? fake.answer(posted) : PostResult::Posted;
    if (result != PostResult::Posted) {
        fake.dropped.push_back(posted);
        return result;
    }
    fake.posts.push_back(posted);
    if (fake.onPost) fake.onPost(posted);
    return result;
}

}  // namespace

PostResult FakeWindowSystem::post(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    return record(*this, {window, message, wParam, lParam, clock_ ? clock_->nowMicros() : 0});
}

PostResult FakeWindowSystem::postUnicodeChar(WindowHandle window, char16_t unit) {
    return record(*this, {window, msg::kChar, unit, 0, clock_ ? clock_->nowMicros() : 0, true});
}

DpiView FakeWindowSystem::clientDpi(WindowHandle window) {
    auto it = clientDpis.find(window);
    return it == clientDpis.end() ? DpiView{} : it->second;
}

DpiView FakeWindowSystem::geometryDpi(WindowHandle window) {
    auto it = geometryDpis.find(window);
    return it == geometryDpis.end() ? DpiView{} : it->second;
}

WindowHandle FakeWindowSystem::findTopLevel(const GbkText& className, const GbkText& title) {
    findCalls.emplace_back(className, title);
    findTimes.push_back(clock_ ? clock_->nowMicros() : 0);
    if (findIndex_ < findScript.size()) return findScript[findIndex_++];
    return findDefault;
}

std::optional<ScreenRect> FakeWindowSystem::windowRect(WindowHandle window) {
    if (!live.contains(window)) return std::nullopt;
    auto it = rects.find(window);
    return it == rects.end() ? ScreenRect{} : it->second;
}

void FakeWindowSystem::moveWindow(WindowHandle window, int left, int top, int width, int height) {
    moves.push_back({window, left, top, width, height});
    if (maxWidth > 0 && width > maxWidth) width = maxWidth;
    if (maxHeight > 0 && height > maxHeight) height = maxHeight;
    if (live.contains(window)) rects[window] = {left, top, left + width, top + height};
}

unsigned FakeWindowSystem::mapVirtualKey(unsigned code, unsigned mapType) {
    if (mapType != 0) return 0;
    static const std::map<unsigned, unsigned> kScanCodes = {
        {0x08, 0x0E},  // VK_BACK
        {0x09, 0x0F},  // VK_TAB
        {0x0D, 0x1C},  // VK_RETURN
        {0x10, 0x2A},  // VK_SHIFT
        {0x11, 0x1D},  // VK_CONTROL
        {0x12, 0x38},  // VK_MENU
        {0x1B, 0x01},  // VK_ESCAPE
        {0x20, 0x39},  // VK_SPACE
        {0x21, 0x49},  // VK_PRIOR
        {0x2E, 0x53},  // VK_DELETE
        {0x41, 0x1E},  // 'A'
        {0x5B, 0x5B},  // VK_LWIN
        {0x6F, 0x35},  // VK_DIVIDE
        {0x90, 0x45},  // VK_NUMLOCK
    };
    auto it = kScanCodes.find(code);
    return it == kScanCodes.end() ? 0 : it->second;
}

WindowHandle FakeWindowSystem::windowFromPoint(ScreenPoint point) {
    return fromPoint ? fromPoint(point) : 0;
}

std::uint32_t FakeWindowSystem::processIdOf(WindowHandle window) {
    auto it = processIds.find(window);
    return it == processIds.end() ? 0 : it->second;
}

ScreenPoint FakeWindowSystem::clientOrigin(WindowHandle window) {
    auto it = clientOrigins.find(window);
    return it == clientOrigins.end() ? ScreenPoint{} : it->second;
}

GbkText FakeWindowSystem::windowTitle(WindowHandle window) {
    auto it = titles.find(window);
    return it == titles.end() ? GbkText() : it->second;
}

void FakeWindowSystem::addWindow(WindowHandle window, ScreenRect rect, GbkText title) {
    live.insert(window);
    rects[window] = rect;
    titles[window] = std::move(title);
}

void FakeWindowSystem::closeWindow(WindowHandle window) {
    live.erase(window);
    rects.erase(window);
}

namespace {

constexpr std::intptr_t point(int x, int y) { return x + y * 65536; }

}  // namespace

std::vector<SentLine> sentLines(const std::vector<PostedMessage>& posts) {
    std::vector<SentLine> lines;
    std::optional<SentLine> open;
    for (const PostedMessage& p : posts) {
        if (p.message == msg::kLButtonDown &&
            (p.lParam == point(585, 643) || p.lParam == point(256, 124))) {
            open = SentLine{p.window, {}, p.atMicros, 0};
        } else if (open && p.message == msg::kChar && p.window == open->window) {
            if (p.unicode)
                open->text +=
                    codepage::utf16ToGbk(std::u16string(1, static_cast<char16_t>(p.wParam)));
            else
                open->text.push_back(static_cast<char>(p.wParam));
        } else if (open && p.message == msg::kKeyDown && p.wParam == 0x08) {
            if (!open->text.empty()) open->text.pop_back();
        } else if (open && p.message == msg::kLButtonDown &&
                   (p.lParam == point(917, 633) || p.lParam == point(299, 164))) {
            open->sentMicros = p.atMicros;
            lines.push_back(*open);
            open.reset();
        }
    }
    return lines;
}

std::vector<GbkText> sentTexts(const std::vector<PostedMessage>& posts) {
    std::vector<GbkText> texts;
    for (const SentLine& line : sentLines(posts)) texts.push_back(line.text);
    return texts;
}
