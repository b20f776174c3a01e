#include "gui/main_view.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextCursor>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "gui/gbk_text.h"
#include "gui/gui_relay.h"
#include "gui/look.h"
#include "gui/qt_host.h"
#include "ui/control_names.h"

namespace pagoling::gui {
namespace {

using ui::Control;
using K = ui::ControlKind;

// The pane that shows the platform's login pages and shares its cookies with the requests.
using ui::kLoginPane;
// The toolbar overlaps the main area's page header, and is drawn over it.
constexpr const char* kToolbar = "分组框20";

QRect Geometry(const Control& control) {
  const ui::Rect& r = control.geometry;
  return {r.left, r.top, r.width, r.height};
}

// Check boxes and radio buttons leave their state to the model: a click only asks the model, which
// toggles, unchecks the group and answers with a change. Qt's own toggling and auto-exclusive
// groups would fight it.
class ModelCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

class ModelRadioButton : public QRadioButton {
 public:
  explicit ModelRadioButton(QWidget* parent) : QRadioButton(parent) { setAutoExclusive(false); }

 protected:
  void nextCheckState() override {}
};

// A report-style list view that tells which row a click landed on, -1 below the last row.
class PickListView : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;
  std::function<void(int)> on_pick;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    QTreeWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (on_pick) on_pick(index.isValid() ? index.row() : -1);
  }
};

void SetItems(QListWidget* list, const std::vector<std::string>& items) {
  list->clear();
  for (const std::string& item : items) list->addItem(FromGbk(item));
}

void SetItems(QComboBox* combo, const std::vector<std::string>& items) {
  combo->clear();
  for (const std::string& item : items) combo->addItem(FromGbk(item));
}

void ShowText(QPlainTextEdit* edit, const QString& text) {
  const QString shown = edit->toPlainText();
  if (shown == text) return;
  // Appending keeps a long run log cheap and scrolls to the new end, as the model's append asks.
  if (!shown.isEmpty() && text.startsWith(shown)) {
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text.mid(shown.size()));
    edit->moveCursor(QTextCursor::End);
    edit->ensureCursorVisible();
    return;
  }
  edit->setPlainText(text);
}

void ShowRows(QTreeWidget* view, const std::vector<std::vector<std::string>>& rows,
              std::vector<std::vector<std::string>>& shown) {
  while (view->topLevelItemCount() > static_cast<int>(rows.size())) {
    delete view->takeTopLevelItem(view->topLevelItemCount() - 1);
    shown.pop_back();
  }
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (row == shown.size()) {
      view->addTopLevelItem(new QTreeWidgetItem());
      shown.emplace_back();
    }
    QTreeWidgetItem* item = view->topLevelItem(static_cast<int>(row));
    std::vector<std::string>& cells = shown[row];
    cells.resize(rows[row].size());
    for (std::size_t column = 0; column < rows[row].size(); ++column) {
      if (cells[column] == rows[row][column]) continue;
      cells[column] = rows[row][column];
      item->setText(static_cast<int>(column), FromGbk(cells[column]));
    }
  }
}

}  // namespace

MainView::MainView(ui::MainWindow& window, QtHost& host, QWebEngineProfile* login_profile)
    : window_(window), relay_(std::make_shared<GuiRelay>(this)) {
  Build(host, login_profile);
  host.SetDialogParent(this);
  observer_ = window_.AddObserver([relay = relay_, this](const ui::Change& change) {
    relay->Post([this, control = change.control] { Changed(control); });
  });
}

MainView::~MainView() {
  window_.RemoveObserver(observer_);
  relay_->Detach();
  // A page must go before the profile it uses, which its owner destroys after this window.
  for (QWebEngineView* pane : panes_) delete pane;
}

QWidget* MainView::Widget(const std::string& control) const {
  const auto found = widgets_.find(control);
  return found == widgets_.end() ? nullptr : found->second;
}

