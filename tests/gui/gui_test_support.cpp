#include "gui_test_support.h"

#include <QUrl>
#include <QWebEngineView>

namespace pagoling::gui::testing {

bool WebEngineWorks() {
  static const bool works = [] {
    QWebEngineView view;
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&loaded](bool ok) { loaded = ok; });
    view.setUrl(QUrl(QStringLiteral("data:text/html,<p>probe</p>")));
    return WaitFor([&loaded] { return loaded; }, 60000);
  }();
  return works;
}

}  // namespace pagoling::gui::testing
