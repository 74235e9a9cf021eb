// The calendar painted on the composed wallpaper by the main window: the skin its controls hold,
// the place it stores, "Default skin" and the redraw when a tick passes midnight. The desktop
// setter records instead of setting.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLocale>
#include <QTest>

#include "FormOnPicture.h"
#include "Calendar/CalendarArea.h"
#include "Calendar/CalendarPainter.h"
#include "DesktopPositionDialog.h"
#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "File/File.h"
#include "LinkLabel.h"
#include "MainDialog/MainDialog.h"
#include "ModalAnswerer.h"
#include "MyGDIPlus/DrawContext.h"
#include "MyTime.h"
#include "PaintProbes.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"
#include "TestClock.h"
#include "ValueParsing/ValueParsing.h"

namespace {

constexpr QRgb Plain = 0xFF3C5A78u;
const QDate Friday(2024, 5, 17);

QImage WallpaperFile() {
  return QImage(GetOperatorPath() + "Backdropper_Wallpaper.bmp")
      .convertToFormat(QImage::Format_RGB32);
}

class CalendarWallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ErrorForm = &Errors;
    UsePlainPicture(Form, Plain);
  }
  void TearDown() override { ErrorForm = nullptr; }

  // The layout the window's place and today give, with the default skin.
  TCalendarLayout Layout(const QDate& today) {
    TCalendarScene scene;
    scene.Today = today;
    scene.Area = CalendarArea(GetIntFromComboBox(Form.DesktopMarginComboBox));
    scene.RectLeft = Form.RectLeft;
    scene.RectTop = Form.RectTop;
    TCalendarLayout layout;
    EXPECT_TRUE(ComputeCalendarLayout(CalendarLayoutInput(TCalendarSkinValues{}, scene), layout));
    return layout;
  }

  TTestClock Clock{QDateTime(Friday, QTime(23, 59, 59))};
  TRecordedDesktop Desktop{"MATE"};
  TErrorForm Errors;
  TModalAnswerer Answerer{[](QWidget* w) { TModalAnswerer::ClickButton(w, "&Okay"); }};
  TMainForm Form;
};

}  // namespace

TEST_F(CalendarWallpaperTest, TheControlsHoldTheDefaultSkin) {
  // Painted from the controls and from the plain defaults, the calendars are the same; also
  // banded and shadowed, so that the values only those use are compared too.
  const std::function<void(TCalendarSkinValues&)> variants[] = {
      [](TCalendarSkinValues&) {}, [](TCalendarSkinValues& s) { s.SimpleBack = false; },
      [](TCalendarSkinValues& s) { s.TextEffect = QStringLiteral("Shadow"); }};
  for (const auto& variant : variants) {
    auto paint = [&](TCalendarSkinValues skin) {
      variant(skin);
      return PaintedWith(SolidImage(500, 600, Plain), [&](TDrawContext& context) {
        TCalendarScene scene;
        scene.Today = QDate(2024, 2, 29);
        scene.Area = QRect(0, 0, 500, 600);
        TCalendarPlacement placement;
        EXPECT_TRUE(
            PaintMonthCalendar(context, skin, CalendarNames(QLocale::c()), scene, placement));
      });
    };
    EXPECT_EQ(paint(Form.CalendarSkinValues()), paint(TCalendarSkinValues{}));
  }
}

TEST_F(CalendarWallpaperTest, ComposingPaintsTheCalendarAndStoresItsPlace) {
  Form.RectLeft = 5;  // past the right: clamped
  const TCalendarLayout layout = Layout(Friday);
  Form.SetFileAsWallpaper(true);
  ASSERT_EQ(FunStatContext.Status, fsPerfect);
  const QImage wallpaper = WallpaperFile();
  EXPECT_EQ(Form.FittedPicture.pixel(layout.Calendar.center()), Plain) << "the fitting is kept";
  EXPECT_NE(wallpaper.pixel(layout.Calendar.center()), Plain);
  // Nothing outside the calendar and its outline changed.
  const QRect painted = layout.Calendar.adjusted(0, 0, 1, 1);
  for (int y = 0; y < wallpaper.height(); y += 3)
    for (int x = 0; x < wallpaper.width(); x += 3)
      if (!painted.contains(x, y)) {
        ASSERT_EQ(wallpaper.pixel(x, y), Plain) << x << "," << y;
      }
  const int margin = GetIntFromComboBox(Form.DesktopMarginComboBox);
  EXPECT_DOUBLE_EQ(Form.RectWidth,
                   TDesktopPositionForm::GetRelativeWidth(layout.Sizes.Width, margin));
  EXPECT_DOUBLE_EQ(Form.RectHeight,
                   TDesktopPositionForm::GetRelativeHeight(layout.Sizes.Height, margin));
  EXPECT_DOUBLE_EQ(Form.RectLeft, 1 - Form.RectWidth);
  EXPECT_EQ(layout.Calendar.right() + 1, CalendarArea(margin).right() + 1);
  EXPECT_DOUBLE_EQ(Form.LastRedrawTime, Now());

  // "Show on wallpaper" off: the picture as it was fitted, and the redraw time stays.
  Clock.Set(QDateTime(Friday, QTime(23, 59, 29)));
  Form.ShowCalendarCheckBox->setChecked(false);
  EXPECT_EQ(WallpaperFile(), Form.FittedPicture);
  EXPECT_NE(Form.LastRedrawTime, Now());

  // A margin past the work area: nothing painted, the place kept, and the day recorded as
  // tried, so the next tick does not write the wallpaper again.
  const double left = Form.RectLeft;
  Form.ShowCalendarCheckBox->setChecked(true);
  Form.DesktopMarginComboBox->setEditable(true);  // as an options file can set it
  Form.DesktopMarginComboBox->setCurrentText("5000");
  Clock.Set(QDateTime(Friday, QTime(23, 59, 45)));
  Form.RedrawWallpaperOnParamChange();
  EXPECT_EQ(WallpaperFile(), Form.FittedPicture);
  EXPECT_DOUBLE_EQ(Form.LastRedrawTime, Now());
  EXPECT_DOUBLE_EQ(Form.RectLeft, left);
}