void MainView::Build(QtHost& host, QWebEngineProfile* login_profile) {
  for (const std::string& name : window_.ControlNames()) {
    const Control control = window_.Snapshot(name);
    QWidget* widget =
        control.kind == K::kWindow ? this : Create(control, ParentOf(control), host, login_profile);
    widget->setObjectName(QString::fromStdString(name));
    widgets_[name] = widget;
    if (control.kind == K::kWindow) {
      setFixedSize(control.geometry.width, control.geometry.height);
      move(control.geometry.left, control.geometry.top);
    } else {
      widget->setGeometry(Geometry(control));
    }
    Connect(control, widget);
    Apply(control, widget);
  }
  if (QWidget* toolbar = Widget(kToolbar)) {
    toolbar->setProperty("toolbar", true);
    toolbar->setAutoFillBackground(true);
    toolbar->raise();
  }
}

QWidget* MainView::ParentOf(const Control& control) const {
  QWidget* parent = widgets_.at(control.parent);
  if (control.page < 0) return parent;
  return pages_.at(control.parent).at(static_cast<std::size_t>(control.page));
}

QWidget* MainView::Create(const Control& control, QWidget* parent, QtHost& host,
                          QWebEngineProfile* login_profile) {
  switch (control.kind) {
    case K::kWindow:
      return this;
    case K::kEditBox: {
      if (control.edit.multi_line) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setVerticalScrollBarPolicy(control.edit.vertical_scroll ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(control.edit.horizontal_scroll ? Qt::ScrollBarAsNeeded
                                                                          : Qt::ScrollBarAlwaysOff);
        edit->setLineWrapMode(control.edit.horizontal_scroll ? QPlainTextEdit::NoWrap
                                                             : QPlainTextEdit::WidgetWidth);
        return edit;
      }
      auto* edit = new QLineEdit(parent);
      if (control.edit.centred) edit->setAlignment(Qt::AlignCenter);
      if (control.edit.integer_filter) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-0-9]*")), edit));
      }
      return edit;
    }
    case K::kLabel: {
      auto* label = new QLabel(parent);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      if (control.parent == ui::kMainWindowName) label->setProperty("footer", true);
      return label;
    }
    case K::kHyperlinkBox: {
      auto* label = new QLabel(parent);
      label->setProperty("footer", true);
      label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
      return label;
    }
    case K::kGroupBox:
      return new QGroupBox(parent);
    case K::kButton:
      return new QPushButton(parent);
    case K::kImageButton: {
      auto* button = new QToolButton(parent);
      const QSize picture(control.geometry.width - 6, control.geometry.height - 6);
      button->setIconSize(picture);
      button->setIcon(ToolbarPicture(control.name, picture));
      button->setToolButtonStyle(Qt::ToolButtonIconOnly);
      return button;
    }
    case K::kCheckBox:
      return new ModelCheckBox(parent);
    case K::kRadioButton:
      return new ModelRadioButton(parent);
    case K::kComboBox: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      return combo;
    }
    case K::kListBox:
      return new QListWidget(parent);
    case K::kListView: {
      auto* view = new PickListView(parent);
      view->setRootIsDecorated(false);
      view->setUniformRowHeights(true);
      view->setEditTriggers(QAbstractItemView::NoEditTriggers);
      view->setSelectionBehavior(QAbstractItemView::SelectRows);
      view->setColumnCount(static_cast<int>(control.columns.size()));
      QStringList captions;
      for (const ui::Column& column : control.columns) captions << FromGbk(column.caption);
      view->setHeaderLabels(captions);
      for (std::size_t i = 0; i < control.columns.size(); ++i) {
        view->setColumnWidth(static_cast<int>(i), control.columns[i].width);
      }
      return view;
    }
    case K::kPageContainer: {
      auto* pages = new QStackedWidget(parent);
      pages->setFrameShape(QFrame::NoFrame);
      std::vector<QWidget*>& page_widgets = pages_[control.name];
      for (int i = 0; i < control.page_count; ++i) {
        auto* page = new QWidget(pages);
        pages->addWidget(page);
        page_widgets.push_back(page);
      }
      // A container with page captions shows them as a header; the others switch in code only.
      if (!control.items.empty()) {
        auto* header = new QTabBar(pages);
        for (const std::string& caption : control.items) header->addTab(FromGbk(caption));
        header->setGeometry(QRect(QPoint(2, 0), header->sizeHint()));
        header->raise();
      }
      return pages;
    }
    case K::kScrollBar:
      return new QScrollBar(
          control.geometry.width > control.geometry.height ? Qt::Horizontal : Qt::Vertical, parent);
    case K::kFrame: {
      auto* frame = new QFrame(parent);
      frame->setFrameShape(QFrame::NoFrame);
      return frame;
    }
    case K::kBrowserPane: {
      auto* pane = new QWebEngineView(parent);
      if (control.name == kLoginPane && login_profile != nullptr) {
        pane->setPage(new QWebEnginePage(login_profile, pane));
      }
      host.AttachPane(control.name, pane);
      panes_.push_back(pane);
      return pane;
    }
    case K::kSeparatorBar: {
      auto* line = new QFrame(parent);
      line->setProperty("separator", true);
      line->setAutoFillBackground(true);
      return line;
    }
  }
  return new QWidget(parent);
}

