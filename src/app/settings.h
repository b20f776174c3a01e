#pragma once

#include "ui/main_window.h"

// The options of the options pane kept between runs in Config.ini next to the program, section
// 配置. The controls are the only store of the options; the file is read once at start-up and
// written once at exit.
namespace pagoling::app {

// Copies the file's values into the option controls. Without a file the controls keep their
// defaults. The naming rule and the short-link keys are read only while the options scroll bar is
// visible, the switch that makes those options reachable.
void LoadSettings(ui::MainWindow& window);

// Writes the option controls into the file, creating it when missing; every other section, key
// and comment of the file stays as it was. The four switched keys are written only while the
// options scroll bar is visible; otherwise whatever an earlier file holds for them stays.
// False when a key could not be written (a full disk, a read-only folder); the file then holds what
// it held before that write, never a part of it.
bool SaveSettings(ui::MainWindow& window);

}  // namespace pagoling::app