TEST_F(CalendarWallpaperTest, DefaultSkinChangesEveryControlAndRedrawsOnce) {
  Form.SetFileAsWallpaper(true);
  const qsizetype perRedraw = CommandsPerRedraw(Form, Desktop);
  ASSERT_GT(perRedraw, 0);
  const QImage defaults = WallpaperFile();
  Form.CalendarOvalBackCheckBox->setChecked(true);
  Form.CalendarTextEffectComboBox->setCurrentText("Shadow");
  Form.CalendarOtherMonthsWeeksComboBox->setCurrentText("3");
  EXPECT_NE(WallpaperFile(), defaults);

  const qsizetype before = Desktop.Runner->Commands.size();
  QTest::mouseClick(Form.CalendarDefaultSkinLabel, Qt::LeftButton);
  EXPECT_EQ(Desktop.Runner->Commands.size() - before, perRedraw) << "one redraw";
  EXPECT_EQ(WallpaperFile(), defaults);
}

TEST_F(CalendarWallpaperTest, ATickPastMidnightRedrawsOnceWithTheNewDayMarked) {
  Form.SetFileAsWallpaper(true);
  const qsizetype perRedraw = CommandsPerRedraw(Form, Desktop);
  const QDate friday = Friday;
  const TCalendarLayout layout = Layout(friday);
  const QRect fridayCell = layout.CellRect(3, 4);
  const QRect saturdayCell = layout.CellRect(3, 5);
  ASSERT_EQ(layout.CellDate(3, 4), friday);
  EXPECT_EQ(WallpaperFile().pixel(fridayCell.topLeft()), qRgb(0, 0, 0)) << "today framed";

  const qsizetype before = Desktop.Runner->Commands.size();
  Clock.Set(QDateTime(friday, QTime(23, 59, 59, 900)));
  Form.TimerTimer();
  EXPECT_EQ(Desktop.Runner->Commands.size(), before) << "the same day";

  Clock.Set(QDateTime(friday.addDays(1), QTime(0, 0, 0, 400)));
  Form.TimerTimer();
  EXPECT_EQ(Desktop.Runner->Commands.size() - before, perRedraw) << "one redraw";
  const QImage saturday = WallpaperFile();
  EXPECT_EQ(saturday.pixel(saturdayCell.topLeft()), qRgb(0, 0, 0));
  EXPECT_NE(saturday.pixel(fridayCell.topLeft()), qRgb(0, 0, 0));
  EXPECT_EQ(DayOf(Form.LastRedrawTime), DayOf(Now()));

  Clock.Set(QDateTime(friday.addDays(1), QTime(0, 0, 1, 400)));
  Form.TimerTimer();
  EXPECT_EQ(Desktop.Runner->Commands.size() - before, perRedraw) << "no second redraw";
}

TEST_F(CalendarWallpaperTest, TheDayPaintedIsTheDayRecordedAcrossMidnight) {
  Form.SetFileAsWallpaper(true);
  // A clock a millisecond later at every reading, from just before midnight.
  class TSteppingClock : public Platform::IClock {
   public:
    QDateTime Now() override { return At = At.addMSecs(1); }
    uint32_t TickCount() override { return 0; }
    QDateTime At{Friday, QTime(23, 59, 59, 990)};
  };
  auto clock = std::make_unique<TSteppingClock>();
  TSteppingClock* stepping = clock.get();
  Platform::SetClock(std::move(clock));
  const QRect fridayCell = Layout(Friday).CellRect(3, 4);
  while (stepping->At.date() == Friday) {
    Form.RedrawWallpaperOnParamChange();
    const bool fridayMarked = WallpaperFile().pixel(fridayCell.topLeft()) == qRgb(0, 0, 0);
    EXPECT_EQ(fridayMarked, DayOf(Form.LastRedrawTime) == DayOf(EncodeDateTime(Friday, {})))
        << stepping->At.toString(Qt::ISODateWithMs).toStdString();
  }
  Platform::SetClock(nullptr);
}
