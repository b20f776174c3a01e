#include "gui/qt_host.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QThread>
#include <QUrl>
#include <QWebEngineView>
#include <chrono>
#include <condition_variable>
#include <memory>

#include "gui/gbk_text.h"
#include "platform/cancel.h"
#include "platform/files.h"
#include "platform/process.h"

namespace pagoling::gui {
namespace {

QMessageBox* NewMessageBox(QWidget* parent, const QString& text) {
  auto* box = new QMessageBox(parent);
  box->setWindowTitle(QStringLiteral("信息："));
  box->setText(text);
  box->setIcon(QMessageBox::NoIcon);
  box->setStandardButtons(QMessageBox::Ok);
  box->setWindowModality(Qt::ApplicationModal);
  return box;
}

// A web address keeps its scheme; anything else is a local file path (GBK, either separator).
QUrl PaneUrl(const std::string& address) {
  const QUrl url(FromGbk(address));
  if (url.scheme().size() > 1) return url;
  return QUrl::fromLocalFile(QString::fromStdString(platform::NativePath(address).string()));
}

// What a worker waiting for its box shares with the GUI thread.
struct PendingBox {
  std::mutex mutex;
  std::condition_variable closed_wakeup;
  bool closed = false;
  bool abandoned = false;
  QPointer<QMessageBox> box;  // GUI thread only
};

}  // namespace

QtHost::QtHost() = default;
QtHost::~QtHost() = default;

void QtHost::SetDialogParent(QWidget* parent) { dialog_parent_ = parent; }

void QtHost::AttachPane(const std::string& pane, QWebEngineView* view) {
  panes_[pane] = view;
  QObject::connect(view, &QWebEngineView::urlChanged, &context_,
                   [this, pane](const QUrl& url) { SetAddress(pane, ToGbk(url.toString())); });
}

void QtHost::SetCloseWindow(std::function<void()> close) { close_ = std::move(close); }

bool QtHost::OnGuiThread() const { return QThread::currentThread() == context_.thread(); }

void QtHost::OnGui(std::function<void()> work) {
  if (OnGuiThread()) {
    work();
  } else {
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
  }
}

void QtHost::SetAddress(const std::string& pane, const std::string& address) {
  std::lock_guard lock(mutex_);
  addresses_[pane] = address;
}

void QtHost::MessageBox(const std::string& text) {
  const QString message = FromGbk(text);
  if (OnGuiThread()) {
    std::unique_ptr<QMessageBox> box(NewMessageBox(dialog_parent_, message));
    box->exec();
    return;
  }

  auto pending = std::make_shared<PendingBox>();
  QMetaObject::invokeMethod(
      &context_,
      [this, pending, message] {
        {
          std::lock_guard lock(pending->mutex);
          if (pending->abandoned) return;
        }
        QMessageBox* box = NewMessageBox(dialog_parent_, message);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(box, &QDialog::finished, [pending] {
          std::lock_guard lock(pending->mutex);
          pending->closed = true;
          pending->closed_wakeup.notify_all();
        });
        pending->box = box;
        box->show();
      },
      Qt::QueuedConnection);

  // The token's own wait cannot also watch the box, so the halt is polled at a short interval.
  platform::CancelToken* token = platform::ThisThreadToken();
  std::unique_lock lock(pending->mutex);
  while (!pending->closed) {
    if (token != nullptr && token->IsCancelled()) break;
    pending->closed_wakeup.wait_for(lock, std::chrono::milliseconds(20));
  }
  if (pending->closed) return;
  pending->abandoned = true;
  lock.unlock();
  QMetaObject::invokeMethod(
      &context_,
      [pending] {
        if (pending->box) pending->box->reject();
      },
      Qt::QueuedConnection);
}

// Posted and never waited for: the model calls this inside the worker's halting step, and the GUI
// thread may be the one halting it.
void QtHost::Navigate(const std::string& pane, const std::string& address) {
  const QUrl url = PaneUrl(address);
  OnGui([this, pane, url, address] {
    const auto found = panes_.find(pane);
    if (found != panes_.end() && found->second) {
      found->second->setUrl(url);
    } else {
      SetAddress(pane, address);  // no widget: the address is all there is
    }
  });
}

std::string QtHost::CurrentAddress(const std::string& pane) {
  std::lock_guard lock(mutex_);
  const auto found = addresses_.find(pane);
  return found == addresses_.end() ? std::string() : found->second;
}

void QtHost::OpenAddress(const std::string& address) {
  const QUrl url(FromGbk(address));
  OnGui([url] { QDesktopServices::openUrl(url); });
}

void QtHost::RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
  platform::StartProgram(program, arguments);
}

void QtHost::CloseWindow() {
  QMetaObject::invokeMethod(
      &context_,
      [this] {
        if (close_) close_();
      },
      Qt::QueuedConnection);
}

}  // namespace pagoling::gui
