#include "ui/main_window.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "platform/cancel.h"

namespace pagoling::ui {
namespace {

using K = ControlKind;
using Kinds = std::initializer_list<ControlKind>;

constexpr Kinds kCaptioned = {K::kWindow,   K::kEditBox,     K::kLabel,    K::kGroupBox,
                              K::kButton,   K::kImageButton, K::kCheckBox, K::kRadioButton,
                              K::kComboBox, K::kHyperlinkBox};
constexpr Kinds kEditable = {K::kEditBox};
constexpr Kinds kCheckable = {K::kCheckBox, K::kRadioButton};
constexpr Kinds kItemLists = {K::kComboBox, K::kListBox};
constexpr Kinds kPageContainers = {K::kPageContainer};
constexpr Kinds kScrollBars = {K::kScrollBar};
constexpr Kinds kListViews = {K::kListView};
constexpr Kinds kBrowserPanes = {K::kBrowserPane};
constexpr Kinds kTypable = {K::kEditBox, K::kComboBox};

void Require(const Control& control, Kinds kinds, std::string_view operation) {
  if (std::find(kinds.begin(), kinds.end(), control.kind) == kinds.end()) {
    throw UnknownControl(std::string(operation) + " is no operation of " + control.name);
  }
}

bool InRange(int index, std::size_t size) {
  return index >= 0 && static_cast<std::size_t>(index) < size;
}

// A combo box shows the selected item in its edit field; no selection empties it.
void Select(Control& control, int index) {
  control.selected = index;
  if (control.kind == K::kComboBox) {
    control.text = index < 0 ? std::string() : control.items[static_cast<std::size_t>(index)];
  }
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Only single-byte letters fold: the trail byte of a GBK character may look like an ASCII letter
// and must still match exactly.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (static_cast<unsigned char>(a[i]) >= 0x80) {
      if (a[i] != b[i]) return false;
      if (++i < a.size() && a[i] != b[i]) return false;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

std::string TypedText(const Control& control, const std::string& typed) {
  if (!control.edit.integer_filter) return typed;
  std::string kept;
  for (char c : typed) {
    if ((c >= '0' && c <= '9') || c == '-') kept.push_back(c);
  }
  return kept;
}

}  // namespace

MainWindow::MainWindow(UiHost& host) : host_(host), controls_(InitialLayout()) {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (!index_.emplace(controls_[i].name, i).second) {
      throw std::logic_error("the layout names two controls " + controls_[i].name);
    }
  }
}

// Every operation is one effect of the calling worker's run (a halting point) and holds the model
// lock inside it: the effect lock comes first, so Cancel never waits on a thread that waits for it.
template <typename Result, typename Op>
Result MainWindow::Read(std::string_view control, Op op) const {
  Result result{};
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    result = op(FindLocked(control));
  });
  return result;
}

// The op tells whether it changed anything; observers hear only of real changes, after the lock.
template <typename Op>
void MainWindow::Write(std::string_view control, Property property, Op op) {
  bool changed = false;
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    changed = op(FindLocked(control));
  });
  if (changed) Notify({std::string(control), property});
}

std::string MainWindow::Text(std::string_view control) const {
  return Read<std::string>(control, [](const Control& c) {
    Require(c, kCaptioned, "Text");
    return c.text;
  });
}

void MainWindow::SetText(std::string_view control, const std::string& text) {
  Write(control, Property::kText, [&](Control& c) {
    Require(c, kCaptioned, "SetText");
    c.text = text;
    return true;
  });
}

void MainWindow::AppendText(std::string_view control, const std::string& text) {
  Write(control, Property::kText, [&](Control& c) {
    Require(c, kEditable, "AppendText");
    c.text += text;
    return true;
  });
}

int MainWindow::Checked(std::string_view control) const {
  return Read<int>(control, [](const Control& c) {
    Require(c, kCheckable, "Checked");
    return c.checked;
  });
}

void MainWindow::SetChecked(std::string_view control, int checked) {
  Write(control, Property::kChecked, [&](Control& c) {
    Require(c, kCheckable, "SetChecked");
    c.checked = checked != 0 ? 1 : 0;
    return true;
  });
}

int MainWindow::SelectedIndex(std::string_view control) const {
  return Read<int>(control, [](const Control& c) {
    Require(c, kItemLists, "SelectedIndex");
    return c.selected;
  });
}

void MainWindow::SetSelectedIndex(std::string_view control, int index) {
  Write(control, Property::kSelection, [&](Control& c) {
    Require(c, kItemLists, "SetSelectedIndex");
    if (index != -1 && !InRange(index, c.items.size())) return false;
    Select(c, index);
    return true;
  });
}

