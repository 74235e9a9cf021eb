// The colour panels of the main window: the mouse buttons, dragging a colour between calendar
// panels, the hint that names the colour, and the one redraw (or, for the filling colour, the
// one reload) each change costs. The desktop setter records instead of setting.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include "MainDialog/CalendarSkin.h"
#include "ColorDialog.h"
#include "ColorPanel.h"
#include "Error/ErrorForm.h"
#include "MainDialog/MainDialog.h"
#include "FormOnPicture.h"
#include "ModalAnswerer.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"
#include "StoredTextList/StoredTextList.h"

namespace {

constexpr int32_t Rgb(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}
constexpr int32_t Ochre = Rgb(185, 110, 25);
constexpr int OchreIndex = 87;

class ColorPanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ErrorForm = &Errors;
    UsePlainPicture(Form, qRgb(60, 90, 120));
    Form.SetFileAsWallpaper(true);
    PerCompose = CommandsPerRedraw(Form, Desktop);
  }
  void TearDown() override { ErrorForm = nullptr; }

  qsizetype Commands() const { return Desktop.Runner->Commands.size(); }
  // Compositions since `before`.
  qsizetype Composed(qsizetype before) const { return (Commands() - before) / PerCompose; }

  // Answers each modal window with `answer` for the length of one call.
  void Answering(const std::function<void(QWidget*)>& answer, const std::function<void()>& call) {
    TModalAnswerer answerer(answer);
    call();
    Titles = answerer.Titles;
  }

  TRecordedDesktop Desktop{"MATE"};
  TErrorForm Errors;
  TMainForm Form;
  qsizetype PerCompose = 1;
  QStringList Titles;
};

// The calendar panels that take a dropped colour.
bool TakesDrops(const TSkinParameter& parameter) {
  const QLatin1String key(parameter.Key);
  return key != QLatin1String("TextShadowColor") && key != QLatin1String("YearTextColor") &&
         key != QLatin1String("MonthTextColor");
}

}  // namespace

TEST_F(ColorPanelsTest, MiddleClickRestoresTheDefaultWithoutADialogAndRedrawsOnce) {
  TColorPanel* panel = Form.CalendarTodayBackColorPanel;
  ASSERT_EQ(panel->DefaultColor(), Ochre);
  Form.Updating = true;
  panel->SetColor(Rgb(1, 2, 3));
  Form.Updating = false;
  EXPECT_TRUE(panel->toolTip().startsWith(" (RGB 1-2-3;")) << "no stock name";

  const qsizetype before = Commands();
  const int fitted = Form.PictureFittings;
  Answering([](QWidget* w) { w->close(); }, [&] { QTest::mouseClick(panel, Qt::MiddleButton); });
  EXPECT_TRUE(Titles.isEmpty());
  EXPECT_EQ(panel->Color(), Ochre);
  EXPECT_EQ(Composed(before), 1);
  EXPECT_EQ(Form.PictureFittings, fitted) << "a redraw, not a reload";
  EXPECT_EQ(panel->toolTip(),
            "Ochre (RGB 185-110-25; Decimal = 12152345; Hexadecimal = 0xB96E19). (Double) Left "
            "click a color to open the stock-color dialog. Right click it to open the color "
            "dialog. Middle click it to set the default color.");
}

