#include "gui/qt_host.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QWebEngineView>
#include <atomic>
#include <fstream>
#include <thread>

#include "gui/gbk_text.h"
#include "gui_test_support.h"
#include "platform/cancel.h"
#include "platform/codepage.h"
#include "support/temp_dir.h"

namespace pagoling::gui {
namespace {

using literals::operator""_gbk;
using testing::WaitFor;

QMessageBox* OpenBox() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box != nullptr && box->isVisible()) return box;
  }
  return nullptr;
}

// A worker of a run: its message box blocks it, not the GUI thread.
class BoxWorker {
 public:
  BoxWorker(QtHost& host, const std::string& text)
      : thread_([this, &host, text] {
          platform::ScopedThreadToken bound(token_);
          host.MessageBox(text);
          returned_ = true;
        }) {}
  ~BoxWorker() {
    token_.Cancel();
    thread_.join();
  }
  BoxWorker(const BoxWorker&) = delete;
  BoxWorker& operator=(const BoxWorker&) = delete;

  platform::CancelToken& Token() { return token_; }
  bool Returned() const { return returned_; }

 private:
  platform::CancelToken token_;
  std::atomic<bool> returned_{false};
  std::thread thread_;
};

TEST(QtHostTest, AWorkersMessageBoxWaitsForTheUserWhileTheEventLoopRuns) {
  QtHost host;
  BoxWorker worker(host, "请登陆阿里妈妈"_gbk);
  ASSERT_TRUE(WaitFor([] { return OpenBox() != nullptr; }));
  QMessageBox* box = OpenBox();
  EXPECT_EQ(box->windowTitle(), QStringLiteral("信息："));
  EXPECT_EQ(box->text(), QStringLiteral("请登陆阿里妈妈"));
  EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
  QTest::qWait(100);
  EXPECT_FALSE(worker.Returned());

  box->button(QMessageBox::Ok)->click();
  EXPECT_TRUE(WaitFor([&] { return worker.Returned(); }));
}

TEST(QtHostTest, AWorkersMessageBoxReturnsAndClosesWhenTheRunIsHalted) {
  QtHost host;
  BoxWorker worker(host, "没有输入关键词"_gbk);
  ASSERT_TRUE(WaitFor([] { return OpenBox() != nullptr; }));

  worker.Token().Cancel();
  EXPECT_TRUE(WaitFor([&] { return worker.Returned(); }));
  EXPECT_TRUE(WaitFor([] { return OpenBox() == nullptr; }));
}

TEST(QtHostTest, APanesAddressIsWhatItShowsAndAWorkerCanReadIt) {
  if (!testing::WebEngineWorks()) GTEST_SKIP() << "Chromium did not start in this environment";
  pagoling::testing::TempDir folder;
  const std::filesystem::path page = folder.Path() / "帮助.htm";
  std::ofstream(page) << "<html><body>help</body></html>";

  QtHost host;
  QWebEngineView pane;
  host.AttachPane("超文本浏览框3", &pane);
  EXPECT_EQ(host.CurrentAddress("超文本浏览框3"), "");

  // A worker navigates with a GBK file path; the pane shows it as a file address.
  std::thread worker([&] { host.Navigate("超文本浏览框3", folder.Gbk() + "\\帮助.htm"_gbk); });
  worker.join();
  const std::string expected =
      ToGbk(QUrl::fromLocalFile(QString::fromStdString(page.string())).toString());
  ASSERT_TRUE(WaitFor([&] { return host.CurrentAddress("超文本浏览框3") == expected; }));
  EXPECT_EQ(pane.url().toLocalFile().toStdString(), page.string());

  std::string read_by_worker;
  std::thread reader([&] { read_by_worker = host.CurrentAddress("超文本浏览框3"); });
  reader.join();
  EXPECT_EQ(read_by_worker, expected);
}

}  // namespace
}  // namespace pagoling::gui