std::string MainWindow::ItemText(std::string_view control, int index) const {
  return Read<std::string>(control, [&](const Control& c) {
    Require(c, kItemLists, "ItemText");
    return InRange(index, c.items.size()) ? c.items[static_cast<std::size_t>(index)]
                                          : std::string();
  });
}

int MainWindow::ItemCount(std::string_view control) const {
  return Read<int>(control, [](const Control& c) {
    Require(c, kItemLists, "ItemCount");
    return static_cast<int>(c.items.size());
  });
}

void MainWindow::AddItem(std::string_view control, const std::string& text) {
  Write(control, Property::kItems, [&](Control& c) {
    Require(c, kItemLists, "AddItem");
    c.items.push_back(text);
    return true;
  });
}

void MainWindow::ClearItems(std::string_view control) {
  Write(control, Property::kItems, [](Control& c) {
    Require(c, kItemLists, "ClearItems");
    c.items.clear();
    Select(c, -1);
    return true;
  });
}

int MainWindow::CurrentPage(std::string_view container) const {
  return Read<int>(container, [](const Control& c) {
    Require(c, kPageContainers, "CurrentPage");
    return c.current_page;
  });
}

void MainWindow::SetCurrentPage(std::string_view container, int page) {
  Write(container, Property::kCurrentPage, [&](Control& c) {
    Require(c, kPageContainers, "SetCurrentPage");
    if (page < 0 || page >= c.page_count) return false;
    c.current_page = page;
    return true;
  });
}

int MainWindow::ScrollPosition(std::string_view scroll_bar) const {
  return Read<int>(scroll_bar, [](const Control& c) {
    Require(c, kScrollBars, "ScrollPosition");
    return c.scroll_position;
  });
}

int MainWindow::ScrollMaximum(std::string_view scroll_bar) const {
  return Read<int>(scroll_bar, [](const Control& c) {
    Require(c, kScrollBars, "ScrollMaximum");
    return c.scroll_maximum;
  });
}

void MainWindow::SetScrollMaximum(std::string_view scroll_bar, int maximum) {
  Write(scroll_bar, Property::kScroll, [&](Control& c) {
    Require(c, kScrollBars, "SetScrollMaximum");
    c.scroll_maximum = maximum;
    // A scroll bar keeps its thumb inside its range.
    c.scroll_position = std::max(c.scroll_minimum, std::min(c.scroll_position, maximum));
    return true;
  });
}

int MainWindow::Top(std::string_view control) const {
  return Read<int>(control, [](const Control& c) { return c.geometry.top; });
}

void MainWindow::SetTop(std::string_view control, int top) {
  Write(control, Property::kGeometry, [&](Control& c) {
    c.geometry.top = top;
    return true;
  });
}

int MainWindow::Height(std::string_view control) const {
  return Read<int>(control, [](const Control& c) { return c.geometry.height; });
}

bool MainWindow::IsVisible(std::string_view control) const {
  return Read<bool>(control, [this](const Control& c) { return IsVisibleLocked(c); });
}

bool MainWindow::IsEnabled(std::string_view control) const {
  return Read<bool>(control, [](const Control& c) { return c.enabled; });
}

void MainWindow::SetOwnVisible(std::string_view control, bool visible) {
  Write(control, Property::kVisible, [&](Control& c) {
    const bool changed = c.visible != visible;
    c.visible = visible;
    return changed;
  });
}

void MainWindow::SetEnabled(std::string_view control, bool enabled) {
  Write(control, Property::kEnabled, [&](Control& c) {
    c.enabled = enabled;
    return true;
  });
}

int MainWindow::InsertRow(std::string_view list_view) {
  int row = -1;
  Write(list_view, Property::kRows, [&](Control& c) {
    Require(c, kListViews, "InsertRow");
    c.rows.emplace_back(c.columns.size());
    row = static_cast<int>(c.rows.size()) - 1;
    return true;
  });
  return row;
}

void MainWindow::SetCell(std::string_view list_view, int row, int column, const std::string& text) {
  Write(list_view, Property::kCells, [&](Control& c) {
    Require(c, kListViews, "SetCell");
    if (!InRange(row, c.rows.size())) return false;
    auto& cells = c.rows[static_cast<std::size_t>(row)];
    if (!InRange(column, cells.size())) return false;
    cells[static_cast<std::size_t>(column)] = text;
    return true;
  });
}

