// Composing and applying the wallpaper, the broadcast, and the timer that drives them.
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "ColorPanel.h"
#include "Error/Error.h"
#include "File/File.h"
#include "LinkLabel.h"
#include "MainDialog.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "MyRandom.h"
#include "Monitors/Monitors.h"
#include "MyTime.h"
#include "PictureSelection.h"
#include "Platform/Broadcast.h"
#include "Platform/Clock.h"
#include "Program.h"
#include "Registry.h"
#include "Scheduler.h"
#include "StoredTextList/StoredTextList.h"
#include "Utilities.h"
#include "ValueParsing/ValueParsing.h"

namespace {

const QString BroadcastValueName = QStringLiteral("BroadcastWallpaperChange");

// A burst of monitor changes (a dock, a mode switch) settles within about a second.
constexpr int MonitorSettleMs = 1000;

void ConnectChange(QWidget* control, TMainForm* form, void (TMainForm::*handler)()) {
  if (auto* box = qobject_cast<QCheckBox*>(control))
    QObject::connect(box, &QCheckBox::toggled, form, handler);
  else if (auto* combo = qobject_cast<QComboBox*>(control))
    QObject::connect(combo, &QComboBox::currentIndexChanged, form, handler);
  else if (auto* panel = qobject_cast<TColorPanel*>(control))
    QObject::connect(panel, &TColorPanel::ColorChanged, form, handler);
}

}  // namespace

void TMainForm::SetUpWallpaper() {
  for (QWidget* control : RedrawOnChangeControls())
    ConnectChange(control, this, &TMainForm::RedrawWallpaperOnParamChange);
  for (QWidget* control : ReloadOnChangeControls())
    ConnectChange(control, this, &TMainForm::ReloadWallpaperOnParamChange);
  Label4->setEnabled(true);
  connect(Label4, &TLinkLabel::clicked, this, &TMainForm::ReloadWallpaperOnParamChange);
  Label6->setEnabled(true);
  connect(Label6, &TLinkLabel::clicked, this, &TMainForm::BroadcastWallpaperChange);
  Label27->setEnabled(true);
  connect(Label27, &TLinkLabel::clicked, this, &TMainForm::Label27Click);
  // Switched off by the user, the broadcast value is emptied at once.
  connect(IsBroadcastWallpaperChangeCheckBox, &QCheckBox::toggled, this, [this](bool on) {
    if (!on && !Updating && !(OptionsList && OptionsList->Loading))
      SetProgramRegistryText(QString::fromLatin1(ProgramName), {}, BroadcastValueName, {});
  });
  connect(Timer, &QTimer::timeout, this, &TMainForm::TimerTimer);

  MonitorWatch = new TMonitorWatch(MonitorSettleMs, this);
  connect(MonitorWatch, &TMonitorWatch::Changed, this, [this] {
    UpdateMonitorChoices();
    FWinIniChange();
  });
  connect(CalendarMonitorComboBox, &QComboBox::activated, this,
          &TMainForm::CalendarMonitorComboBoxChange);
  UpdateMonitorChoices();
  UpdateSkewAndFactorLabels();
}

Platform::TWallpaperLayout TMainForm::HandOverLayout(const QList<TMonitor>& monitors) const {
  Platform::TWallpaperLayout layout;
  layout.Fill = ComposeParams().FillColor;
  const QPoint origin = WallpaperCanvas(monitors).topLeft();
  for (const TMonitor& monitor : monitors)
    layout.Monitors << Platform::TMonitorPart{monitor.Name, monitor.Geometry.translated(-origin)};
  return layout;
}

QRect TMainForm::ComputeDesktopRect() const {
  const int margin = GetIntFromComboBox(DesktopMarginComboBox);
  const QScreen* screen = CalendarScreen();
  return screen ? screen->availableGeometry().adjusted(margin, margin, -margin, -margin) : QRect();
}

