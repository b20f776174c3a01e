#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ui/ui_host.h"

class QWebEngineView;
class QWidget;

namespace pagoling::gui {

// The host with real widgets. It lives on the GUI thread; the worker calls it too, so every call
// that touches a widget is posted to the GUI thread and none of them waits for it, except the
// message box, which waits for the user or for the worker's run to be halted.
class QtHost final : public ui::UiHost {
 public:
  QtHost();
  ~QtHost() override;
  QtHost(const QtHost&) = delete;
  QtHost& operator=(const QtHost&) = delete;

  // The window the message boxes belong to.
  void SetDialogParent(QWidget* parent);
  // The pane widget behind a pane name; its address changes are what CurrentAddress reports.
  void AttachPane(const std::string& pane, QWebEngineView* view);
  // What closing the window does; run on the GUI thread after the calling handler has returned.
  void SetCloseWindow(std::function<void()> close);

  void MessageBox(const std::string& text) override;
  void Navigate(const std::string& pane, const std::string& address) override;
  std::string CurrentAddress(const std::string& pane) override;
  void OpenAddress(const std::string& address) override;
  void RunProgram(const std::string& program, const std::vector<std::string>& arguments) override;
  void CloseWindow() override;

 private:
  bool OnGuiThread() const;
  void OnGui(std::function<void()> work);
  void SetAddress(const std::string& pane, const std::string& address);

  QObject context_;
  QPointer<QWidget> dialog_parent_;
  std::map<std::string, QPointer<QWebEngineView>> panes_;  // GUI thread only
  std::function<void()> close_;
  std::mutex mutex_;
  std::map<std::string, std::string> addresses_;  // read by the worker
};

}  // namespace pagoling::gui
