// The window that places the calendar on a scaled image of the desktop.
#pragma once

#include <QDialog>

class TDesktopPositionForm : public QDialog {
  Q_OBJECT
 public:
  explicit TDesktopPositionForm(QWidget* parent = nullptr);

  // A length in pixels as a fraction of the calendar area's width or height for the desktop
  // margin `margin`; 0 when the area is empty.
  static double GetRelativeWidth(int width, int margin);
  static double GetRelativeHeight(int height, int margin);
};

extern TDesktopPositionForm* DesktopPositionForm;
