#pragma once

#include <QString>
#include <string>

namespace pagoling::gui {

// The system's texts are GBK; Qt's are UTF-16. These are the window's only crossings.
QString FromGbk(const std::string& gbk);
std::string ToGbk(const QString& text);

// Multi-line boxes hold "\r\n" line ends in the model; Qt's text widgets use "\n".
QString LinesFromCrLf(QString text);
std::string ToGbkLines(const QString& text);

}  // namespace pagoling::gui
