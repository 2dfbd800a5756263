#include "ui/memory_units.hpp"

#include <algorithm>
#include <array>

namespace {

template <typename Base>
class MemoryUnit : public Base {
  public:
    bool visible() const override { return visible_; }
    void setVisible(bool visible) override { visible_ = visible; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }

  private:
    bool visible_ = true;
    bool enabled_ = true;
};

template <typename Base>
class MemoryText : public MemoryUnit<Base> {
  public:
    GbkText text() const override { return text_; }
    void setText(const GbkText& text) override { text_ = text; }

  private:
    GbkText text_;
};

template <typename Base>
class MemoryCheck : public MemoryText<Base> {
  public:
    bool checked() const override { return checked_; }
    void setChecked(bool checked) override { checked_ = checked; }

  private:
    bool checked_ = false;
};

class MemoryCombo : public MemoryUnit<ComboBox> {
  public:
    int count() const override { return static_cast<int>(items_.size()); }
    GbkText item(int index) const override {
        return index >= 0 && index < count() ? items_[static_cast<size_t>(index)] : GbkText();
    }
    void addItem(const GbkText& text) override { items_.push_back(text); }
    void removeItem(int index) override {
        if (index < 0 || index >= count()) return;
        items_.erase(items_.begin() + index);
        if (selected_ == index) selected_ = -1;
        if (selected_ > index) --selected_;
    }
    void clear() override {
        items_.clear();
        selected_ = -1;
    }
    int selectedIndex() const override { return selected_; }
    void setSelectedIndex(int index) override {
        selected_ = index >= 0 && index < count() ? index : -1;
        if (selected_ >= 0) edit_ = items_[static_cast<size_t>(selected_)];
    }
    GbkText editText() const override { return edit_; }
    void setEditText(const GbkText& text) override { edit_ = text; }

  private:
    std::vector<GbkText> items_;
    int selected_ = -1;
    GbkText edit_;
};

class MemoryList : public MemoryUnit<ListView> {
  public:
    int rowCount() const override { return static_cast<int>(rows_.size()); }
    void clear() override {
        rows_.clear();
        selection_ = -1;
    }
    int addRow(const GbkText& firstColumn, int itemNumber) override {
        rows_.push_back(Row{{firstColumn}, itemNumber});
        return rowCount() - 1;
    }
    void setCell(int row, int column, const GbkText& text) override {
        if (row < 0 || row >= rowCount() || column < 0) return;
        auto& cells = rows_[static_cast<size_t>(row)].cells;
        if (cells.size() <= static_cast<size_t>(column))
            cells.resize(static_cast<size_t>(column) + 1);
        cells[static_cast<size_t>(column)] = text;
    }
    GbkText cell(int row, int column) const override {
        if (row < 0 || row >= rowCount() || column < 0) return {};
        const auto& cells = rows_[static_cast<size_t>(row)].cells;
        return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)]
                                                          : GbkText();
    }
    int itemNumber(int row) const override {
        return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)].itemNumber : 0;
    }
    int selection() const override { return selection_; }
    void setSelection(int row) override { selection_ = row >= 0 && row < rowCount() ? row : -1; }
    void ensureVisible(int) override {}

  private:
    struct Row {
        std::vector<GbkText> cells;
        int itemNumber;
    };
    std::vector<Row> rows_;
    int selection_ = -1;
};

class MemoryFileList : public MemoryUnit<FileList> {
  public:
    GbkText folder() const override { return folder_; }
    void setFolder(const GbkText& folder) override { folder_ = folder; }
    GbkText selectedName() const override { return selected_; }
    void setSelectedName(const GbkText& name) override { selected_ = name; }

  private:
    GbkText folder_;
    GbkText selected_;
};

class MemoryStatus : public MemoryUnit<StatusBar> {
  public:
    GbkText part(int index) const override {
        return index >= 0 && index < 2 ? parts_[static_cast<size_t>(index)] : GbkText();
    }
    void setPart(int index, const GbkText& text) override {
        if (index >= 0 && index < 2) parts_[static_cast<size_t>(index)] = text;
    }

  private:
    std::array<GbkText, 2> parts_ = {"软件状态:", "尚未进行任何操作"};
};

class MemoryPanel : public MemoryUnit<Unit> {};

std::unique_ptr<Unit> makeUnit(const UnitLayout& entry) {
    auto withText = [&](auto unit) {
        unit->setText(GbkText(entry.caption));
        return std::unique_ptr<Unit>(std::move(unit));
    };
    switch (entry.kind) {
        case UnitKind::GroupBox:
            return withText(std::make_unique<MemoryText<GroupBox>>());
        case UnitKind::Label:
        case UnitKind::TransparentLabel:
            return withText(std::make_unique<MemoryText<Label>>());
        case UnitKind::Button:
            return withText(std::make_unique<MemoryText<Button>>());
        case UnitKind::EditBox:
        case UnitKind::MultiLineEdit:
            return withText(std::make_unique<MemoryText<EditBox>>());
        case UnitKind::CheckBox:
        case UnitKind::PushCheckBox: {
            auto box = std::make_unique<MemoryCheck<CheckBox>>();
            box->setChecked(entry.checked);
            return withText(std::move(box));
        }
        case UnitKind::RadioButton:
            return withText(std::make_unique<MemoryCheck<RadioButton>>());
        case UnitKind::ComboBox:
            return std::make_unique<MemoryCombo>();
        case UnitKind::ListView:
            return std::make_unique<MemoryList>();
        case UnitKind::FileList:
            return std::make_unique<MemoryFileList>();
        case UnitKind::StatusBar:
            return std::make_unique<MemoryStatus>();
        case UnitKind::DrawPanel:
        case UnitKind::WebView:
            return std::make_unique<MemoryPanel>();
        case UnitKind::Timer:
            return nullptr;
    }
    return nullptr;
}

}  // namespace

void MemoryTimer::setPeriod(int ms) { schedule_.setPeriod(ms, now()); }

void MemoryTimer::attachTime(std::function<std::int64_t()> nowMicros) {
    nowMicros_ = std::move(nowMicros);
    const int running = schedule_.period();
    schedule_.setPeriod(0, now());
    schedule_.setPeriod(running, now());
}

void MemoryTimer::fire() {
    if (handler_) handler_();
}

MemoryUnits::MemoryUnits(std::span<const UnitLayout> units) {
    for (const UnitLayout& entry : units) {
        if (entry.kind == UnitKind::Timer) {
            timers_.emplace(std::string(entry.name), std::make_unique<MemoryTimer>());
            continue;
        }
        auto unit = makeUnit(entry);
        units_.emplace(std::string(entry.name), std::move(unit));
    }
}

MemoryUnits::~MemoryUnits() = default;

Unit* MemoryUnits::find(std::string_view name) {
    auto it = units_.find(name);
    return it == units_.end() ? nullptr : it->second.get();
}

TimerUnit* MemoryUnits::findTimer(std::string_view name) {
    auto it = timers_.find(name);
    return it == timers_.end() ? nullptr : it->second.get();
}
