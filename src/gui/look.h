#pragma once

#include <QIcon>
#include <QSize>
#include <string>

class QApplication;

namespace pagoling::gui {

// The window's own look: the Fusion style with a calm palette and a style sheet. Applied once at
// start-up, as the first step of the window's created handler.
void ApplyLook(QApplication& application);

// The pictures of the toolbar's image buttons, drawn here rather than shipped as files. A name
// without a picture of its own gets a plain one.
QIcon ToolbarPicture(const std::string& control, QSize size);

}  // namespace pagoling::gui
