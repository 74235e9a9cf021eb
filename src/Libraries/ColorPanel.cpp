#include "ColorPanel.h"

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
