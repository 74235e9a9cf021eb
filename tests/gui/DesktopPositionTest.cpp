// The "Desktop position" window on the offscreen screen (800 x 800, so a box of 200 x 200): its
// arithmetic, a click that moves the calendar with one redraw, cancelling, the refusals.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <functional>

#include "FormOnPicture.h"
#include "DesktopPositionDialog.h"
#include "Error/ErrorForm.h"
#include "LinkLabel.h"
#include "MainDialog/MainDialog.h"
#include "ModalAnswerer.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"

namespace {

TEST(DesktopPositionBox, ScalesRoundsHalfUpAndClamps) {
  struct Case {
    QSize Area;
    double Left, Top, Width, Height;
    QSize Box;
    QRect Old;
    QSize Calendar;
  };
  const Case cases[] = {
      {{1920, 1040}, 0.7, 0.15, 0.1, 0.1, {200, 108}, {140, 16, 20, 11}, {20, 11}},
      // Halves go up at both roundings: y 12.5 -> 13, then 6.5 -> 7; x 12.5 -> 13; 37.5 -> 38.
      {{400, 400}, 0.0625, 0.03125, 0.125, 0.25, {200, 200}, {13, 7, 25, 50}, {25, 50}},
      {{100, 50}, 0.5, 0.5, 0.2, 0.2, {100, 50}, {50, 25, 20, 10}, {20, 10}},  // not enlarged
  };
  TPositionBox box;
  for (const Case& c : cases) {
    ASSERT_TRUE(
        TDesktopPositionForm::ComputePositionBox(c.Area, c.Left, c.Top, c.Width, c.Height, box));
    EXPECT_EQ(box.Box, c.Box) << c.Area.width();
    EXPECT_EQ(box.Old, c.Old) << c.Area.width();
    EXPECT_EQ(box.Calendar, c.Calendar) << c.Area.width();
  }
  EXPECT_FALSE(TDesktopPositionForm::ComputePositionBox({0, 600}, 0.7, 0.15, 0.1, 0.1, box));
  EXPECT_FALSE(TDesktopPositionForm::ComputePositionBox({2000, 1}, 0.7, 0.15, 0.1, 0.1, box))
      << "scales to no height";

  ASSERT_TRUE(TDesktopPositionForm::ComputePositionBox({1920, 1040}, 0.7, 0.15, 0.1, 0.1, box));
  EXPECT_EQ(TDesktopPositionForm::PlaceOf({-5, -3, 20, 11}, box), QPointF(0, 0));
  EXPECT_EQ(TDesktopPositionForm::PlaceOf({195, 100, 20, 11}, box), QPointF(0.9, 97.0 / 108));
  EXPECT_EQ(TDesktopPositionForm::PlaceOf({50, 27, 20, 11}, box), QPointF(0.25, 27.0 / 108));
}

using TAnswer = std::function<void(TDesktopPositionForm*)>;

class DesktopPositionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ErrorForm = &Errors;
    DesktopPositionForm = &Position;
    Form.ShowCalendarCheckBox->setChecked(true);
    Form.DesktopMarginComboBox->setCurrentText("0");
    UsePlainPicture(Form, 0xFF3C5A78u);
    Form.SetFileAsWallpaper(true);
    PerRedraw = CommandsPerRedraw(Form, Desktop);
  }
  void TearDown() override {
    DesktopPositionForm = nullptr;
    ErrorForm = nullptr;
  }

  qsizetype Commands() const { return Desktop.Runner->Commands.size(); }

  // Clicks the link with `answer` for the window it opens; returns the redraws it caused.
  qsizetype Click(TAnswer answer) {
    // 80 x 80 on the screen: 20 x 20 in the box.
    Form.RectWidth = Form.RectHeight = 0.1;
    Next = std::move(answer);
    const qsizetype before = Commands();
    QTest::mouseClick(Form.CalendarSetDesktopPositionLabel, Qt::LeftButton);
    return (Commands() - before) / PerRedraw;
  }

  void Answer(QWidget* window) {
    auto* form = qobject_cast<TDesktopPositionForm*>(window);
    if (!form) {
      Messages << Answerer.Texts.constLast();
      TModalAnswerer::ClickButton(window, QStringLiteral("OK"));
      return;
    }
    Opened << form->pos();
    Next(form);
  }

  TRecordedDesktop Desktop{"MATE"};
  TErrorForm Errors;
  TDesktopPositionForm Position;
  TAnswer Next;
  QStringList Messages;
  QList<QPoint> Opened;
  TModalAnswerer Answerer{[this](QWidget* w) { Answer(w); }};
  TMainForm Form;
  qsizetype PerRedraw = 0;
};

