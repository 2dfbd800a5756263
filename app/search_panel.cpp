#include "app/search_panel.hpp"

#include <utility>

#include "app/network_settings.hpp"

SearchPanel::SearchPanel(MainUnits& units, WebFetcher& fetcher, MessageBoxes& boxes,
                         std::function<void()> refreshFileList, GbkText settingsFolder)
    : units_(units),
      settingsFolder_(std::move(settingsFolder)),
      search_(units, fetcher, boxes, [this] { return sources_; }),
      downloader_(units, fetcher, boxes, search_, std::move(refreshFileList)) {}

void SearchPanel::load() {
    settings_ = loadNetworkSettings(settingsFolder_);
    ComboBox& combo = units_.来源;
    combo.clear();
    int chosen = 0;
    combo.addItem(GbkText(kAllSourcesLabel));
    const auto sources = lyricSources();
    for (std::size_t i = 0; i < sources.size(); ++i) {
        combo.addItem(GbkText(sources[i].label));
        if (sources[i].id == settings_.source) chosen = static_cast<int>(i) + 1;
    }
    combo.setSelectedIndex(chosen);
    useSelectedSource();
}

void SearchPanel::sourceChanged() {
    useSelectedSource();
    saveSourceChoice(settingsFolder_, settings_.source);
}

void SearchPanel::useSelectedSource() {
    const auto sources = lyricSources();
    const int index = units_.来源.selectedIndex();
    // Text typed into the box chooses nothing; the last choice stays.
    if (index < 0 || index > static_cast<int>(sources.size())) return;
    sources_.clear();
    settings_.source = GbkText(index == 0 ? kAllSources : sources[index - 1].id);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (index != 0 && static_cast<int>(i) != index - 1) continue;
        // "全部" asks every source the settings leave on.
        std::shared_ptr<const LyricSource> source = sources[i].make(settings_);
        if (source) sources_.push_back({sources[i].id, std::move(source)});
    }
}
