// The notification-area icon of the main window: shows the window again on a click and opens
// the tray menu on a right click.
#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

class QSystemTrayIcon;
class QWidget;

class TSystemTray : public QObject {
  Q_OBJECT
 public:
  // The mouse events a tray icon reports.
  enum TMouseCode { LeftButtonUp, RightButtonUp, OtherMouseCode };
  // Tips longer than this are cut.
  static constexpr int MaxTipLength = 127;

  TSystemTray(QWidget* owner, const QIcon& icon, QMenu* menu, const QString& tip);
  // Removes the icon.
  ~TSystemTray() override;

  void AddTrayIcon();
  void RemoveTrayIcon();
  // Hides the owner; the icon stays.
  void HideToTray();
  // Shows the owner in its normal state and brings it to the front.
  void RestoreFromTray();
  void OnTrayNotification(TMouseCode code);

  QWidget* Owner() const { return OwnerWindow; }
  QMenu* Menu() const { return PopupMenu; }
  void SetMenu(QMenu* menu) { PopupMenu = menu; }
  QString Tip() const;
  QSystemTrayIcon* Icon() const { return TrayIcon; }

 private:
  QWidget* OwnerWindow;
  QPointer<QMenu> PopupMenu;
  QSystemTrayIcon* TrayIcon;
};