TEST_F(ColorPanelsTest, SingleLeftPressOpensNothingDoubleClickOpensTheStockDialog) {
  TColorPanel* panel = Form.CalendarFrameBack3ColorPanel;
  const int32_t was = panel->Color();
  qsizetype before = Commands();
  Answering([](QWidget* w) { w->close(); }, [&] { QTest::mouseClick(panel, Qt::LeftButton); });
  EXPECT_TRUE(Titles.isEmpty());
  EXPECT_EQ(panel->Color(), was);
  EXPECT_EQ(Commands(), before);

  // The stock dialog opens on the panel's colour; a left click on a cell takes it.
  int32_t shownSelected = -1;
  QPoint shownAt;
  Answering(
      [&](QWidget* w) {
        auto* dialog = qobject_cast<TColorForm*>(w);
        ASSERT_NE(dialog, nullptr);
        shownSelected = dialog->SelectedColor;
        shownAt = dialog->frameGeometry().center();
        QTest::mouseClick(dialog->Cell(OchreIndex), Qt::LeftButton);
      },
      [&] { QTest::mouseDClick(panel, Qt::LeftButton); });
  EXPECT_EQ(Titles, QStringList{"Stock colors"});
  EXPECT_EQ(shownSelected, was);
  // Within the 2-pixel frame the offscreen platform gives a shown window.
  EXPECT_LE((shownAt - Form.frameGeometry().center()).manhattanLength(), 4) << "centred";
  EXPECT_EQ(panel->Color(), Ochre);
  EXPECT_TRUE(panel->toolTip().startsWith("Ochre (RGB"));
  EXPECT_EQ(Composed(before), 1);
}

TEST_F(ColorPanelsTest, LiveRightClicksInTheStockDialogThenCancel) {
  TColorPanel* panel = Form.CalendarSeparatorLeftColorPanel;
  const qsizetype before = Commands();
  QList<qsizetype> composedAfterEach;
  Answering(
      [&](QWidget* w) {
        auto* dialog = qobject_cast<TColorForm*>(w);
        ASSERT_NE(dialog, nullptr);
        for (int pick : {7, 104, 130}) {
          QTest::mouseClick(dialog->Cell(pick), Qt::RightButton);
          EXPECT_EQ(panel->Color(), CStockColors[pick].Color);
          composedAfterEach << Composed(before);
        }
        dialog->CancelButton->click();
      },
      [&] { QTest::mouseDClick(panel, Qt::LeftButton); });
  EXPECT_EQ(composedAfterEach, (QList<qsizetype>{1, 2, 3}));
  EXPECT_EQ(panel->Color(), CStockColors[130].Color) << "the third colour stays";
  EXPECT_EQ(Composed(before), 3) << "no redraw after the cancel";
}

TEST_F(ColorPanelsTest, RightClickOpensTheSystemColorDialog) {
  TColorPanel* panel =
      Form.CalendarDaysTab->findChild<TColorPanel*>("CalendarCurrentMonthWeekendTextColorPanel");
  ASSERT_NE(panel, nullptr);
  // Cancelled: the panel keeps its colour and nothing is drawn.
  qsizetype before = Commands();
  QColor offered;
  Answering(
      [&](QWidget* w) {
        auto* dialog = qobject_cast<QColorDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        offered = dialog->currentColor();
        dialog->reject();
      },
      [&] { QTest::mouseClick(panel, Qt::RightButton); });
  EXPECT_EQ(offered, QColor(170, 0, 0));
  EXPECT_EQ(panel->Color(), Rgb(170, 0, 0));
  EXPECT_EQ(Commands(), before);

  Answering(
      [&](QWidget* w) {
        auto* dialog = qobject_cast<QColorDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->accept();
      },
      [&] { QTest::mouseClick(panel, Qt::RightButton); });
  EXPECT_EQ(panel->Color(), Rgb(10, 20, 30));
  EXPECT_EQ(Composed(before), 1);
}

TEST_F(ColorPanelsTest, TheFillingColorReloadsThePicture) {
  TColorPanel* panel = Form.FillingPictureColorPanel;
  Answering(
      [](QWidget* w) {
        if (auto* dialog = qobject_cast<QColorDialog*>(w)) {
          dialog->setCurrentColor(QColor(200, 0, 0));
          dialog->accept();
        }
      },
      [&] {
        const qsizetype before = Commands();
        const int fitted = Form.PictureFittings;
        QTest::mouseClick(panel, Qt::RightButton);
        EXPECT_EQ(panel->Color(), Rgb(200, 0, 0));
        EXPECT_EQ(Composed(before), 1);
        EXPECT_NE(Form.PictureFittings, fitted) << "fitted again";
      });
  const qsizetype before = Commands();
  QTest::mouseClick(panel, Qt::MiddleButton);
  EXPECT_EQ(panel->Color(), 0);
  EXPECT_EQ(Composed(before), 1);
}