TComposeParams TMainForm::ComposeParams() const {
  TComposeParams params;
  params.ScreenWidth = ScreenWidth;
  params.ScreenHeight = ScreenHeight;
  params.FillColor = ColorValueToQColor(FillingPictureColorPanel->Color());
  params.MinStretchSize = GetIntFromComboBox(PictureMinStretchSizeComboBox);
  params.MaxStretchSkew = GetIntFromComboBox(PictureMaxStretchSkewComboBox) * 0.01;
  params.FitAndCrop = FitAndCropCheckBox->isChecked();
  params.Stretch = StretchPictureCheckBox->isChecked();
  params.FitBeforeTile = FitBeforeTileCheckBox->isChecked();
  params.Tile = IsTileCheckBox->isChecked();
  params.Normalize = UsePictureNormalizeBrightnessCheckBox->isChecked();
  params.NormalizeMethod = PictureNormalizeBrightnessMethodComboBox->currentText();
  params.NormalizeLevel = GetIntFromComboBox(PictureNormalizeBrightnessLevelComboBox) * 0.01;
  params.Gamma = GetIntFromComboBox(GammaPictureComboBox);
  return params;
}

void TMainForm::UpdateSkewAndFactorLabels() {
  if (FittedPicture.isNull()) {
    CurrentSkewLabel->setText(QStringLiteral("(No current skew available)"));
    PictureAppliedNormFactorLabel->setText(QStringLiteral("(No applied normalization factor)"));
    return;
  }
  CurrentSkewLabel->setText(
      QStringLiteral("(Current full skew %1%)").arg(static_cast<long long>(CurrentSkew * 100)));
  PictureAppliedNormFactorLabel->setText(QStringLiteral("(Applied normalization factor %1)")
                                             .arg(static_cast<long long>(AppliedNormFactor * 100)));
}

void TMainForm::SetFileAsWallpaper(bool reload) {
  const QString wallpaperPath =
      PathWithDelimiter(GetOperatorPath()) + QLatin1String(WallpaperFileName);
  FunStatContext.Reset(fsPerfect);
  if (Updating || (OptionsList && OptionsList->Loading) || (SkinList && SkinList->Loading) ||
      LastFileTitle.isEmpty() || !IsPictureFile(LastFileTitle, PictureExtensions) ||
      LastFileTitle.compare(wallpaperPath, Qt::CaseInsensitive) == 0)
    return;

  TStatusFrame frame(__FILE__, "TMainForm::SetFileAsWallpaper", __LINE__);
  frame.Run([&] {
    UpdateLastPictureLabel();
    DesktopRect = ComputeDesktopRect();
    QList<TMonitor> refused;
    const QList<TMonitor> monitors = ServedMonitors(ListMonitors(), &refused);
    // With no monitor there is nothing to cover; the next one to come composes again.
    if (monitors.isEmpty()) {
      FittedPicture = QImage();
      FittedMonitors.clear();
      return;
    }
    if (reload || monitors != FittedMonitors || FittedPicture.isNull()) {
      const QRect canvas = WallpaperCanvas(monitors);
      ScreenWidth = canvas.width();
      ScreenHeight = canvas.height();
      FittedMonitors = monitors;
      FittedPicture = QImage();
    }
    if (reload || FittedPicture.isNull()) {
      ++PictureFittings;
      double factor = 0;
      double skew = 0;
      if (!FitToMonitors(MonitorPictures(monitors), monitors, Arrangement(), ComposeParams(),
                         FittedPicture, &factor, &skew)) {
        LastFileTitle.clear();
        frame.Check();
        frame.Raise(__LINE__, fsError, QStringLiteral("Failed to load picture."));
      }
      AppliedNormFactor = factor;
      CurrentSkew = skew;
      UpdateSkewAndFactorLabels();
    }
    // One reading of the clock: a day painted just before midnight must not be recorded as
    // painted on the next day, or that day would never be drawn.
    const QDateTime now = Platform::Clock().Now();
    // The calendar is painted in its monitor's place on the canvas, at its scale.
    const TMonitor& shown = monitors[CalendarMonitorIndex(monitors)];
    const QPoint offset = shown.Geometry.topLeft() - WallpaperCanvas(monitors).topLeft();
    const QRect logical = CalendarPaintReach(now);
    const QRect reach = QRectF(logical.x() * shown.Scale, logical.y() * shown.Scale,
                               logical.width() * shown.Scale, logical.height() * shown.Scale)
                            .toAlignedRect();
    // A calendar that failed is reported after the wallpaper has still been written.
    TFunStatContext calendar;
    ComposeWallpaper(
        FittedPicture, reach.translated(offset),
        [&](QPainter& painter) {
          painter.translate(offset);
          painter.scale(shown.Scale, shown.Scale);
          SetInfoOnPicture(painter, now);
          calendar = FunStatContext;
        },
        HandOverLayout(monitors));
    frame.Check();
    if (calendar.Failed()) {
      FunStatContext.Assign(calendar);
      frame.Check();
    }
    // The other monitors have their wallpaper; the one refused is named.
    if (!refused.isEmpty())
      frame.Raise(__LINE__, fsError, QStringLiteral("Monitor too large."), refused[0].Name,
                  QStringLiteral("%1 x %2")
                      .arg(refused[0].Geometry.width())
                      .arg(refused[0].Geometry.height()));
  });
}

