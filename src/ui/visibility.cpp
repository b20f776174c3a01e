#include <mutex>

#include "ui/main_window.h"

namespace pagoling::ui {

void MainWindow::SetOwnVisible(std::string_view control, bool visible) {
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    Control& c = FindLocked(control);
    changed = c.visible != visible;
    c.visible = visible;
  }
  if (changed) Notify({std::string(control), Property::kVisible});
}

}  // namespace pagoling::ui
