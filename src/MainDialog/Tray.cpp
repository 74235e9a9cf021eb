// The main window's side of the tray icon: setting it up, hiding to it and restoring from it.
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QStyle>

#include "MainDialog.h"
#include "Program.h"
#include "SystemTray.h"

namespace {

// The program's icon from its data files; the style's desktop icon when that file is missing,
// so that the tray always has something to show.
QIcon ProgramIcon() {
  QIcon icon(GetProgramDataDirectory() + QStringLiteral("Backdropper.png"));
  if (icon.availableSizes().isEmpty())
    icon = QApplication::style()->standardIcon(QStyle::SP_DesktopIcon);
  return icon;
}

}  // namespace

void TMainForm::SetUpTrayIcon() {
  const QIcon icon = ProgramIcon();
  setWindowIcon(icon);
  if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(icon);
  SystemTray = std::make_unique<TSystemTray>(this, icon, nullptr, QString::fromLatin1(ProgramName));
}

void TMainForm::HideToTray() {
  SystemTray->HideToTray();
}

void TMainForm::RestoreFromTray() {
  SystemTray->RestoreFromTray();
}

void TMainForm::ApplicationEventsMinimize() {
  HideToTray();
}

void TMainForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // A minimised window goes to the tray. Hiding inside the state change itself confuses some
  // window managers, so it happens once the event has been handled.
  if (event->type() == QEvent::WindowStateChange && isMinimized()) {
    QMetaObject::invokeMethod(this, &TMainForm::ApplicationEventsMinimize, Qt::QueuedConnection);
  }
}
