#pragma once
// Typed, named access to the main window's units. The member names are the layout names, so
// the logic reads like the window it drives: units.开始字幕.setText("停止字幕").

#include "ui/units.hpp"

struct MainUnits {
    /// Binds every member; aborts when the directory lacks a unit (a layout fault).
    explicit MainUnits(UnitDirectory& directory);

    WindowFrame& window;

    // Top bar.
    Unit& 画板_捕获器;
    RadioButton& 公屏字幕;
    RadioButton& 昵称字幕;
    CheckBox& 歌词下载;
    CheckBox& 设置;

    // Lyric side.
    FileList& 文件框1;
    ListView& 超级列表框_歌词;
    ListView& 歌词预览;
    Button& 开始字幕;
    EditBox& 填充;
    EditBox& 编辑框1;
    Button& 按钮2;

    // Settings panel.
    GroupBox& 用户设置;
    CheckBox& 开启倒序模式;
    CheckBox& 开启正反序模式;
    CheckBox& 开启前后缀模式;
    ComboBox& 前缀;
    Button& 前缀_添加;
    Button& 前缀_删除;
    ComboBox& 后缀;
    Button& 后缀_添加;
    Button& 后缀_删除;
    CheckBox& 是否开启广告过滤模式;
    EditBox& 过滤;
    CheckBox& 退出前自动保存所有配置;

    // Search panel.
    GroupBox& 歌词搜索功能;
    EditBox& 欲搜索内容;
    Button& 搜索歌词;
    ComboBox& 来源;
    ListView& 欲下载列表;
    StatusBar& 状态条1;

    // Hidden stores.
    TimerUnit& 时钟_歌词播放;
    EditBox& 初始文本;
    EditBox& 预备下载内容;
    EditBox& 编辑框_鼠标位置_X;
    EditBox& 编辑框_鼠标位置_Y;
    EditBox& 编辑框_窗口鼠标位置_X;
    EditBox& 编辑框_窗口鼠标位置_Y;
    Label& 透明标签1;
};
