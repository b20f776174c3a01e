#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/platform_steps.h"
#include "generate/generation_run.h"
#include "net/endpoints.h"
#include "platform/pacer.h"
#include "ui/main_window.h"
#include "ui/ui_host.h"

namespace pagoling::app {

// The settings file in the run directory, which also holds the endpoints.
std::string ConfigFilePath();
// The help page shipped next to the program.
std::string ShippedHelpPage();

// The main window with everything behind it: the run's steps, the generation run and the handlers
// of every control event. Front ends create one, call InitMainWindow, raise the window's events,
// and call ShutdownMainWindow when the window goes away.
class Application {
 public:
  // `pacer` paces every run; `endpoints` say where the platform and the short-link services are.
  Application(ui::UiHost& host, platform::Pacer& pacer, net::Endpoints endpoints);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The window's look, applied first at start-up (the desktop window supplies its own; headless
  // there is none).
  void SetApplyLook(std::function<void()> apply_look) { apply_look_ = std::move(apply_look); }

  // The created handler: look, options pane, template list, default selections, help page,
  // StopFlag, settings file, in that order.
  void InitMainWindow();
  // The about-to-be-destroyed handler: ends a running worker, then saves the settings. Runs once;
  // false when the settings could not be saved, so the front end can say so.
  bool ShutdownMainWindow();
  // Ends a running worker and leaves the settings file as it was (the command line without
  // --save-settings); the window's shutdown then does nothing more.
  void ShutdownWithoutSaving();

  ui::MainWindow& Window() { return window_; }
  generate::Generation& Generation() { return generation_; }
  const net::Endpoints& Endpoints() const { return endpoints_; }
  std::string HelpPageUrl() const;

 private:
  void RegisterHandlers();

  net::Endpoints endpoints_;
  ui::MainWindow window_;
  PlatformSteps steps_;
  generate::Generation generation_;
  std::function<void()> apply_look_;
  bool shut_down_ = false;
};

// What runs as the program exits, after the window is gone.
void ReleaseGlobals();

}  // namespace pagoling::app
