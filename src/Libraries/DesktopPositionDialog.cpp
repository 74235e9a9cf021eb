#include "DesktopPositionDialog.h"

TDesktopPositionForm* DesktopPositionForm = nullptr;

TDesktopPositionForm::TDesktopPositionForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DesktopPositionForm"));
  setWindowTitle(QStringLiteral("Desktop position"));
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  setFont(font);
  setFixedSize(300, 330);
}
