#include "gui/main_view.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTreeWidget>
#include <atomic>
#include <filesystem>
#include <map>
#include <thread>

#include "app/application.h"
#include "gui/gbk_text.h"
#include "gui/qt_host.h"
#include "gui_test_support.h"
#include "platform/codepage.h"
#include "platform/pacer.h"
#include "support/temp_dir.h"

namespace pagoling::gui {
namespace {

using literals::operator""_gbk;
using testing::WaitFor;
using K = ui::ControlKind;

QString Name(const char* control) { return QString::fromUtf8(control); }

class MainViewTest : public ::testing::Test {
 protected:
  MainViewTest() {
    view_.SetOnClose([this] { shell_.ShutdownMainWindow(); });
    host_.SetCloseWindow([this] { view_.close(); });
  }

  template <typename W>
  W* Find(const char* control) {
    W* widget = view_.findChild<W*>(Name(control));
    EXPECT_NE(widget, nullptr) << control;
    return widget;
  }

  pagoling::testing::TempDir folder_;
  pagoling::testing::ScopedRunDirectory run_directory_{folder_.Gbk()};
  QtHost host_;
  platform::RecordingPacer pacer_;
  app::Application shell_{host_, pacer_, net::Endpoints{}};
  ui::MainWindow& window_ = shell_.Window();
  MainView view_{window_, host_};
};

TEST_F(MainViewTest, EveryControlHasAWidgetOfItsKindNamedAndPlacedAsTheModelSays) {
  const std::map<K, const char*> classes = {{K::kLabel, "QLabel"},
                                            {K::kGroupBox, "QGroupBox"},
                                            {K::kButton, "QPushButton"},
                                            {K::kImageButton, "QToolButton"},
                                            {K::kCheckBox, "QCheckBox"},
                                            {K::kRadioButton, "QRadioButton"},
                                            {K::kComboBox, "QComboBox"},
                                            {K::kListBox, "QListWidget"},
                                            {K::kListView, "QTreeWidget"},
                                            {K::kPageContainer, "QStackedWidget"},
                                            {K::kScrollBar, "QScrollBar"},
                                            {K::kFrame, "QFrame"},
                                            {K::kBrowserPane, "QWebEngineView"},
                                            {K::kSeparatorBar, "QFrame"},
                                            {K::kHyperlinkBox, "QLabel"}};

  for (const std::string& name : window_.ControlNames()) {
    SCOPED_TRACE(name);
    const ui::Control control = window_.Snapshot(name);
    QWidget* widget = view_.Widget(name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->objectName().toStdString(), name);
    if (control.kind == K::kWindow) {
      EXPECT_EQ(widget, &view_);
      EXPECT_EQ(view_.minimumSize(), QSize(739, 644));
      EXPECT_EQ(view_.maximumSize(), QSize(739, 644));
      EXPECT_EQ(view_.pos(), QPoint(50, 50));
      EXPECT_EQ(view_.windowTitle(), QStringLiteral("Pagoling3.1"));
      continue;
    }
    const ui::Rect& r = control.geometry;
    EXPECT_EQ(widget->geometry(), QRect(r.left, r.top, r.width, r.height));
    if (control.kind == K::kEditBox) {
      EXPECT_TRUE(widget->inherits(control.edit.multi_line ? "QPlainTextEdit" : "QLineEdit"));
    } else {
      EXPECT_TRUE(widget->inherits(classes.at(control.kind)));
    }
    // A page's children sit on that page of their container's stack.
    QWidget* parent = view_.Widget(control.parent);
    if (control.page >= 0) {
      auto* pages = qobject_cast<QStackedWidget*>(parent);
      ASSERT_NE(pages, nullptr);
      EXPECT_EQ(widget->parentWidget(), pages->widget(control.page));
    } else {
      EXPECT_EQ(widget->parentWidget(), parent);
    }
  }
}

TEST_F(MainViewTest, WidgetsAreShownExactlyWhenTheModelSaysTheyAreVisible) {
  view_.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
  for (int page : {0, 1, 2, 4}) {
    window_.SetCurrentPage("选择夹2", page);
    ASSERT_TRUE(WaitFor([&] { return Find<QStackedWidget>("选择夹2")->currentIndex() == page; }));
    for (const std::string& name : window_.ControlNames()) {
      EXPECT_EQ(view_.Widget(name)->isVisible(), window_.IsVisible(name))
          << name << " on page " << page;
    }
  }
  // The feature switches stay hidden; the label the custom run tests shows on page 1 only.
  EXPECT_TRUE(Find<QWidget>("纵向滚动条1")->isHidden());
  EXPECT_TRUE(Find<QWidget>("选择框1")->isHidden());
  window_.SetCurrentPage("选择夹2", 1);
  ASSERT_TRUE(WaitFor([&] { return Find<QWidget>("标签24")->isVisible(); }));
}

TEST_F(MainViewTest, TypingAndPickingReachTheModel) {
  view_.show();
  auto* keywords = Find<QPlainTextEdit>("编辑框1");
  QTest::keyClicks(keywords, "ab");
  QTest::keyClick(keywords, Qt::Key_Return);
  QTest::keyClicks(keywords, "c");
  EXPECT_EQ(window_.Text("编辑框1"), "ab\r\nc");

  QTest::keyClicks(Find<QLineEdit>("编辑框7"), "1x2-");
  EXPECT_EQ(window_.Text("编辑框7"), "12-");

  auto* mm = Find<QLineEdit>("mm号编辑框");
  mm->clear();
  QInputMethodEvent typed;
  typed.setCommitString(QStringLiteral("连衣裙"));
  QApplication::sendEvent(mm, &typed);
  EXPECT_EQ(window_.Text("mm号编辑框"), "连衣裙"_gbk);

  window_.SetSelectedIndex("组合框1", 0);
  auto* sort = Find<QComboBox>("组合框1");
  ASSERT_TRUE(WaitFor([&] { return sort->currentIndex() == 0; }));
  QTest::keyClick(sort, Qt::Key_Down);
  EXPECT_EQ(window_.SelectedIndex("组合框1"), 1);

  int selected_events = 0;
  window_.SetHandler("列表框1", ui::Event::kItemSelected, [&] { ++selected_events; });
  window_.AddItem("列表框1", "默认"_gbk);
  window_.AddItem("列表框1", "蓝色"_gbk);
  auto* templates = Find<QListWidget>("列表框1");
  ASSERT_TRUE(WaitFor([&] { return templates->count() == 2; }));
  EXPECT_EQ(templates->item(1)->text(), QStringLiteral("蓝色"));
  const QRect second = templates->visualItemRect(templates->item(1));
  QTest::mouseClick(templates->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(window_.SelectedIndex("列表框1"), 1);
  EXPECT_EQ(selected_events, 1);
}

TEST_F(MainViewTest, ChangesMadeOnAnotherThreadShowOnceTheEventLoopRuns) {
  std::string log;
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i) {
      const std::string line = "第" + std::to_string(i) + "行\r\n";
      window_.AppendText("编辑框8", platform::GbkFromUtf8(line));
      log += line;
    }
    const int row = window_.InsertRow("超级列表框1");
    window_.SetCell("超级列表框1", row, 1, "商品"_gbk);
    window_.SetCurrentPage("选择夹2", 2);
    window_.SetChecked("单选框4", 1);
  });
  worker.join();

