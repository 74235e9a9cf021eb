#include "LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

TLinkLabel::TLinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  // Reachable with Tab and activated with Space or Enter, like a button.
  setFocusPolicy(Qt::TabFocus);
  UpdateLook();
}

void TLinkLabel::UpdateLook() {
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  // A disabled link is drawn in the ordinary disabled text colour, without the hand.
  setForegroundRole(isEnabled() ? QPalette::Link : QPalette::WindowText);
  setCursor(isEnabled() ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TLinkLabel::mousePressEvent(QMouseEvent* event) {
  Pressed = event->button() == Qt::LeftButton;
  event->accept();
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      Pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  Pressed = false;
  event->accept();
  if (click) Q_EMIT clicked();
}

void TLinkLabel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
      event->key() == Qt::Key_Enter) {
    event->accept();
    Q_EMIT clicked();
    return;
  }
  QLabel::keyPressEvent(event);
}

void TLinkLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) UpdateLook();
}
