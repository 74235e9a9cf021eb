#include "DesktopPositionDialog.h"

#include "Calendar/CalendarArea.h"
#include "Calendar/CalendarLayout.h"

TDesktopPositionForm* DesktopPositionForm = nullptr;

TDesktopPositionForm::TDesktopPositionForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DesktopPositionForm"));
  setWindowTitle(QStringLiteral("Desktop position"));
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  setFont(font);
  setFixedSize(300, 330);
}

double TDesktopPositionForm::GetRelativeWidth(int width, int margin) {
  return RelativeLength(width, CalendarArea(margin).width());
}

double TDesktopPositionForm::GetRelativeHeight(int height, int margin) {
  return RelativeLength(height, CalendarArea(margin).height());
}
