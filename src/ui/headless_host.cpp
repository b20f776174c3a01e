#include "ui/headless_host.h"

#include <utility>

namespace pagoling::ui {

void HeadlessHost::MessageBox(const std::string& text) {
  std::function<void(const std::string&)> listener;
  {
    std::lock_guard lock(mutex_);
    message_boxes_.push_back(text);
    listener = message_listener_;
  }
  // Outside the lock: a listener may well ask the host what it recorded.
  if (listener) listener(text);
}

void HeadlessHost::Navigate(const std::string& pane, const std::string& address) {
  std::lock_guard lock(mutex_);
  pane_addresses_[pane] = address;
}

std::string HeadlessHost::CurrentAddress(const std::string& pane) {
  std::lock_guard lock(mutex_);
  const auto found = pane_addresses_.find(pane);
  return found == pane_addresses_.end() ? std::string() : found->second;
}

void HeadlessHost::OpenAddress(const std::string& address) {
  std::lock_guard lock(mutex_);
  opened_addresses_.push_back(address);
}

void HeadlessHost::RunProgram(const std::string& program,
                              const std::vector<std::string>& arguments) {
  std::lock_guard lock(mutex_);
  programs_run_.push_back({program, arguments});
}

void HeadlessHost::CloseWindow() {
  std::lock_guard lock(mutex_);
  window_closed_ = true;
}

void HeadlessHost::OnMessageBox(std::function<void(const std::string&)> listener) {
  std::lock_guard lock(mutex_);
  message_listener_ = std::move(listener);
}

std::vector<std::string> HeadlessHost::MessageBoxes() const {
  std::lock_guard lock(mutex_);
  return message_boxes_;
}

std::vector<std::string> HeadlessHost::OpenedAddresses() const {
  std::lock_guard lock(mutex_);
  return opened_addresses_;
}

std::vector<HeadlessHost::ProgramRun> HeadlessHost::ProgramsRun() const {
  std::lock_guard lock(mutex_);
  return programs_run_;
}

bool HeadlessHost::WindowClosed() const {
  std::lock_guard lock(mutex_);
  return window_closed_;
}

}  // namespace pagoling::ui