TEST_F(ColorPanelsTest, DropsAreTakenByNineteenCalendarPanels) {
  TColorPanel* source = Form.CalendarTodayBackColorPanel;
  int taking = 0;
  for (const TSkinParameter& parameter : SkinParameters()) {
    if (parameter.Kind != TSkinKind::Colour) continue;
    SCOPED_TRACE(parameter.Key);
    TColorPanel* panel = Form.*parameter.ColourMember;
    EXPECT_EQ(panel->acceptDrops(), TakesDrops(parameter));
    taking += panel->acceptDrops();
    if (panel == source || !panel->acceptDrops()) continue;
    EXPECT_TRUE(panel->OnDragOver(panel, source));
    EXPECT_FALSE(panel->OnDragOver(panel, panel)) << "not onto itself";
  }
  EXPECT_EQ(taking, 19);
  EXPECT_FALSE(Form.FillingPictureColorPanel->acceptDrops());
  EXPECT_TRUE(Form.FillingPictureColorPanel->OnMouseDown != nullptr);
}

TEST_F(ColorPanelsTest, ADropCopiesTheColourRenamesTheHintAndRedrawsOnce) {
  TColorPanel* source = Form.CalendarTodayBackColorPanel;  // Ochre
  TColorPanel* target = Form.CalendarFrameBack5ColorPanel;
  const qsizetype before = Commands();
  target->OnDragDrop(target, source);
  EXPECT_EQ(target->Color(), Ochre);
  EXPECT_EQ(source->Color(), Ochre);
  EXPECT_TRUE(target->toolTip().startsWith("Ochre (RGB 185-110-25;"));
  EXPECT_EQ(Composed(before), 1);

  // Anything that is not a panel's colour is refused, also by a panel that takes colours.
  QMimeData text;
  text.setText("Ochre");
  QDragEnterEvent enter(target->rect().center(), Qt::CopyAction, &text, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  EXPECT_FALSE(enter.isAccepted());
  QDropEvent drop(target->rect().center(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  target->SetColor(0);
  QApplication::sendEvent(target, &drop);
  EXPECT_EQ(target->Color(), 0);
}

TEST_F(ColorPanelsTest, ALeftPressArmsADragThatAReleaseDisarms) {
  TColorPanel* panel = Form.CalendarFrameBack1ColorPanel;
  QTest::mousePress(panel, Qt::LeftButton);
  EXPECT_TRUE(panel->DragArmed());
  QTest::mouseRelease(panel, Qt::LeftButton);
  EXPECT_FALSE(panel->DragArmed());
  QTest::mousePress(panel, Qt::MiddleButton);
  EXPECT_FALSE(panel->DragArmed());
  QTest::mouseRelease(panel, Qt::MiddleButton);
}

TEST_F(ColorPanelsTest, HintsFollowSkinLoadsAndDefaultSkin) {
  TColorPanel* panel = Form.CalendarYearTextColorPanel;
  EXPECT_TRUE(panel->toolTip().startsWith("Ochre (RGB")) << "named from the start";
  TStoredTextList skin(QString{});
  skin.WriteText(CalendarSkinSection, "YearTextColor", "Teal");
  Form.ReadCalendarSkin(skin);
  EXPECT_EQ(panel->Color(), Rgb(0, 130, 130));
  EXPECT_TRUE(panel->toolTip().startsWith("Teal (RGB 0-130-130;"));
  const qsizetype before = Commands();
  Form.CalendarDefaultSkinLabelClick();
  EXPECT_TRUE(panel->toolTip().startsWith("Ochre (RGB")) << panel->toolTip().toStdString();
  EXPECT_EQ(Composed(before), 1);
}