void TMainForm::RedrawWallpaperOnParamChange() {
  SetFileAsWallpaper(false);
}

void TMainForm::ReloadWallpaperOnParamChange() {
  SetFileAsWallpaper(true);
}

void TMainForm::FWinIniChange() {
  TStatusFrame frame(__FILE__, "TMainForm::FWinIniChange", __LINE__);
  frame.Run([&] {
    const QRect desktop = ComputeDesktopRect();
    // Every monitor's wallpaper must cover it at its size now.
    if (ServedMonitors(ListMonitors(), nullptr) != FittedMonitors)
      SetFileAsWallpaper(true);
    else if (!SameRect(desktop, DesktopRect))
      SetFileAsWallpaper(false);
  });
}

void TMainForm::BroadcastWallpaperChange() {
  LastBroadcastTime = Now();
  const QString pick = Pictures->ChoosePicture(true, true, false);
  SetProgramRegistryText(QString::fromLatin1(ProgramName), {}, BroadcastValueName, pick);
  Platform::PostWallpaperChangeBroadcast();
}

void TMainForm::Label27Click() {
  TStatusFrame frame(__FILE__, "TMainForm::Label27Click", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to view picture."));
  frame.Run([&] {
    const QString picture =
        GetProgramRegistryText(QString::fromLatin1(ProgramName), {}, BroadcastValueName);
    if (picture.isEmpty()) return;
    RunFile(picture);
    frame.Check();
  });
}

void TMainForm::TimerTimer() {
  TStatusFrame frame(__FILE__, "TMainForm::TimerTimer", __LINE__);
  frame.Run([&] {
    TTickValues values;
    values.OnBattery = IsRunningOnBattery();
    values.Now = Now();
    if (UseAutoChangeWallpaperStartTimeCheckBox->isChecked())
      values.StartHour = TextToInt(AutoChangeWallpaperStartTimeComboBox->currentText());
    values.PictureCount = static_cast<int>(PictureFileNames.size());
    values.HasCurrentPicture = !LastFileTitle.isEmpty();
    values.AutoChange = IsAutoChangeWallpaperCheckBox->isChecked();
    values.Randomly = RandomWallpaperCheckBox->isChecked();
    values.WallpaperChangePeriod = WallpaperChangePeriod;
    values.LastAutoChangeTime = LastAutoChangeTime;
    values.ShowCalendar = ShowCalendarCheckBox->isChecked();
    values.LastRedrawTime = LastRedrawTime;
    values.Broadcast = IsBroadcastWallpaperChangeCheckBox->isChecked();
    values.BroadcastPeriod = BroadcastPeriod;
    values.LastBroadcastTime = LastBroadcastTime;

    TTickActions actions;
    actions.Stir = [this] { Random->Stir(QCursor::pos()); };
    actions.RestartAutoChange = [this](TDateTime t) { LastAutoChangeTime = t; };
    actions.RestartBroadcast = [this](TDateTime t) { LastBroadcastTime = t; };
    actions.StepPicture = [this](bool random) {
      Pictures->StepPicture(true, random);
      return static_cast<int>(PictureFileNames.size());
    };
    actions.Broadcast = [this] { BroadcastWallpaperChange(); };
    actions.SetFileAsWallpaper = [this](bool reload) { SetFileAsWallpaper(reload); };
    RunTimerTick(values, actions);
  });
}