  // Nothing was drawn from the worker: the widgets change only on the GUI thread.
  auto* run_log = Find<QPlainTextEdit>("编辑框8");
  EXPECT_TRUE(run_log->toPlainText().isEmpty());

  const QString expected = QString::fromStdString(log).replace(QStringLiteral("\r\n"), "\n");
  ASSERT_TRUE(WaitFor([&] { return run_log->toPlainText() == expected; }));
  auto* products = Find<QTreeWidget>("超级列表框1");
  ASSERT_EQ(products->topLevelItemCount(), 1);
  EXPECT_EQ(products->topLevelItem(0)->text(1), QStringLiteral("商品"));
  EXPECT_EQ(Find<QStackedWidget>("选择夹2")->currentIndex(), 2);
  EXPECT_TRUE(Find<QAbstractButton>("单选框4")->isChecked());
}

TEST_F(MainViewTest, RadioButtonsFollowTheModelsGroupAndSwitchThePage) {
  view_.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
  auto* help = Find<QAbstractButton>("单选框1");
  auto* run_log = Find<QAbstractButton>("单选框4");
  window_.SetChecked("单选框1", 1);
  ASSERT_TRUE(WaitFor([&] { return help->isChecked(); }));

  QTest::mouseClick(run_log, Qt::LeftButton);
  EXPECT_EQ(window_.CurrentPage("选择夹2"), 2);
  EXPECT_EQ(window_.Checked("单选框4"), 1);
  EXPECT_EQ(window_.Checked("单选框1"), 0);
  ASSERT_TRUE(WaitFor([&] { return Find<QStackedWidget>("选择夹2")->currentIndex() == 2; }));
  EXPECT_TRUE(run_log->isChecked());
  EXPECT_FALSE(help->isChecked());

  // A second click on a checked button leaves it checked, as the model has it.
  QTest::mouseClick(run_log, Qt::LeftButton);
  QTest::qWait(50);
  EXPECT_EQ(window_.Checked("单选框4"), 1);
  EXPECT_TRUE(run_log->isChecked());
}

TEST_F(MainViewTest, TheExitButtonClosesTheWindowAfterTheShutdownSavedTheSettings) {
  view_.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
  window_.SetText("编辑框9", "html");
  const std::filesystem::path settings = folder_.Path() / "Config.ini";
  ASSERT_FALSE(std::filesystem::exists(settings));

  QTest::mouseClick(Find<QAbstractButton>("超级按钮4"), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return !view_.isVisible(); }));
  EXPECT_TRUE(std::filesystem::exists(settings));
}

}  // namespace
}  // namespace pagoling::gui
