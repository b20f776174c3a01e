#include "gui/look.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>

namespace pagoling::gui {
namespace {

const QColor kInk(0x2f, 0x4a, 0x66);
const QColor kAccent(0x3d, 0x7e, 0xaa);
const QColor kPaper(0xf3, 0xf5, 0xf7);

const char* const kStyleSheet = R"(
* { font-size: 12px; }
QGroupBox {
  border: 1px solid #c3ccd6; border-radius: 3px; margin-top: 7px; background: transparent;
}
QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; color: #2f4a66; }
QGroupBox[toolbar="true"] { background: #e4eaf0; border: none; border-bottom: 1px solid #c3ccd6; }
QToolButton { border: 1px solid transparent; border-radius: 3px; background: transparent; }
QToolButton:hover { border-color: #9fb6cc; background: #eef3f8; }
QToolButton:pressed { background: #d8e3ee; }
QPushButton {
  border: 1px solid #9fb6cc; border-radius: 3px; padding: 2px 4px;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfefe, stop:1 #e6edf3);
}
QPushButton:hover { border-color: #3d7eaa; }
QPushButton:pressed { background: #d8e3ee; }
QLineEdit, QPlainTextEdit, QListWidget, QTreeWidget, QComboBox {
  border: 1px solid #b7c3cf; border-radius: 2px; background: #ffffff;
  selection-background-color: #3d7eaa;
}
QLineEdit:focus, QPlainTextEdit:focus { border-color: #3d7eaa; }
QTabBar::tab {
  padding: 3px 12px; border: 1px solid #c3ccd6; border-bottom: none; background: #ffffff;
  border-top-left-radius: 3px; border-top-right-radius: 3px; color: #2f4a66;
}
QFrame[separator="true"] { background: #b7c3cf; border: none; }
QLabel[footer="true"] { color: #5b6b7b; }
)";

QPen Stroke(const QColor& colour, qreal width) {
  QPen pen(colour, width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

void DrawFolder(QPainter& p, const QRectF& r) {
  QPainterPath path;
  path.moveTo(r.left(), r.top() + r.height() * 0.2);
  path.lineTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.2);
  path.lineTo(r.left() + r.width() * 0.5, r.top() + r.height() * 0.32);
  path.lineTo(r.right(), r.top() + r.height() * 0.32);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setPen(Stroke(kInk, 1.5));
  p.setBrush(QColor(0xf2, 0xc9, 0x6b));
  p.drawPath(path);
}

void DrawPerson(QPainter& p, const QRectF& r) {
  p.setPen(Stroke(kInk, 1.5));
  p.setBrush(QColor(0x9c, 0xc8, 0xe6));
  const qreal head = r.width() * 0.36;
  p.drawEllipse(QRectF(r.center().x() - head / 2, r.top(), head, head));
  QPainterPath body;
  body.moveTo(r.left() + r.width() * 0.1, r.bottom());
  body.cubicTo(r.left() + r.width() * 0.1, r.top() + r.height() * 0.45, r.right() - r.width() * 0.1,
               r.top() + r.height() * 0.45, r.right() - r.width() * 0.1, r.bottom());
  body.closeSubpath();
  p.drawPath(body);
}

void DrawHouse(QPainter& p, const QRectF& r) {
  p.setPen(Stroke(kInk, 1.5));
  p.setBrush(QColor(0xa8, 0xd5, 0xb1));
  QPolygonF roof;
  roof << QPointF(r.left(), r.top() + r.height() * 0.48) << QPointF(r.center().x(), r.top())
       << QPointF(r.right(), r.top() + r.height() * 0.48);
  p.drawPolygon(roof);
  p.drawRect(QRectF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.48, r.width() * 0.7,
                    r.height() * 0.52));
  p.setBrush(kInk);
  p.drawRect(QRectF(r.center().x() - r.width() * 0.08, r.top() + r.height() * 0.7, r.width() * 0.16,
                    r.height() * 0.3));
}

void DrawExit(QPainter& p, const QRectF& r) {
  p.setPen(Stroke(kInk, 1.5));
  p.setBrush(QColor(0xe8, 0xa5, 0x98));
  p.drawRect(QRectF(r.left(), r.top(), r.width() * 0.5, r.height()));
  p.setPen(Stroke(QColor(0xb0, 0x3a, 0x2e), 2.0));
  const qreal y = r.center().y();
  p.drawLine(QPointF(r.left() + r.width() * 0.3, y), QPointF(r.right(), y));
  p.drawLine(QPointF(r.right() - r.width() * 0.2, y - r.height() * 0.2), QPointF(r.right(), y));
  p.drawLine(QPointF(r.right() - r.width() * 0.2, y + r.height() * 0.2), QPointF(r.right(), y));
}

struct Picture {
  const char* control;
  void (*draw)(QPainter&, const QRectF&);
  const char* caption;
};

const Picture kPictures[] = {
    {"超级按钮5", &DrawFolder, "模板目录"},
    {"超级按钮6", &DrawPerson, "登录"},
    {"超级按钮3", &DrawHouse, "首页"},
    {"超级按钮4", &DrawExit, "退出"},
};

}  // namespace

void ApplyLook(QApplication& application) {
  application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QPalette palette = application.style()->standardPalette();
  palette.setColor(QPalette::Window, kPaper);
  palette.setColor(QPalette::WindowText, kInk);
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::AlternateBase, QColor(0xee, 0xf2, 0xf6));
  palette.setColor(QPalette::Button, QColor(0xe9, 0xee, 0xf3));
  palette.setColor(QPalette::ButtonText, kInk);
  palette.setColor(QPalette::Highlight, kAccent);
  palette.setColor(QPalette::HighlightedText, Qt::white);
  palette.setColor(QPalette::Link, kAccent);
  application.setPalette(palette);
  application.setStyleSheet(QString::fromUtf8(kStyleSheet));
}

QIcon ToolbarPicture(const std::string& control, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = size.height() - 6;
  const QRectF glyph(4, 3, side, side);
  for (const Picture& picture : kPictures) {
    if (control != picture.control) continue;
    picture.draw(painter, glyph);
    QFont font = painter.font();
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(kInk);
    painter.drawText(QRectF(glyph.right() + 6, 0, size.width() - glyph.right() - 6, size.height()),
                     Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf8(picture.caption));
    return QIcon(pixmap);
  }
  painter.setPen(Stroke(kInk, 1.5));
  painter.drawRoundedRect(glyph, 3, 3);
  return QIcon(pixmap);
}

}  // namespace pagoling::gui