TEST_F(DesktopPositionTest, AClickSetsThePlaceAndRedrawsOnce) {
  ASSERT_GT(PerRedraw, 0);
  EXPECT_EQ(Click([](TDesktopPositionForm* form) {
              QTest::mouseMove(form->PaintBox, {90, 90});
              QTest::mouseClick(form->PaintBox, Qt::LeftButton, {}, {40, 30});
            }),
            1);
  EXPECT_DOUBLE_EQ(Form.RectLeft, 30.0 / 200);
  EXPECT_DOUBLE_EQ(Form.RectTop, 20.0 / 200);
  // The main window is hidden: the window is centred on the screen.
  ASSERT_EQ(Opened.size(), 1);
  EXPECT_EQ(Opened[0] + QPoint(150, 165),
            QGuiApplication::primaryScreen()->availableGeometry().center());

  // A press with no move before it (sent straight to the box) takes its own place, not the one
  // pointed at last time, clamped at the edge.
  EXPECT_EQ(Click([](TDesktopPositionForm* form) {
              QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 3),
                                form->PaintBox->mapToGlobal(QPointF(1, 3)), Qt::LeftButton,
                                Qt::LeftButton, Qt::NoModifier);
              QCoreApplication::sendEvent(form->PaintBox, &press);
            }),
            1);
  EXPECT_EQ(Form.RectLeft, 0.0);
  EXPECT_EQ(Form.RectTop, 0.0);
  EXPECT_TRUE(Messages.isEmpty()) << Messages.join("\n").toStdString();
}

TEST_F(DesktopPositionTest, EscapeAndCancelChangeNothing) {
  Form.CalendarOvalBackCheckBox->setChecked(true);
  Form.RectLeft = 0.6;
  Form.RectTop = 0.2;
  const QString shot = QFileInfo(BACKDROPPER_BINARY).absolutePath() + "/screenshots";
  QDir().mkpath(shot);
  const TAnswer escape = [&](TDesktopPositionForm* form) {
    QTest::mouseMove(form->PaintBox, {50, 100});
    EXPECT_TRUE(form->grab().save(shot + "/DesktopPosition.png"));
    QTest::keyClick(form, Qt::Key_Escape);
  };
  const TAnswer cancel = [](TDesktopPositionForm* form) {
    QTest::mouseMove(form->PaintBox, {150, 100});
    EXPECT_TRUE(TModalAnswerer::ClickButton(form, "Cancel"));
  };
  for (const TAnswer& answer : {escape, cancel}) {
    EXPECT_EQ(Click(answer), 0);
    EXPECT_EQ(Form.RectLeft, 0.6);
    EXPECT_EQ(Form.RectTop, 0.2);
  }
  EXPECT_EQ(Opened.size(), 2);
}

TEST_F(DesktopPositionTest, RefusesWhenTheCalendarIsHiddenOrHasNoRoom) {
  Form.ShowCalendarCheckBox->setChecked(false);
  EXPECT_EQ(Click({}), 0);
  EXPECT_EQ(Messages, QStringList{"The calendar is not displayed on the wallpaper."});

  // A margin of half the screen leaves an area without width.
  double left = 0.3, top = 0.4;
  EXPECT_FALSE(Position.SelectPosition(left, top, 400, 1.0, false, 0.1, 0.1));
  EXPECT_TRUE(Opened.isEmpty());
  ASSERT_EQ(Messages.size(), 2);
  EXPECT_TRUE(Messages[1].contains("no room")) << Messages[1].toStdString();
  EXPECT_EQ(left, 0.3);
  EXPECT_EQ(top, 0.4);
}

}  // namespace
