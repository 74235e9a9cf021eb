// The main window: it holds every setting in its controls and owns all run-time state.
#pragma once

#include <QWidget>

class TMainForm : public QWidget {
  Q_OBJECT
 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  void BeforeRun();
  // The "really close" path: the Close label, the tray item, the end of the session.
  void CloseProgram();

  bool Updating = true;
  bool ExitRequested = false;

 protected:
  void closeEvent(QCloseEvent* event) override;
};

extern TMainForm* MainForm;
