#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ui/ui_host.h"

namespace pagoling::ui {

// The host without a window: message boxes count as closed at once (and can be passed on, as the
// command line prints them), panes keep the address they were sent to, programs are recorded and
// not started.
class HeadlessHost final : public UiHost {
 public:
  struct ProgramRun {
    std::string program;
    std::vector<std::string> arguments;
  };

  void MessageBox(const std::string& text) override;
  void Navigate(const std::string& pane, const std::string& address) override;
  std::string CurrentAddress(const std::string& pane) override;
  void OpenAddress(const std::string& address) override;
  void RunProgram(const std::string& program, const std::vector<std::string>& arguments) override;
  void CloseWindow() override;

  // Called with each message box text (GBK) before the box counts as closed.
  void OnMessageBox(std::function<void(const std::string&)> listener);

  std::vector<std::string> MessageBoxes() const;
  std::vector<std::string> OpenedAddresses() const;
  std::vector<ProgramRun> ProgramsRun() const;
  bool WindowClosed() const;

 private:
  mutable std::mutex mutex_;
  std::function<void(const std::string&)> message_listener_;
  std::vector<std::string> message_boxes_;
  std::map<std::string, std::string> pane_addresses_;
  std::vector<std::string> opened_addresses_;
  std::vector<ProgramRun> programs_run_;
  bool window_closed_ = false;
};

}  // namespace pagoling::ui
