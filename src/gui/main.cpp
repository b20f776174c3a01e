#include <unistd.h>

#include <QApplication>
#include <QWebEngineProfile>
#include <cstdlib>
#include <iostream>

#include "app/application.h"
#include "gui/cookie_bridge.h"
#include "gui/look.h"
#include "gui/main_view.h"
#include "gui/qt_host.h"
#include "net/endpoints.h"
#include "net/http_cookie_store.h"
#include "platform/codepage.h"
#include "platform/pacer.h"

namespace {

// Chromium reads these as it starts, so they are set before the application exists.
void PrepareWebEngine() {
  if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const bool offscreen = platform != nullptr && std::string(platform) == "offscreen";
  const bool display =
      std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
  if (offscreen || !display) {
    const char* flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
    std::string all = flags != nullptr ? flags : "";
    if (all.find("--disable-gpu") == std::string::npos) all += " --disable-gpu";
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", all.c_str(), 1);
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace pagoling;
  PrepareWebEngine();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("pagoling"));

  const auto file = net::CookieStore::DefaultFile();
  for (const std::string& warning : net::CookieStore::Shared().Open(file).warnings) {
    std::cerr << "pagoling: " << file.string() << ": " << warning << "\n";
  }

  int exit_code = 0;
  {
    // Declared first so it outlives the login pane's page.
    QWebEngineProfile login_profile(QStringLiteral("pagoling"));
    gui::QtHost host;
    platform::SteadyPacer pacer;
    app::Application shell(host, pacer, net::LoadEndpoints(app::ConfigFilePath()));
    gui::MainView view(shell.Window(), host, &login_profile);
    gui::CookieBridge bridge(*login_profile.cookieStore(), net::CookieStore::Shared());

    shell.SetApplyLook([&application] { gui::ApplyLook(application); });
    // Whichever comes first, closing the window or leaving the event loop, saves the settings.
    const auto shut_down = [&shell, &host] {
      if (!shell.ShutdownMainWindow()) {
        host.MessageBox(platform::GbkFromUtf8(
            "设置未能保存到 Config.ini：程序所在的文件夹不可写，或磁盘已满。"));
      }
    };
    view.SetOnClose(shut_down);
    host.SetCloseWindow([&view] { view.close(); });

    shell.InitMainWindow();
    view.show();
    exit_code = QApplication::exec();
    shut_down();
  }
  net::CookieStore::Shared().Close();
  app::ReleaseGlobals();
  return exit_code;
}
