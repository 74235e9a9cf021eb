#include "MainDialog.h"

#include <QApplication>
#include <QCloseEvent>

#include "Error.h"
#include "Program.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QString::fromLatin1(ProgramName));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  setFont(font);
  setFixedSize(465, 380);
}

TMainForm::~TMainForm() {
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::BeforeRun() {
  TStatusFrame frame(__FILE__, "TMainForm::BeforeRun", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to prepare main window."));
  frame.Run([&] {
    if (GetProgramParameter(1).compare(QStringLiteral("ShowOnStart"), Qt::CaseInsensitive) == 0)
      show();
    Updating = false;
  });
}

void TMainForm::CloseProgram() {
  ExitRequested = true;
  close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!ExitRequested) {
    hide();
    event->ignore();
    return;
  }
  event->accept();
  QApplication::quit();
}
