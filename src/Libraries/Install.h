// The self-installer and uninstaller window.
#pragma once

#include <QWidget>

class TInstallForm : public QWidget {
  Q_OBJECT
 public:
  explicit TInstallForm(QWidget* parent = nullptr);
  void SetProgramInfo(const QString& name, const QString& description, const QString& version);
  QString ProgramName;
};

extern TInstallForm* InstallForm;
