// The main window's side of the tray icon: setting it up, its menu, hiding to it and restoring
// from it; and the control of the running copy from outside.
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QIcon>
#include <QMenu>
#include <QStyle>

#include "MainDialog.h"
#include "Platform/RemoteControl.h"
#include "Program.h"
#include "SystemTray.h"
#include "Utilities.h"
#include "ValueParsing/ValueParsing.h"

namespace {

// The program's icon from its data files; the style's desktop icon when that file is missing,
// so that the tray always has something to show.
QIcon ProgramIcon() {
  QIcon icon(GetProgramDataDirectory() + QStringLiteral("Backdropper.png"));
  if (icon.availableSizes().isEmpty())
    icon = QApplication::style()->standardIcon(QStyle::SP_DesktopIcon);
  return icon;
}

// The levels the tray offers; the level box itself offers 5 to 95 in steps of 5.
constexpr int TrayNormalizeLevels[] = {80, 70, 60, 50, 40, 30, 25, 20, 15, 10};

QAction* AddEntry(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QLatin1String(name));
  return action;
}

void AddSeparator(QMenu* menu, const char* name) {
  menu->addSeparator()->setObjectName(QLatin1String(name));
}

}  // namespace

void TMainForm::SetUpTrayIcon() {
  const QIcon icon = ProgramIcon();
  setWindowIcon(icon);
  if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(icon);
  BuildTrayMenu();
  SystemTray = std::make_unique<TSystemTray>(this, icon, SystemTrayPopupMenu,
                                             QString::fromLatin1(ProgramName));
}

void TMainForm::BuildTrayMenu() {
  SystemTrayPopupMenu = new QMenu(this);
  SystemTrayPopupMenu->setObjectName(QStringLiteral("SystemTrayPopupMenu"));
  SystemTrayPopupMenu->setSeparatorsCollapsible(false);
  QMenu* menu = SystemTrayPopupMenu;
  STP_CloseMenu = AddEntry(menu, "STP_CloseMenu", QStringLiteral("Close"));
  AddSeparator(menu, "N1");
  STP_AddPicturesDirectoryMenu =
      AddEntry(menu, "STP_AddPicturesDirectoryMenu", QStringLiteral("Add pictures directory"));
  AddSeparator(menu, "N2");
  STP_VisibleCalendarMenu =
      AddEntry(menu, "STP_VisibleCalendarMenu", QStringLiteral("Visible calendar"));
  STP_VisibleCalendarBackMenu =
      AddEntry(menu, "STP_VisibleCalendarBackMenu", QStringLiteral("Visible background"));
  STP_SetCalendarPositionMenu =
      AddEntry(menu, "STP_SetCalendarPositionMenu", QStringLiteral("Set calendar position"));
  STP_LoadCalendarSkinMenu =
      AddEntry(menu, "STP_LoadCalendarSkinMenu", QStringLiteral("Load calendar skin"));
  STP_LoadCalendarSkinColorsMenu =
      AddEntry(menu, "STP_LoadCalendarSkinColorsMenu", QStringLiteral("Load calendar colors"));
  AddSeparator(menu, "N4");
  STP_NormalizeBrightnessMenu = menu->addMenu(QStringLiteral("Normalize brightness"));
  STP_NormalizeBrightnessMenu->setObjectName(QStringLiteral("STP_NormalizeBrightnessMenu"));
  STP_NormalizeBrightnessMenu->setSeparatorsCollapsible(false);
  STP_VisibleCalendarMenu->setCheckable(true);
  STP_VisibleCalendarBackMenu->setCheckable(true);

  auto* levels = new QActionGroup(STP_NormalizeBrightnessMenu);
  auto addLevel = [&](const char* name, const QString& caption, int tag) {
    QAction* action = AddEntry(STP_NormalizeBrightnessMenu, name, caption);
    action->setData(tag);
    action->setCheckable(true);
    levels->addAction(action);
  };
  addLevel("STP_NormalizeBrightness_NoneMenu", QStringLiteral("None"), 0);
  AddSeparator(STP_NormalizeBrightnessMenu, "N3");
  for (int level : TrayNormalizeLevels)
    addLevel(qPrintable(QStringLiteral("STP_NormalizeBrightness%1Menu").arg(level)),
             QString::number(level), level);

  connect(menu, &QMenu::aboutToShow, this, &TMainForm::SystemTrayPopupMenuPopup);
  connect(STP_CloseMenu, &QAction::triggered, this, &TMainForm::CloseProgram);
  connect(STP_AddPicturesDirectoryMenu, &QAction::triggered, this, [this] { AddDirectory(true); });
  connect(STP_VisibleCalendarMenu, &QAction::triggered, this,
          [this] { ShowCalendarCheckBox->setChecked(!ShowCalendarCheckBox->isChecked()); });
  connect(STP_VisibleCalendarBackMenu, &QAction::triggered, this,
          [this] { ShowCalendarBackCheckBox->setChecked(!ShowCalendarBackCheckBox->isChecked()); });
  connect(STP_SetCalendarPositionMenu, &QAction::triggered, this,
          &TMainForm::CalendarSetDesktopPositionLabelClick);
  connect(STP_LoadCalendarSkinMenu, &QAction::triggered, this,
          &TMainForm::CalendarLoadSkinLabelClick);
  connect(STP_LoadCalendarSkinColorsMenu, &QAction::triggered, this,
          &TMainForm::CalendarLoadSkinColorsLabelClick);
  connect(STP_NormalizeBrightnessMenu, &QMenu::triggered, this,
          &TMainForm::STP_NormalizeBrightnessMenuClick);
}

