#include "MainDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QProxyStyle>
#include <QShortcut>
#include <QTimer>

#include "AboutDialog.h"
#include "ColorDialog.h"
#include "ColorPanel.h"
#include "Error/Error.h"
#include "FavoritesDialog.h"
#include "File/File.h"
#include "Help.h"
#include "LinkFile/LinkFile.h"
#include "MyRandom.h"
#include "PictureSelection.h"
#include "Platform/GlobalHotkeys.h"
#include "Platform/RemoteControl.h"
#include "Program.h"
#include "Registry.h"
#include "Scheduler.h"
#include "StoredTextList/SettingsWriter.h"
#include "StoredTextList/StoredControls.h"
#include "StoredTextList/StoredTextList.h"
#include "SystemTray.h"

TMainForm* MainForm = nullptr;

namespace {

// Paths read from the options file may be as long as the platform allows.
constexpr int MaxPathLength = 4096;

// Hints appear 400 ms after the pointer comes to rest (Qt itself keeps a short hint up for 10 s).
class THintTimingStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_ToolTip_WakeUpDelay) return 400;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

void SetHintTiming() {
  if (dynamic_cast<THintTimingStyle*>(QApplication::style())) return;
  QApplication::setStyle(new THintTimingStyle(QApplication::style()->name()));
}

// The options file: its keys in reading and writing order, and the state each one feeds.
enum class TOptionKind {
  FormPosition,
  CheckBox,
  ComboBox,
  Real,
  Text,
  Colour,
  RelativeRect,
  Skin,
  DirectoryList,
  Favorites,
  Monitors
};

struct TOptionKey {
  const char* Section;
  const char* Key;
  TOptionKind Kind;
  const char* Default = nullptr;  // combo boxes; the others keep their current value
  QCheckBox* TMainForm::*CheckBox = nullptr;
  QComboBox* TMainForm::*ComboBox = nullptr;
  double TMainForm::*Real = nullptr;
  QString TMainForm::*Text = nullptr;
  TColorPanel* TMainForm::*Panel = nullptr;
  void (TMainForm::*AfterWrite)() = nullptr;
};

using K = TOptionKind;
using F = TMainForm;

constexpr TOptionKey Special(const char* section, const char* key, TOptionKind kind) {
  return {section, key, kind};
}
constexpr TOptionKey CheckBoxOption(const char* section, const char* key, QCheckBox* F::*box) {
  TOptionKey option{section, key, K::CheckBox};
  option.CheckBox = box;
  return option;
}
constexpr TOptionKey AfterWriting(TOptionKey option, void (F::*action)()) {
  option.AfterWrite = action;
  return option;
}
constexpr TOptionKey ComboBoxOption(const char* section, const char* key, const char* fallback,
                                    QComboBox* F::*box) {
  TOptionKey option{section, key, K::ComboBox, fallback};
  option.ComboBox = box;
  return option;
}
constexpr TOptionKey RealOption(const char* section, const char* key, double F::*value) {
  TOptionKey option{section, key, K::Real};
  option.Real = value;
  return option;
}
constexpr TOptionKey TextOption(const char* section, const char* key, QString F::*value) {
  TOptionKey option{section, key, K::Text};
  option.Text = value;
  return option;
}
constexpr TOptionKey ColourOption(const char* section, const char* key, TColorPanel* F::*panel) {
  TOptionKey option{section, key, K::Colour};
  option.Panel = panel;
  return option;
}

