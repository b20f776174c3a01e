#pragma once

#include <string>
#include <vector>

namespace pagoling::ui {

// What the window model needs from outside: the message box, the three browser panes, the default
// web browser and starting programs. Texts and addresses are GBK. The desktop window implements it
// with real widgets; HeadlessHost serves tests and the command line.
class UiHost {
 public:
  virtual ~UiHost() = default;

  // A task-modal box captioned "信息：" with one OK button; returns when it is closed. Called from
  // a worker it blocks that worker only, and it returns early when the worker's run is halted.
  virtual void MessageBox(const std::string& text) = 0;

  // The panes are named by their controls: 超文本浏览框1, 超文本浏览框2, 超文本浏览框3.
  virtual void Navigate(const std::string& pane, const std::string& address) = 0;
  virtual std::string CurrentAddress(const std::string& pane) = 0;

  virtual void OpenAddress(const std::string& address) = 0;

  // Starts a program without waiting. Program and arguments are in the file system's own encoding
  // (UTF-8 here), passed as they are and never through a shell, so a folder name with spaces or
  // shell characters reaches the program whole.
  virtual void RunProgram(const std::string& program,
                          const std::vector<std::string>& arguments) = 0;

  // Closing the main window; the front end ends its loop after the shutdown handler ran.
  virtual void CloseWindow() = 0;
};

}  // namespace pagoling::ui
