// The window that places the calendar on a scaled image of the desktop.
#pragma once

#include <QDialog>

class TDesktopPositionForm : public QDialog {
  Q_OBJECT
 public:
  explicit TDesktopPositionForm(QWidget* parent = nullptr);
};

extern TDesktopPositionForm* DesktopPositionForm;