const TOptionKey OptionKeys[] = {
    Special("Main", "XPos", K::FormPosition),
    AfterWriting(CheckBoxOption("Main", "Autorun", &F::AutorunCheckBox), &F::UpdateStartupLink),
    CheckBoxOption("Main", "HideOnClose", &F::HideOnCloseCheckBox),
    ComboBoxOption("Main", "Hotkey", "W", &F::HotkeyComboBox),
    ComboBoxOption("Main", "DesktopMargin", "20", &F::DesktopMarginComboBox),
    CheckBoxOption("Wallpaper", "IsAutoChange", &F::IsAutoChangeWallpaperCheckBox),
    ComboBoxOption("Wallpaper", "AutoChangeInterval", "1 hour",
                   &F::AutoChangeWallpaperIntervalComboBox),
    CheckBoxOption("Wallpaper", "UseAutoChangeStartTime",
                   &F::UseAutoChangeWallpaperStartTimeCheckBox),
    ComboBoxOption("Wallpaper", "AutoChangeStartTime", "0",
                   &F::AutoChangeWallpaperStartTimeComboBox),
    CheckBoxOption("Wallpaper", "IsRandomWallpaper", &F::RandomWallpaperCheckBox),
    RealOption("Wallpaper", "LastAutoChangeTime", &F::LastAutoChangeTime),
    TextOption("Wallpaper", "LastFileTitle", &F::LastFileTitle),
    ColourOption("Wallpaper", "FillingPictureColor", &F::FillingPictureColorPanel),
    ComboBoxOption("Wallpaper", "PictureMinStretchSize", "300", &F::PictureMinStretchSizeComboBox),
    ComboBoxOption("Wallpaper", "PictureMaxStretchSkew", "120", &F::PictureMaxStretchSkewComboBox),
    CheckBoxOption("Wallpaper", "FitAndCropPicture", &F::FitAndCropCheckBox),
    CheckBoxOption("Wallpaper", "StretchPicture", &F::StretchPictureCheckBox),
    CheckBoxOption("Wallpaper", "IsFitBeforeTilePicture", &F::FitBeforeTileCheckBox),
    CheckBoxOption("Wallpaper", "IsTilePicture", &F::IsTileCheckBox),
    CheckBoxOption("Wallpaper", "UsePictureNormalizeBrightness",
                   &F::UsePictureNormalizeBrightnessCheckBox),
    ComboBoxOption("Wallpaper", "PictureNormalizeBrightnessLevel", "50",
                   &F::PictureNormalizeBrightnessLevelComboBox),
    ComboBoxOption("Wallpaper", "PictureNormalizeBrightnessMethod", "Balanced scaling",
                   &F::PictureNormalizeBrightnessMethodComboBox),
    ComboBoxOption("Wallpaper", "GammaPicture", "100", &F::GammaPictureComboBox),
    CheckBoxOption("Calendar", "Show", &F::ShowCalendarCheckBox),
    Special("Calendar", "RectLeft", K::RelativeRect),
    RealOption("Calendar", "LastRedrawTime", &F::LastRedrawTime),
    TextOption("Calendar", "LastCalendarSkinName", &F::LastCalendarSkinName),
    Special("CalendarSkin", "", K::Skin),
    CheckBoxOption("BroadcastWallpaperChange", "IsAutoChange",
                   &F::IsBroadcastWallpaperChangeCheckBox),
    ComboBoxOption("BroadcastWallpaperChange", "AutoChangeInterval", "1 hour",
                   &F::BroadcastWallpaperChangeIntervalComboBox),
    RealOption("BroadcastWallpaperChange", "LastAutoChangeTime", &F::LastBroadcastTime),
    Special("DirectoryList", "Count", K::DirectoryList),
    Special("FavoritePictures", "Count", K::Favorites),
    Special("Monitors", "Arrangement", K::Monitors),
};

const QString XPosKey = QStringLiteral("XPos");
const QString YPosKey = QStringLiteral("YPos");
const QString RectKeys[] = {QStringLiteral("RectLeft"), QStringLiteral("RectTop"),
                            QStringLiteral("RectWidth"), QStringLiteral("RectHeight")};

