#pragma once
// What the user is told when the chat client runs with higher privilege than this program:
// Windows then drops every message posted to it (and the resize), without a word.

namespace privilege {

inline constexpr const char* kClientElevated =
    "QT语音以管理员身份运行：Cantorel 也须以管理员身份运行，字幕才能送达";
inline constexpr const char* kRestartQuestion =
    "QT语音客户端正以管理员身份运行，Windows 会拦下 Cantorel 发给它的所有点击和文字。\n"
    "Cantorel 也须以管理员身份运行才能发送字幕。\n\n"
    "现在以管理员身份重新启动 Cantorel 吗？（设置会先保存）";
inline constexpr const char* kRestartTitle = "温馨提示";

}  // namespace privilege
