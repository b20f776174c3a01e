#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/main_window.h"

class QWebEngineProfile;
class QWebEngineView;

namespace pagoling::gui {

class GuiRelay;
class QtHost;

// The desktop window: one widget per control of the model, named and placed as the model has it.
// The model stays the store: user input goes to its User* operations, and every change it reports
// (from the GUI thread or the worker) is redrawn from a snapshot on the GUI thread.
class MainView : public QWidget {
 public:
  // `login_profile` keeps the login pane's cookies; null gives the pane the default profile.
  MainView(ui::MainWindow& window, QtHost& host, QWebEngineProfile* login_profile = nullptr);
  ~MainView() override;
  MainView(const MainView&) = delete;
  MainView& operator=(const MainView&) = delete;

  // Runs when the window is closed, by its close box or by the model, before the widgets go.
  void SetOnClose(std::function<void()> on_close) { on_close_ = std::move(on_close); }

  // The widget of a control; null for an unknown name.
  QWidget* Widget(const std::string& control) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build(QtHost& host, QWebEngineProfile* login_profile);
  QWidget* Create(const ui::Control& control, QWidget* parent, QtHost& host,
                  QWebEngineProfile* login_profile);
  QWidget* ParentOf(const ui::Control& control) const;
  void Connect(const ui::Control& control, QWidget* widget);
  void Changed(const std::string& control);
  void FlushChanges();
  void Refresh(const std::string& control);
  void Apply(const ui::Control& control, QWidget* widget);

  ui::MainWindow& window_;
  std::map<std::string, QWidget*> widgets_;
  std::map<std::string, std::vector<QWidget*>> pages_;
  std::map<std::string, std::vector<std::string>> shown_items_;
  std::map<std::string, std::vector<std::vector<std::string>>> shown_rows_;
  std::vector<QWebEngineView*> panes_;
  std::shared_ptr<GuiRelay> relay_;
  int observer_ = 0;
  std::set<std::string> pending_;
  int refreshing_ = 0;  // widget signals during a refresh are not the user's
  std::function<void()> on_close_;
};

}  // namespace pagoling::gui
