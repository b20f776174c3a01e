#include "gui/gbk_text.h"

#include "platform/codepage.h"

namespace pagoling::gui {

// Straight between GBK and Qt's UTF-16: every refresh and keystroke passes through here.
QString FromGbk(const std::string& gbk) {
  return QString::fromStdU16String(platform::ToUtf16(gbk, platform::CodePage::kGbk));
}

std::string ToGbk(const QString& text) {
  return platform::FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                 static_cast<std::size_t>(text.size())),
                             platform::CodePage::kGbk);
}

QString LinesFromCrLf(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::string ToGbkLines(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return ToGbk(lines);
}

}  // namespace pagoling::gui
