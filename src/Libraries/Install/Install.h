// The self-installer and uninstaller window.
#pragma once

#include <QWidget>
#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TInstallForm : public QWidget {
  Q_OBJECT
 public:
  explicit TInstallForm(QWidget* parent = nullptr);

  // Texts of the mode the running file's name and first argument ask for.
  void SetProgramInfo(const QString& name, const QString& description, const QString& version);
  // The same for a given file name and first argument.
  void SetProgramInfo(const QString& name, const QString& description, const QString& version,
                      const QString& fileName, const QString& firstArgument);

  void BrowseButtonClick();
  void InstallButtonClick();
  void CancelButtonClick();
  void Install();
  void Uninstall();
  // The memo shows the lines of "Readme.txt" in `directory`.
  void LoadReadme(const QString& directory);

  QString ProgramName;
  // The distribution folder (with "/") and the installer's file in it; the running program's.
  QString SourceDirectory;
  QString InstallerFileName;
  bool UninstallMode = false;
  // Runs between the uninstall question and the removal; tests change the folder here.
  std::function<void()> BeforeRemoval;

  QFrame* MainPanel = nullptr;
  QLabel* MainPanelLabel = nullptr;
  QLabel* DescriptionLabel = nullptr;
  QLabel* VersionLabel = nullptr;
  QLabel* InstructionsLabel = nullptr;
  QPlainTextEdit* ReadmeMemo = nullptr;
  QLabel* InstallToLabel = nullptr;
  QLineEdit* InstallToEdit = nullptr;
  QPushButton* BrowseButton = nullptr;
  QPushButton* InstallButton = nullptr;
  QPushButton* CancelButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SetPanelText(const QString& text);
  bool Centred = false;
};

extern TInstallForm* InstallForm;