// Reading and writing of one key side by side, so that a kind cannot be read one way and
// written another.
void TransferOption(TMainForm& form, const TOptionKey& option, bool read, TStoredTextList& list,
                    uint8_t argument) {
  const QString section = QLatin1String(option.Section);
  const QString key = QLatin1String(option.Key);
  switch (option.Kind) {
    case K::FormPosition:
      if (read)
        ReadFormPosition(list, section, XPosKey, YPosKey, &form);
      else
        WriteFormPosition(list, section, XPosKey, YPosKey, &form);
      break;
    case K::CheckBox:
      if (read)
        ReadCheckBox(list, section, key, form.*option.CheckBox);
      else
        WriteCheckBox(list, section, key, form.*option.CheckBox);
      break;
    case K::ComboBox:
      if (read)
        ReadComboBox(list, section, key, QLatin1String(option.Default), form.*option.ComboBox);
      else
        WriteComboBox(list, section, key, form.*option.ComboBox);
      break;
    case K::Real:
      if (read)
        list.ReadReal(section, key, form.*option.Real);
      else
        list.WriteReal(section, key, form.*option.Real);
      break;
    case K::Text:
      if (read)
        list.ReadText(section, key, false, MaxPathLength, form.*option.Text);
      else
        list.WriteText(section, key, form.*option.Text);
      break;
    case K::Colour: {
      TColorPanel* panel = form.*option.Panel;
      if (read) {
        int32_t colour = panel->Color();
        list.ReadColor(section, key, colour);
        SetPanelColor(panel, colour);
      } else {
        list.WriteColor(section, key, panel->Color());
      }
      break;
    }
    case K::RelativeRect:
      if (read)
        list.ReadRelativeRect(section, RectKeys[0], RectKeys[1], RectKeys[2], RectKeys[3],
                              form.RectLeft, form.RectTop, form.RectWidth, form.RectHeight);
      else
        list.WriteRelativeRect(section, RectKeys[0], RectKeys[1], RectKeys[2], RectKeys[3],
                               form.RectLeft, form.RectTop, form.RectWidth, form.RectHeight);
      break;
    case K::Skin:
      if (read)
        form.ReadCalendarSkin(list, argument);
      else
        form.WriteCalendarSkin(list, argument);
      break;
    case K::DirectoryList:
      if (read)
        form.ReadDirectoryList(list);
      else
        form.WriteDirectoryList(list);
      break;
    case K::Favorites:
      if (read)
        form.Favorites->ReadFavorites(list);
      else
        form.Favorites->WriteFavorites(list);
      break;
    case K::Monitors:
      if (read)
        form.ReadMonitorOptions(list);
      else
        form.WriteMonitorOptions(list);
      break;
  }
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QString::fromLatin1(ProgramName));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  setFont(font);
  SetHintTiming();
  BuildWindow();
  SetUpPictures();
  setFixedSize(ClientWidth, ClientHeight);
  move(354, 122);

  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  connect(help, &QShortcut::activated, this, &TMainForm::HelpLabelClick);

  AutoChangeWallpaperIntervalComboBoxChange();
  BroadcastWallpaperChangeIntervalComboBoxChange();
  // Any change of the text counts, also one made by reading the options.
  for (QComboBox* box :
       {AutoChangeWallpaperIntervalComboBox, AutoChangeWallpaperStartTimeComboBox}) {
    connect(box, &QComboBox::currentIndexChanged, this,
            &TMainForm::AutoChangeWallpaperIntervalComboBoxChange);
  }
  connect(BroadcastWallpaperChangeIntervalComboBox, &QComboBox::currentIndexChanged, this,
          &TMainForm::BroadcastWallpaperChangeIntervalComboBoxChange);

  Timer = new QTimer(this);
  Timer->setObjectName(QStringLiteral("Timer"));
  Timer->setInterval(1000);

  SetUpTrayIcon();

  PrepareSkinDirectory();

  SkinList = std::make_unique<TStoredTextList>(QString());
  // A skin file gone between the dialog and the read must not read as an empty skin.
  SkinList->MustExist = true;
  SkinList->OnLoad = [this](TStoredTextList& list, uint8_t argument) {
    ReadCalendarSkin(list, argument);
  };
  SkinList->OnSave = [this](TStoredTextList& list, uint8_t argument) {
    WriteCalendarSkin(list, argument);
  };
  SetUpNavigation();
  SetUpWallpaper();
  SetUpHotkeys();
  SetUpFavorites();
}

