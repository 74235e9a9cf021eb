// The About window.
#pragma once

#include <QDialog>

class QLabel;

class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutForm(QWidget* parent = nullptr);
  QLabel* ProgramNameLabel;
  QLabel* ProgramVersionLabel;
  QLabel* DescriptionLabel;
};

extern TAboutForm* AboutForm;
