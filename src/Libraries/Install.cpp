#include "Install.h"

TInstallForm* InstallForm = nullptr;

TInstallForm::TInstallForm(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("InstallForm"));
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(9);
  setFont(font);
  setFixedSize(400, 450);
}

void TInstallForm::SetProgramInfo(const QString& name, const QString&, const QString&) {
  ProgramName = name;
  setWindowTitle(QStringLiteral("Install ") + name);
}
