#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

namespace pagoling::gui {

// Hands work from any thread to the GUI thread. Model observers and store listeners may still be
// running on a worker after they were removed, so the target is cleared under a lock before the
// owner goes away and later posts are dropped.
class GuiRelay {
 public:
  explicit GuiRelay(QObject* target) : target_(target) {}

  void Post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    if (target_ == nullptr) return;
    QMetaObject::invokeMethod(target_, std::move(work), Qt::QueuedConnection);
  }
  void Detach() {
    std::lock_guard lock(mutex_);
    target_ = nullptr;
  }

 private:
  std::mutex mutex_;
  QObject* target_;
};

}  // namespace pagoling::gui
