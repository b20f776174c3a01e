#pragma once

#include <QTest>
#include <functional>

namespace pagoling::gui::testing {

// Whether Chromium starts here: a pane loads an inline page. Asked once per test program; tests
// that need a working pane skip with a reason when it does not.
bool WebEngineWorks();

// Runs the event loop until the condition holds or the time is up.
inline bool WaitFor(const std::function<bool()>& condition, int milliseconds = 15000) {
  return QTest::qWaitFor(condition, milliseconds);
}

}  // namespace pagoling::gui::testing
