#include "SystemTray.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

TSystemTray::TSystemTray(QWidget* owner, const QIcon& icon, QMenu* menu, const QString& tip)
    : OwnerWindow(owner), PopupMenu(menu), TrayIcon(new QSystemTrayIcon(icon, this)) {
  TrayIcon->setToolTip(tip.left(MaxTipLength));
  // The menu is opened here rather than by the icon, so that a click without a menu restores.
  connect(TrayIcon, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            switch (reason) {
              case QSystemTrayIcon::Trigger:
                OnTrayNotification(LeftButtonUp);
                break;
              case QSystemTrayIcon::Context:
                OnTrayNotification(RightButtonUp);
                break;
              default:
                OnTrayNotification(OtherMouseCode);
                break;
            }
          });
}

TSystemTray::~TSystemTray() {
  RemoveTrayIcon();
}

void TSystemTray::AddTrayIcon() {
  TrayIcon->show();
}

void TSystemTray::RemoveTrayIcon() {
  TrayIcon->hide();
}

QString TSystemTray::Tip() const {
  return TrayIcon->toolTip();
}

void TSystemTray::HideToTray() {
  OwnerWindow->hide();
}

void TSystemTray::RestoreFromTray() {
  OwnerWindow->setWindowState(OwnerWindow->windowState() & ~Qt::WindowMinimized);
  OwnerWindow->show();
  OwnerWindow->raise();
  OwnerWindow->activateWindow();
}

void TSystemTray::OnTrayNotification(TMouseCode code) {
  switch (code) {
    case LeftButtonUp:
      RestoreFromTray();
      break;
    case RightButtonUp:
      if (PopupMenu) {
        PopupMenu->popup(QCursor::pos());
      } else {
        RestoreFromTray();
      }
      break;
    case OtherMouseCode:
      break;
  }
}
