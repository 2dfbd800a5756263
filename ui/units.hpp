#pragma once
// The main window's controls ("units") as the logic sees them: small interfaces by kind, read
// and written at the moment of use. win32/ implements them over real controls;
// app/memory_units.hpp implements them in memory for tests and the command line.

#include <functional>
#include <string_view>

#include "text/gbk_text.hpp"

class Unit {
  public:
    virtual ~Unit() = default;
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

/// Any unit with one text: edit boxes, labels, buttons, group boxes (their caption).
class TextUnit : public Unit {
  public:
    virtual GbkText text() const = 0;
    virtual void setText(const GbkText& text) = 0;
};

class EditBox : public TextUnit {};
class Label : public TextUnit {};
class Button : public TextUnit {};
class GroupBox : public TextUnit {};

/// Check boxes (push-like ones included) and radio buttons; the text is the caption.
class CheckBox : public TextUnit {
  public:
    virtual bool checked() const = 0;
    virtual void setChecked(bool checked) = 0;
};
class RadioButton : public CheckBox {};

/// Editable drop-down list: items plus an edit field.
class ComboBox : public Unit {
  public:
    virtual int count() const = 0;
    /// Item `index` (0-based); empty text when out of range.
    virtual GbkText item(int index) const = 0;
    virtual void addItem(const GbkText& text) = 0;
    virtual void removeItem(int index) = 0;
    virtual void clear() = 0;
    /// Selected item index, or -1.
    virtual int selectedIndex() const = 0;
    virtual void setSelectedIndex(int index) = 0;
    virtual GbkText editText() const = 0;
    virtual void setEditText(const GbkText& text) = 0;
};

/// Report-style list view. Rows and columns count from 0; each row carries an item number.
class ListView : public Unit {
  public:
    virtual int rowCount() const = 0;
    virtual void clear() = 0;
    /// Appends a row with column 0 = `firstColumn`; returns its index.
    virtual int addRow(const GbkText& firstColumn, int itemNumber) = 0;
    virtual void setCell(int row, int column, const GbkText& text) = 0;
    /// Cell text; empty when out of range.
    virtual GbkText cell(int row, int column) const = 0;
    /// Item number of `row`; 0 when out of range.
    virtual int itemNumber(int row) const = 0;
    /// Selected row, or -1.
    virtual int selection() const = 0;
    virtual void setSelection(int row) = 0;
    /// Scrolls `row` fully into view.
    virtual void ensureVisible(int row) = 0;
};

/// File list box showing the "*.lrc" files of one folder.
class FileList : public Unit {
  public:
    virtual GbkText folder() const = 0;
    /// Sets the folder and re-reads it.
    virtual void setFolder(const GbkText& folder) = 0;
    /// Name (without folder) of the selected file; empty when none.
    virtual GbkText selectedName() const = 0;
    /// Selects the file called `name` (no selection when it is not listed).
    virtual void setSelectedName(const GbkText& name) = 0;
};

class StatusBar : public Unit {
  public:
    /// The part that tells the user what just happened (the first holds the fixed caption).
    static constexpr int kMessage = 1;

    virtual GbkText part(int index) const = 0;
    virtual void setPart(int index, const GbkText& text) = 0;
};

/// A periodic GUI-thread timer. Period 0 means stopped; a negative period counts as 0.
/// Setting the current period again changes nothing (a running timer keeps its rhythm); any
/// other value restarts the countdown from that moment.
class TimerUnit {
  public:
    virtual ~TimerUnit() = default;
    virtual int period() const = 0;
    virtual void setPeriod(int ms) = 0;
    /// The handler run at each expiry.
    virtual void setHandler(std::function<void()> handler) = 0;
};

/// The window that owns the units.
class WindowFrame {
  public:
    virtual ~WindowFrame() = default;
    virtual int width() const = 0;
    /// Changes only the width; position and height stay.
    virtual void setWidth(int width) = 0;
};

/// Lookup of units by their layout name. The result is null for an unknown name.
class UnitDirectory {
  public:
    virtual ~UnitDirectory() = default;
    virtual Unit* find(std::string_view name) = 0;
    virtual TimerUnit* findTimer(std::string_view name) = 0;
    virtual WindowFrame& frame() = 0;
};
