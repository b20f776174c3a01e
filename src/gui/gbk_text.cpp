#include "gui/gbk_text.h"

#include "platform/codepage.h"

namespace pagoling::gui {

QString FromGbk(const std::string& gbk) {
  const std::string utf8 = platform::Utf8FromGbk(gbk);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToGbk(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return platform::GbkFromUtf8(
      std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString FromGbkLines(const std::string& gbk) {
  QString text = FromGbk(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::string ToGbkLines(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return ToGbk(lines);
}

}  // namespace pagoling::gui