std::string MainWindow::Cell(std::string_view list_view, int row, int column) const {
  return Read<std::string>(list_view, [&](const Control& c) {
    Require(c, kListViews, "Cell");
    if (!InRange(row, c.rows.size())) return std::string();
    const auto& cells = c.rows[static_cast<std::size_t>(row)];
    return InRange(column, cells.size()) ? cells[static_cast<std::size_t>(column)] : std::string();
  });
}

int MainWindow::RowCount(std::string_view list_view) const {
  return Read<int>(list_view, [](const Control& c) {
    Require(c, kListViews, "RowCount");
    return static_cast<int>(c.rows.size());
  });
}

void MainWindow::DeleteRow(std::string_view list_view, int row) {
  Write(list_view, Property::kRows, [&](Control& c) {
    Require(c, kListViews, "DeleteRow");
    if (!InRange(row, c.rows.size())) return false;
    c.rows.erase(c.rows.begin() + row);
    // The selection stays on the row it was on, or goes with it.
    if (c.current_row == row) {
      c.current_row = -1;
    } else if (c.current_row > row) {
      --c.current_row;
    }
    return true;
  });
}

void MainWindow::DeleteAllRows(std::string_view list_view) {
  Write(list_view, Property::kRows, [](Control& c) {
    Require(c, kListViews, "DeleteAllRows");
    c.rows.clear();
    c.current_row = -1;
    return true;
  });
}

int MainWindow::FindRow(std::string_view list_view, const std::string& text, int column,
                        bool ignore_case) const {
  return Read<int>(list_view, [&](const Control& c) {
    Require(c, kListViews, "FindRow");
    if (column < 0) return -1;
    const auto wanted = static_cast<std::size_t>(column);
    for (std::size_t row = 0; row < c.rows.size(); ++row) {
      if (wanted >= c.rows[row].size()) continue;
      const std::string& cell = c.rows[row][wanted];
      if (ignore_case ? EqualsIgnoringAsciiCase(cell, text) : cell == text) {
        return static_cast<int>(row);
      }
    }
    return -1;
  });
}

int MainWindow::CurrentRow(std::string_view list_view) const {
  return Read<int>(list_view, [](const Control& c) {
    Require(c, kListViews, "CurrentRow");
    return c.current_row;
  });
}

// The host is called inside the run's effect, so a navigation either lands before Cancel returns or
// not at all; a host must therefore not wait for the GUI thread here (it may be the one
// cancelling).
void MainWindow::Navigate(std::string_view pane, const std::string& address) {
  platform::RunThreadEffect([&] {
    {
      std::lock_guard lock(mutex_);
      Require(FindLocked(pane), kBrowserPanes, "Navigate");
    }
    host_.Navigate(std::string(pane), address);
  });
  Notify({std::string(pane), Property::kAddress});
}

// A read changes nothing, so it only has to be bracketed by halting points.
std::string MainWindow::Address(std::string_view pane) const {
  Read<bool>(pane, [](const Control& c) {
    Require(c, kBrowserPanes, "Address");
    return true;
  });
  std::string address = host_.CurrentAddress(std::string(pane));
  platform::CheckThreadToken();
  return address;
}

// The box may stay open a long time and the host returns early when the run is halted meanwhile;
// the second check keeps the worker from going on after that.
void MainWindow::MessageBox(const std::string& text) {
  platform::CheckThreadToken();
  host_.MessageBox(text);
  platform::CheckThreadToken();
}

void MainWindow::OpenAddress(const std::string& address) {
  platform::RunThreadEffect([&] { host_.OpenAddress(address); });
}

void MainWindow::RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
  platform::RunThreadEffect([&] { host_.RunProgram(program, arguments); });
}

void MainWindow::Close() {
  platform::RunThreadEffect([&] { host_.CloseWindow(); });
}

std::vector<std::string> MainWindow::ControlNames() const {
  std::vector<std::string> names;
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    names.reserve(controls_.size());
    for (const Control& control : controls_) names.push_back(control.name);
  });
  return names;
}

Control MainWindow::Snapshot(std::string_view control) const {
  return Read<Control>(control, [](const Control& c) { return c; });
}

void MainWindow::SetHandler(std::string_view control, Event event, Handler handler) {
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    FindLocked(control);
    std::pair<std::string, Event> key{std::string(control), event};
    if (handler) {
      handlers_[std::move(key)] = std::move(handler);
    } else {
      handlers_.erase(key);
    }
  });
}

bool MainWindow::Raise(std::string_view control, Event event) {
  Handler handler;
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    FindLocked(control);
    auto found = handlers_.find({std::string(control), event});
    if (found != handlers_.end()) handler = found->second;
  });
  if (!handler) return false;
  // Outside every lock: a handler reads and writes controls itself.
  handler();
  return true;
}

