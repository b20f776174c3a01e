#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"
#include "ui/ui_host.h"

namespace pagoling::ui {

// A control name that the layout does not hold, or an operation that the control's kind does not
// have: a programming error, reported loudly.
class UnknownControl : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Events raised by the front ends; the model calls the handler registered for the control.
enum class Event { kClick, kItemSelected, kGotFocus, kScroll };

// What an observer is told after an operation changed a control.
enum class Property {
  kText,
  kChecked,
  kSelection,
  kItems,
  kCurrentPage,
  kScroll,
  kGeometry,
  kEnabled,
  kRows,
  kCells,
  kCurrentRow,
  kAddress,
  kVisible
};
struct Change {
  std::string control;
  Property property;
};

// The one window and the system's working store. Every control of the layout by its name (UTF-8,
// as in the layout table); every text a control holds is GBK. Each operation runs under one lock
// for the whole model, so a single operation is atomic with respect to the other thread. On a
// worker thread each operation is also a halting point: once the run is halted, the next operation
// throws platform::Halted instead of touching the window.
class MainWindow {
 public:
  explicit MainWindow(UiHost& host);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  UiHost& Host() { return host_; }

  // --- control operations ---
  std::string Text(std::string_view control) const;
  void SetText(std::string_view control, const std::string& text);
  void AppendText(std::string_view control, const std::string& text);

  int Checked(std::string_view control) const;
  void SetChecked(std::string_view control, int checked);

  int SelectedIndex(std::string_view control) const;
  void SetSelectedIndex(std::string_view control, int index);
  std::string ItemText(std::string_view control, int index) const;
  int ItemCount(std::string_view control) const;
  void AddItem(std::string_view control, const std::string& text);
  void ClearItems(std::string_view control);

  int CurrentPage(std::string_view container) const;
  void SetCurrentPage(std::string_view container, int page);

  int ScrollPosition(std::string_view scroll_bar) const;
  int ScrollMaximum(std::string_view scroll_bar) const;
  void SetScrollMaximum(std::string_view scroll_bar, int maximum);

  int Top(std::string_view control) const;
  void SetTop(std::string_view control, int top);
  int Height(std::string_view control) const;

  // Effective visibility: own flag, parent effectively visible, page current.
  bool IsVisible(std::string_view control) const;
  // Sets a control's own visible flag. The window as delivered never calls it: its feature switches
  // stay hidden. It is for front ends and tests that build a variant with a switch shown.
  void SetOwnVisible(std::string_view control, bool visible);
  bool IsEnabled(std::string_view control) const;
  void SetEnabled(std::string_view control, bool enabled);

  int InsertRow(std::string_view list_view);
  void SetCell(std::string_view list_view, int row, int column, const std::string& text);
  std::string Cell(std::string_view list_view, int row, int column) const;
  int RowCount(std::string_view list_view) const;
  void DeleteRow(std::string_view list_view, int row);
  void DeleteAllRows(std::string_view list_view);
  // First row whose cell in the column equals the text; ASCII letters compare without case when
  // asked, as the list view's own label search does. -1 when there is none.
  int FindRow(std::string_view list_view, const std::string& text, int column,
              bool ignore_case = false) const;
  int CurrentRow(std::string_view list_view) const;

  void Navigate(std::string_view pane, const std::string& address);
  std::string Address(std::string_view pane) const;

  void MessageBox(const std::string& text);
  void OpenAddress(const std::string& address);
  void RunProgram(const std::string& program, const std::vector<std::string>& arguments);
  void Close();

  // --- the layout, read-only ---
  std::vector<std::string> ControlNames() const;  // in layout order
  // A snapshot of one control's state, taken under the lock (for views).
  Control Snapshot(std::string_view control) const;

  // --- events (front ends and tests) ---
  using Handler = std::function<void()>;
  void SetHandler(std::string_view control, Event event, Handler handler);
  // Dispatches to the registered handler; false when there is none.
  bool Raise(std::string_view control, Event event);
  // A user's click: takes no effect on a control that is disabled or not effectively visible;
  // otherwise toggles a check box, checks a radio button and unchecks the others of its group,
  // then raises the click event.
  bool UserClick(std::string_view control);
  // A user's selection in a list or combo box, a typed text, a scroll, a picked row: the state
  // changes as the user made it, then the event (if the control has one) is raised.
  bool UserSelect(std::string_view control, int index);
  void UserType(std::string_view control, const std::string& text);
  bool UserScroll(std::string_view scroll_bar, int position);
  void UserPickRow(std::string_view list_view, int row);

  using Observer = std::function<void(const Change&)>;
  // Observers are called after the change, outside the model lock, on the thread that made it.
  int AddObserver(Observer observer);
  void RemoveObserver(int id);

 private:
  template <typename Result, typename Op>
  Result Read(std::string_view control, Op op) const;
  template <typename Op>
  void Write(std::string_view control, Property property, Op op);

  Control& FindLocked(std::string_view control);
  const Control& FindLocked(std::string_view control) const;
  bool IsVisibleLocked(const Control& control) const;
  void Notify(const Change& change);

  UiHost& host_;
  mutable std::mutex mutex_;
  std::vector<Control> controls_;
  std::map<std::string, std::size_t, std::less<>> index_;
  std::map<std::pair<std::string, Event>, Handler> handlers_;
  std::mutex observers_mutex_;
  std::map<int, Observer> observers_;
  int next_observer_id_ = 1;
};

}  // namespace pagoling::ui