void TMainForm::SystemTrayPopupMenuPopup() {
  STP_VisibleCalendarMenu->setChecked(ShowCalendarCheckBox->isChecked());
  STP_VisibleCalendarBackMenu->setChecked(ShowCalendarBackCheckBox->isChecked());
  const int level = GetIntFromComboBox(PictureNormalizeBrightnessLevelComboBox);
  QAction* entry = FindMenuItemByTag(STP_NormalizeBrightnessMenu, level);
  // Normalisation at a level the menu does not offer shows as "None".
  if (!entry || !UsePictureNormalizeBrightnessCheckBox->isChecked())
    entry = FindMenuItemByTag(STP_NormalizeBrightnessMenu, 0);
  entry->setChecked(true);
}

void TMainForm::STP_NormalizeBrightnessMenuClick(QAction* entry) {
  const int tag = entry->data().toInt();
  if (entry->objectName() == QLatin1String("STP_NormalizeBrightness_NoneMenu")) {
    // Its change handler composes the wallpaper again.
    UsePictureNormalizeBrightnessCheckBox->setChecked(false);
    return;
  }
  if (tag < 1) return;
  // Two controls change, the picture is composed once.
  const bool wasUpdating = Updating;
  Updating = true;
  UsePictureNormalizeBrightnessCheckBox->setChecked(true);
  SelectComboItem(PictureNormalizeBrightnessLevelComboBox, QString::number(tag), {});
  Updating = wasUpdating;
  SetFileAsWallpaper(true);
}

void TMainForm::SetUpRemoteControl() {
  Platform::ServeRemoteControl(this,
                               [this](Platform::RemoteCommand command) { RunCommand(command); });
}

void TMainForm::RunCommand(Platform::RemoteCommand command) {
  // The commands are the hot keys' own, so they go the same way.
  switch (command) {
    case Platform::RemoteCommand::Next:
      DispatchHotkey(NextHotkeyId);
      break;
    case Platform::RemoteCommand::Previous:
      DispatchHotkey(PreviousHotkeyId);
      break;
    case Platform::RemoteCommand::Random:
      DispatchHotkey(RandomHotkeyId);
      break;
    case Platform::RemoteCommand::ShowWindow:
      RestoreFromTray();
      break;
  }
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