bool MainWindow::UserClick(std::string_view control) {
  bool takes_effect = false;
  std::vector<Change> changes;
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    Control& clicked = FindLocked(control);
    if (!clicked.enabled || !IsVisibleLocked(clicked)) return;
    takes_effect = true;
    if (clicked.kind == K::kCheckBox) {
      clicked.checked = clicked.checked != 0 ? 0 : 1;
      changes.push_back({clicked.name, Property::kChecked});
    } else if (clicked.kind == K::kRadioButton) {
      for (Control& other : controls_) {
        if (&other != &clicked && other.kind == K::kRadioButton && other.parent == clicked.parent &&
            other.checked != 0) {
          other.checked = 0;
          changes.push_back({other.name, Property::kChecked});
        }
      }
      if (clicked.checked == 0) {
        clicked.checked = 1;
        changes.push_back({clicked.name, Property::kChecked});
      }
    }
  });
  for (const Change& change : changes) Notify(change);
  return takes_effect && Raise(control, Event::kClick);
}

bool MainWindow::UserSelect(std::string_view control, int index) {
  bool takes_effect = false;
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    Control& list = FindLocked(control);
    Require(list, kItemLists, "UserSelect");
    if (!list.enabled || !IsVisibleLocked(list) || !InRange(index, list.items.size())) return;
    Select(list, index);
    takes_effect = true;
  });
  if (!takes_effect) return false;
  Notify({std::string(control), Property::kSelection});
  return Raise(control, Event::kItemSelected);
}

void MainWindow::UserType(std::string_view control, const std::string& text) {
  bool takes_effect = false;
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    Control& box = FindLocked(control);
    Require(box, kTypable, "UserType");
    if (!box.enabled || !IsVisibleLocked(box)) return;
    box.text = TypedText(box, text);
    takes_effect = true;
  });
  if (takes_effect) Notify({std::string(control), Property::kText});
}

bool MainWindow::UserScroll(std::string_view scroll_bar, int position) {
  bool takes_effect = false;
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    Control& bar = FindLocked(scroll_bar);
    Require(bar, kScrollBars, "UserScroll");
    if (!bar.enabled || !IsVisibleLocked(bar)) return;
    bar.scroll_position = std::max(bar.scroll_minimum, std::min(position, bar.scroll_maximum));
    takes_effect = true;
  });
  if (!takes_effect) return false;
  Notify({std::string(scroll_bar), Property::kScroll});
  return Raise(scroll_bar, Event::kScroll);
}

void MainWindow::UserPickRow(std::string_view list_view, int row) {
  bool takes_effect = false;
  platform::RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    Control& view = FindLocked(list_view);
    Require(view, kListViews, "UserPickRow");
    // A click below the last row leaves no row selected.
    if (!view.enabled || !IsVisibleLocked(view) || row < -1) return;
    view.current_row = InRange(row, view.rows.size()) ? row : -1;
    takes_effect = true;
  });
  if (!takes_effect) return;
  Notify({std::string(list_view), Property::kCurrentRow});
  Raise(list_view, Event::kClick);
}

int MainWindow::AddObserver(Observer observer) {
  std::lock_guard lock(observers_mutex_);
  const int id = next_observer_id_++;
  observers_.emplace(id, std::move(observer));
  return id;
}

void MainWindow::RemoveObserver(int id) {
  std::lock_guard lock(observers_mutex_);
  observers_.erase(id);
}

Control& MainWindow::FindLocked(std::string_view control) {
  return const_cast<Control&>(std::as_const(*this).FindLocked(control));
}

const Control& MainWindow::FindLocked(std::string_view control) const {
  const auto found = index_.find(control);
  if (found == index_.end()) {
    throw UnknownControl("no control is named " + std::string(control));
  }
  return controls_[found->second];
}

bool MainWindow::IsVisibleLocked(const Control& control) const {
  for (const Control* c = &control;;) {
    if (!c->visible) return false;
    if (c->parent.empty()) return true;
    const Control& parent = FindLocked(c->parent);
    if (c->page >= 0 && parent.current_page != c->page) return false;
    c = &parent;
  }
}

void MainWindow::Notify(const Change& change) {
  std::vector<Observer> observers;
  {
    std::lock_guard lock(observers_mutex_);
    for (const auto& [id, observer] : observers_) observers.push_back(observer);
  }
  for (const Observer& observer : observers) observer(change);
}

}  // namespace pagoling::ui