void MainView::Connect(const Control& control, QWidget* widget) {
  const std::string name = control.name;
  ui::MainWindow& w = window_;
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    connect(edit, &QLineEdit::textEdited, this,
            [&w, name](const QString& text) { w.UserType(name, ToGbk(text)); });
  } else if (auto* area = qobject_cast<QPlainTextEdit*>(widget)) {
    connect(area, &QPlainTextEdit::textChanged, this, [this, &w, name, area] {
      if (refreshing_ == 0) w.UserType(name, ToGbkLines(area->toPlainText()));
    });
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    connect(button, &QAbstractButton::clicked, this, [&w, name] { w.UserClick(name); });
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    connect(combo, &QComboBox::activated, this,
            [&w, name](int index) { w.UserSelect(name, index); });
    connect(combo->lineEdit(), &QLineEdit::textEdited, this,
            [&w, name](const QString& text) { w.UserType(name, ToGbk(text)); });
  } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
    connect(list, &QListWidget::currentRowChanged, this, [this, &w, name](int row) {
      if (refreshing_ == 0 && row >= 0) w.UserSelect(name, row);
    });
  } else if (auto* view = dynamic_cast<PickListView*>(widget)) {
    view->on_pick = [this, &w, name](int row) {
      if (refreshing_ == 0) w.UserPickRow(name, row);
    };
  } else if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
    connect(bar, &QScrollBar::valueChanged, this, [this, &w, name](int position) {
      if (refreshing_ == 0) w.UserScroll(name, position);
    });
  } else if (auto* link = qobject_cast<QLabel*>(widget); link && control.kind == K::kHyperlinkBox) {
    connect(link, &QLabel::linkActivated, this,
            [&w](const QString& address) { w.OpenAddress(ToGbk(address)); });
  }
  if (widget != this && widget->focusPolicy() != Qt::NoFocus) widget->installEventFilter(this);
}

bool MainView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    window_.Raise(watched->objectName().toStdString(), ui::Event::kGotFocus);
  }
  return QWidget::eventFilter(watched, event);
}

// Changes arrive one posted call each; the redraw waits until the queue has delivered them all,
// so a burst of log lines costs one snapshot.
void MainView::Changed(const std::string& control) {
  const bool first = pending_.empty();
  pending_.insert(control);
  if (first)
    QMetaObject::invokeMethod(
        this, [this] { FlushChanges(); }, Qt::QueuedConnection);
}