TMainForm::~TMainForm() {
  OptionsWriter.reset();
  setAcceptDrops(false);
  // Nothing is being broadcast once the program is gone.
  SetProgramRegistryText(QString::fromLatin1(ProgramName), {},
                         QStringLiteral("BroadcastWallpaperChange"), {});
  ReleaseHotkeys();
  SystemTray.reset();
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::CreateOptionsList(const QString& fileName) {
  OptionsList = std::make_unique<TStoredTextList>(fileName);
  OptionsList->OnLoad = [this](TStoredTextList& list, uint8_t argument) {
    ReadOptions(list, argument);
  };
  OptionsList->OnSave = [this](TStoredTextList& list, uint8_t argument) {
    WriteOptions(list, argument);
  };
}

void TMainForm::BeforeRun() {
  TStatusFrame frame(__FILE__, "TMainForm::BeforeRun", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to prepare main window."));
  frame.Run([&] {
    if (AboutForm) {
      AboutForm->ProgramNameLabel->setText(QString::fromLatin1(ProgramName));
      AboutForm->ProgramVersionLabel->setText(QString::fromLatin1(ProgramVersionLine));
    }
    SystemTray->AddTrayIcon();
    // Started without "ShowOnStart" (as the autostart entry does), the program stays in the tray.
    if (GetProgramParameter(1).compare(QStringLiteral("ShowOnStart"), Qt::CaseInsensitive) == 0) {
      show();
    } else {
      HideToTray();
    }
    CreateOptionsList(GetProgramWriteDirectory() + QStringLiteral("Backdropper.ini"));
    // A failed load has been reported; start-up goes on with what was read.
    OptionsList->Load(0);
    // Stopped while the report was open: nothing more is asked.
    if (ExitRequested) return;
    // Reading a letter other than the one shown took the hot keys already; this covers the rest.
    HotkeyComboBoxChange();
    // First run, or every folder removed: the user is asked for one at once.
    if (DirectoryCount() == 0) {
      ShowDirectoriesTab();
      RestoreFromTray();
      AddDirectory(false);
    }
    PictureFileNames.clear();
    LoadPictureFileNames();
    SetUpRemoteControl();
    SetUpOptionsWriter();
    setAcceptDrops(true);
    Timer->start();
    Updating = false;
    // "Backdropper Next" with no copy running starts one that takes the step once it is ready.
    const auto command = Platform::RemoteCommandFromArgument(GetProgramParameter(1));
    if (command && *command != Platform::RemoteCommand::ShowWindow)
      QMetaObject::invokeMethod(
          this, [this, step = *command] { RunCommand(step); }, Qt::QueuedConnection);
  });
}

void TMainForm::ReadOptions(TStoredTextList& list, uint8_t argument) {
  for (const TOptionKey& option : OptionKeys) {
    // One key that cannot be read must not cost the ones after it.
    list.ReadKey(QLatin1String(option.Section), QLatin1String(option.Key),
                 [&] { TransferOption(*this, option, true, list, argument); });
  }
}

void TMainForm::WriteOptions(TStoredTextList& list, uint8_t argument) {
  // The file holds exactly the keys written here; unknown sections are dropped.
  list.Clear();
  for (const TOptionKey& option : OptionKeys) {
    TransferOption(*this, option, false, list, argument);
    if (option.AfterWrite) (this->*option.AfterWrite)();
  }
}

void TMainForm::UpdateStartupLink() {
  // Started from the session's autostart entry, without arguments, the program stays hidden.
  MakeLinkByStatus(GetStartupPath(), GetProgramFilePath(), {}, {}, true,
                   AutorunCheckBox->isChecked());
}

void TMainForm::AutoChangeWallpaperIntervalComboBoxChange() {
  WallpaperChangePeriod = IntervalTextToSeconds(AutoChangeWallpaperIntervalComboBox->currentText());
}

void TMainForm::BroadcastWallpaperChangeIntervalComboBoxChange() {
  BroadcastPeriod = IntervalTextToSeconds(BroadcastWallpaperChangeIntervalComboBox->currentText());
}

void TMainForm::AboutLabelClick() {
  if (!AboutForm) return;
  AboutForm->move(frameGeometry().center() - AboutForm->rect().center());
  AboutForm->exec();
}

void TMainForm::HelpLabelClick() {
  ShowHelp(HelpContext);
}

void TMainForm::CloseProgramLabelClick() {
  ExitRequested = true;
  close();
}

void TMainForm::CloseProgram() {
  // An open modal window (the first run's folder chooser, a message) runs a loop of its own
  // that the close would not end.
  while (QWidget* modal = QApplication::activeModalWidget()) {
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->done(QDialog::Rejected);
    else
      modal->close();
    if (QApplication::activeModalWidget() == modal) break;
  }
  CloseProgramLabelClick();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!ExitRequested && HideOnCloseCheckBox->isChecked()) {
    HideToTray();
    event->ignore();
    return;
  }
  // Written as they changed, and once more now; the close goes on whatever the save's result.
  if (OptionsList) OptionsList->Save(false, 0);
  event->accept();
  QApplication::quit();
}
