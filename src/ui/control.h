#pragma once

#include <string>
#include <vector>

namespace pagoling::ui {

enum class ControlKind {
  kWindow,
  kEditBox,
  kLabel,
  kGroupBox,
  kButton,
  kImageButton,
  kCheckBox,
  kRadioButton,
  kComboBox,
  kListBox,
  kListView,
  kPageContainer,
  kScrollBar,
  kFrame,
  kBrowserPane,
  kSeparatorBar,
  kHyperlinkBox
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Column {
  std::string caption;  // GBK
  int width = 0;
};

// Edit box traits that the view needs and the model keeps.
struct EditTraits {
  bool multi_line = false;
  bool vertical_scroll = false;
  bool horizontal_scroll = false;
  bool integer_filter = false;  // only digits and the minus sign may be typed
  bool centred = false;
};

// One control of the main window with its state. Names are UTF-8 (they are identifiers, not the
// system's text); every text is GBK.
struct Control {
  std::string name;
  ControlKind kind = ControlKind::kLabel;
  std::string parent;  // empty for the window itself
  int page = -1;       // for a child of a page container: its page; otherwise -1
  Rect geometry;
  bool visible = true;  // own flag
  bool enabled = true;

  std::string text;  // edit text or caption
  EditTraits edit;
  int checked = 0;
  std::vector<std::string> items;
  int selected = -1;
  std::vector<Column> columns;
  std::vector<std::vector<std::string>> rows;
  int current_row = -1;
  int page_count = 0;
  int current_page = 0;
  int scroll_minimum = 0;
  int scroll_maximum = 0;
  int scroll_position = 0;
  int scroll_page_step = 0;
  int scroll_line_step = 0;
};

// The layout as created: every control in its initial state, parents before children.
std::vector<Control> InitialLayout();

// The window's own caption, size and place.
inline constexpr const char* kMainWindowName = "MainWindow";

}  // namespace pagoling::ui