void MainView::FlushChanges() {
  const std::set<std::string> controls = std::move(pending_);
  pending_.clear();
  for (const std::string& control : controls) Refresh(control);
}

void MainView::Refresh(const std::string& control) {
  QWidget* widget = Widget(control);
  if (widget != nullptr) Apply(window_.Snapshot(control), widget);
}

void MainView::Apply(const Control& control, QWidget* widget) {
  ++refreshing_;
  if (control.kind != K::kWindow) {
    if (widget->geometry() != Geometry(control)) widget->setGeometry(Geometry(control));
    if (widget->isHidden() == control.visible) widget->setVisible(control.visible);
  }
  widget->setEnabled(control.enabled);
  const QString text = FromGbk(control.text);

  switch (control.kind) {
    case K::kWindow:
      setWindowTitle(text);
      break;
    case K::kEditBox:
      if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() != text) edit->setText(text);
      } else if (auto* area = qobject_cast<QPlainTextEdit*>(widget)) {
        ShowText(area, LinesFromCrLf(text));
      }
      break;
    case K::kLabel:
      static_cast<QLabel*>(widget)->setText(text);
      break;
    case K::kHyperlinkBox:
      static_cast<QLabel*>(widget)->setText(
          QStringLiteral("<a href=\"%1\">%1</a>").arg(text.toHtmlEscaped()));
      break;
    case K::kGroupBox:
      static_cast<QGroupBox*>(widget)->setTitle(text);
      break;
    case K::kButton:
      static_cast<QPushButton*>(widget)->setText(text);
      break;
    case K::kImageButton:
      widget->setToolTip(text);
      break;
    case K::kCheckBox:
    case K::kRadioButton: {
      auto* button = static_cast<QAbstractButton*>(widget);
      button->setText(text);
      button->setChecked(control.checked != 0);
      break;
    }
    case K::kComboBox: {
      auto* combo = static_cast<QComboBox*>(widget);
      if (shown_items_[control.name] != control.items) {
        SetItems(combo, control.items);
        shown_items_[control.name] = control.items;
      }
      if (combo->currentIndex() != control.selected) combo->setCurrentIndex(control.selected);
      if (combo->currentText() != text) combo->setEditText(text);
      break;
    }
    case K::kListBox: {
      auto* list = static_cast<QListWidget*>(widget);
      if (shown_items_[control.name] != control.items) {
        SetItems(list, control.items);
        shown_items_[control.name] = control.items;
      }
      if (list->currentRow() != control.selected) list->setCurrentRow(control.selected);
      break;
    }
    case K::kListView: {
      auto* view = static_cast<QTreeWidget*>(widget);
      ShowRows(view, control.rows, shown_rows_[control.name]);
      QTreeWidgetItem* current =
          control.current_row >= 0 ? view->topLevelItem(control.current_row) : nullptr;
      if (view->currentItem() != current) view->setCurrentItem(current);
      if (current == nullptr) view->clearSelection();
      break;
    }
    case K::kPageContainer: {
      auto* pages = static_cast<QStackedWidget*>(widget);
      if (pages->currentIndex() != control.current_page) {
        pages->setCurrentIndex(control.current_page);
      }
      if (auto* header = pages->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly)) {
        header->raise();
      }
      break;
    }
    case K::kScrollBar: {
      auto* bar = static_cast<QScrollBar*>(widget);
      bar->setRange(control.scroll_minimum, control.scroll_maximum);
      bar->setPageStep(control.scroll_page_step);
      bar->setSingleStep(control.scroll_line_step);
      bar->setValue(control.scroll_position);
      break;
    }
    case K::kFrame:
    case K::kBrowserPane:
    case K::kSeparatorBar:
      break;
  }
  --refreshing_;
}

void MainView::closeEvent(QCloseEvent* event) {
  if (on_close_) on_close_();
  event->accept();
}

}  // namespace pagoling::gui
