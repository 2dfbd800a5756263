#include "ui/main_units.hpp"

#include <cstdio>
#include <cstdlib>

namespace {

template <typename T>
T& bind(UnitDirectory& directory, std::string_view name) {
    if (auto* unit = dynamic_cast<T*>(directory.find(name))) return *unit;
    std::fprintf(stderr, "main window layout lacks a unit of the expected kind\n");
    std::abort();
}

TimerUnit& bindTimer(UnitDirectory& directory, std::string_view name) {
    if (auto* timer = directory.findTimer(name)) return *timer;
    std::fprintf(stderr, "main window layout lacks a timer\n");
    std::abort();
}

}  // namespace

MainUnits::MainUnits(UnitDirectory& d)
    : window(d.frame()),
      画板_捕获器(bind<Unit>(d, "画板_捕获器")),
      公屏字幕(bind<RadioButton>(d, "公屏字幕")),
      昵称字幕(bind<RadioButton>(d, "昵称字幕")),
      歌词下载(bind<CheckBox>(d, "歌词下载")),
      设置(bind<CheckBox>(d, "设置")),
      文件框1(bind<FileList>(d, "文件框1")),
      超级列表框_歌词(bind<ListView>(d, "超级列表框_歌词")),
      歌词预览(bind<ListView>(d, "歌词预览")),
      开始字幕(bind<Button>(d, "开始字幕")),
      填充(bind<EditBox>(d, "填充")),
      编辑框1(bind<EditBox>(d, "编辑框1")),
      按钮2(bind<Button>(d, "按钮2")),
      用户设置(bind<GroupBox>(d, "用户设置")),
      开启倒序模式(bind<CheckBox>(d, "开启倒序模式")),
      开启正反序模式(bind<CheckBox>(d, "开启正反序模式")),
      开启前后缀模式(bind<CheckBox>(d, "开启前后缀模式")),
      前缀(bind<ComboBox>(d, "前缀")),
      前缀_添加(bind<Button>(d, "前缀_添加")),
      前缀_删除(bind<Button>(d, "前缀_删除")),
      后缀(bind<ComboBox>(d, "后缀")),
      后缀_添加(bind<Button>(d, "后缀_添加")),
      后缀_删除(bind<Button>(d, "后缀_删除")),
      是否开启广告过滤模式(bind<CheckBox>(d, "是否开启广告过滤模式")),
      过滤(bind<EditBox>(d, "过滤")),
      退出前自动保存所有配置(bind<CheckBox>(d, "退出前自动保存所有配置")),
      歌词搜索功能(bind<GroupBox>(d, "歌词搜索功能")),
      欲搜索内容(bind<EditBox>(d, "欲搜索内容")),
      搜索歌词(bind<Button>(d, "搜索歌词")),
      来源(bind<ComboBox>(d, "来源")),
      欲下载列表(bind<ListView>(d, "欲下载列表")),
      状态条1(bind<StatusBar>(d, "状态条1")),
      时钟_歌词播放(bindTimer(d, "时钟_歌词播放")),
      初始文本(bind<EditBox>(d, "初始文本")),
      预备下载内容(bind<EditBox>(d, "预备下载内容")),
      编辑框_鼠标位置_X(bind<EditBox>(d, "编辑框_鼠标位置_X")),
      编辑框_鼠标位置_Y(bind<EditBox>(d, "编辑框_鼠标位置_Y")),
      编辑框_窗口鼠标位置_X(bind<EditBox>(d, "编辑框_窗口鼠标位置_X")),
      编辑框_窗口鼠标位置_Y(bind<EditBox>(d, "编辑框_窗口鼠标位置_Y")),
      透明标签1(bind<Label>(d, "透明标签1")) {}
