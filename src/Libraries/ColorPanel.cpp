#include "ColorPanel.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

TColorPanel::TColorPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setMinimumSize(16, 16);
}

void TColorPanel::SetColor(int32_t color) {
  if (color == CurrentColor) return;
  CurrentColor = color;
  update();
  Q_EMIT ColorChanged(color);
}

void TColorPanel::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(contentsRect(), ColorValueToQColor(CurrentColor));
  painter.end();
  QFrame::paintEvent(event);
}

QColor ColorValueToQColor(int32_t color) {
  const uint32_t value = static_cast<uint32_t>(color);
  if (value == 0x1FFFFFFFu) return QColor(Qt::transparent);
  if (value & 0x80000000u) {
    // The classic system colour indices, mapped to the nearest palette role.
    static const QPalette::ColorRole roles[] = {
        QPalette::Button,     QPalette::Window,     QPalette::Highlight,  QPalette::Mid,
        QPalette::Window,     QPalette::Base,       QPalette::Shadow,     QPalette::WindowText,
        QPalette::Text,       QPalette::HighlightedText, QPalette::Mid,   QPalette::Midlight,
        QPalette::Dark,       QPalette::Highlight,  QPalette::HighlightedText, QPalette::Button,
        QPalette::Dark,       QPalette::PlaceholderText, QPalette::ButtonText, QPalette::WindowText,
        QPalette::Light,      QPalette::Shadow,     QPalette::Midlight,   QPalette::ToolTipText,
        QPalette::ToolTipBase};
    const uint32_t index = value & 0xFF;
    if (index < std::size(roles)) return QApplication::palette().color(roles[index]);
    return QColor(Qt::black);
  }
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
