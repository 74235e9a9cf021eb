// The stock colour dialog on its own: its window, the grid of cells with the selection mark, and
// what each mouse button does on a cell.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "ColorDialog.h"
#include "Error/ErrorForm.h"
#include "ModalAnswerer.h"
#include "StockColors.h"

namespace {

constexpr int32_t Rgb(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}
constexpr int32_t Ochre = Rgb(185, 110, 25);
constexpr int OchreIndex = 87;

// The form the answerer was given, as the dialog's own type.
TColorForm* Form(QWidget* window) {
  auto* form = qobject_cast<TColorForm*>(window);
  EXPECT_NE(form, nullptr) << window->windowTitle().toStdString();
  return form;
}

}  // namespace

TEST(StockColorDialog, WindowControlsAndTexts) {
  TColorForm form;
  EXPECT_EQ(form.windowTitle(), "Stock colors");
  EXPECT_EQ(form.size(), QSize(420, 490));
  EXPECT_EQ(form.font().family(), "Arial");
  EXPECT_EQ(form.font().pixelSize(), 12);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);

  const struct {
    const char* Name;
    QRect Place;
    QWidget* Parent;
  } controls[] = {
      {"StockColorsBox", {5, 5, 410, 440}, &form},
      {"ColorsPanel", {5, 20, 400, 350}, form.StockColorsBox},
      {"RemarkLabel", {10, 380, 390, 45}, form.StockColorsBox},
      {"CancelButton", {175, 455, 75, 25}, &form},
  };
  for (const auto& control : controls) {
    auto* widget = form.findChild<QWidget*>(control.Name);
    ASSERT_NE(widget, nullptr) << control.Name;
    EXPECT_EQ(widget->geometry(), control.Place) << control.Name;
    EXPECT_EQ(widget->parentWidget(), control.Parent) << control.Name;
  }
  EXPECT_EQ(form.StockColorsBox->title(), "Stock colors");
  EXPECT_EQ(form.RemarkLabel->text(),
            "Click a color to select it and close the dialog. [RMB] to select the color and keep "
            "the dialog open. [MMB] to clip the hint of the color.");
  EXPECT_TRUE(form.RemarkLabel->wordWrap());
  EXPECT_EQ(form.CancelButton->text(), "&Cancel");

  // Escape cancels.
  form.show();
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_FALSE(form.isVisible());
}

TEST(StockColorDialog, GridCellsMarkTheSelectionAndRepeatBlack) {
  // Ochre selected: one small cell. Black selected: the first cell and the eleven extra ones.
  const struct {
    int32_t Selected;
    int SmallCells;
  } cases[] = {{Ochre, 1}, {0, 12}, {Rgb(1, 2, 3), 0}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.Selected);
    TColorForm form;
    form.SelectedColor = test.Selected;
    form.BuildGrid();
    int small = 0;
    for (int index = 0; index < TColorForm::CellCount; ++index) {
      SCOPED_TRACE(index);
      const int row = index / 12;
      const int column = index % 12;
      TStockColorCell* cell = form.Cell(index);
      ASSERT_EQ(cell->parentWidget(), form.ColorsPanel);
      const int record = index <= 132 ? index : 0;
      EXPECT_EQ(cell->Color, CStockColors[record].Color);
      EXPECT_EQ(cell->toolTip(),
                QString::fromLatin1(CStockColors[record].Name) + ColorDescription(cell->Color));
      // 32 x 28 pitch on the 400 x 350 panel; the mark is trunc(0.75 pitch - 2).
      EXPECT_EQ(cell->pos(), QPoint(5 + column * 32, 5 + row * 28));
      const bool selected = cell->Color == test.Selected;
      EXPECT_EQ(cell->size(), selected ? QSize(22, 19) : QSize(30, 26));
      small += selected;
    }
    EXPECT_EQ(small, test.SmallCells);
  }
  TColorForm form;
  form.BuildGrid();
  for (int index = 133; index < 144; ++index) EXPECT_EQ(form.Cell(index)->Color, 0) << index;
  EXPECT_EQ(form.Cell(OchreIndex)->toolTip(),
            "Ochre (RGB 185-110-25; Decimal = 12152345; Hexadecimal = 0xB96E19)");
}

TEST(StockColorDialog, LeftClickSelectsAndCloses) {
  TErrorForm errors;
  ErrorForm = &errors;
  TModalAnswerer answerer([](QWidget* window) {
    if (TColorForm* form = Form(window)) QTest::mouseClick(form->Cell(OchreIndex), Qt::LeftButton);
  });
  int32_t color = Rgb(1, 2, 3);
  int liveCalls = 0;
  EXPECT_TRUE(ColorFormDialog(color, [&](int32_t) { ++liveCalls; }));
  EXPECT_EQ(color, Ochre);
  EXPECT_EQ(liveCalls, 0);
  EXPECT_EQ(answerer.Titles, QStringList{"Stock colors"});
  ErrorForm = nullptr;
}

TEST(StockColorDialog, RightClicksApplyLiveAndCancelKeepsTheLastOne) {
  TErrorForm errors;
  ErrorForm = &errors;
  const int picks[] = {7, 104, 130};  // Teal, Cream Yellow, Lime
  QList<int32_t> live;
  QList<QSize> markSizes;
  TModalAnswerer answerer([&](QWidget* window) {
    TColorForm* form = Form(window);
    if (!form) return;
    for (int pick : picks) {
      QTest::mouseClick(form->Cell(pick), Qt::RightButton);
      EXPECT_TRUE(form->isVisible()) << "stays open";
      EXPECT_TRUE(form->ColorsPanel->isVisible());
    }
    // The mark moved with each pick: only the last is small.
    for (int pick : picks) markSizes << form->Cell(pick)->size();
    QTest::mouseClick(form->CancelButton, Qt::LeftButton);
  });
  int32_t color = Ochre;
  EXPECT_FALSE(ColorFormDialog(color, [&](int32_t c) { live << c; }));
  EXPECT_EQ(live, (QList<int32_t>{CStockColors[7].Color, CStockColors[104].Color,
                                  CStockColors[130].Color}));
  EXPECT_EQ(color, CStockColors[130].Color) << "handed back after a cancel";
  EXPECT_EQ(markSizes, (QList<QSize>{{30, 26}, {30, 26}, {22, 19}}));
  ErrorForm = nullptr;
}

TEST(StockColorDialog, RightClickWithoutLiveCallbackDoesNothing) {
  TModalAnswerer answerer([&](QWidget* window) {
    TColorForm* form = Form(window);
    if (!form) return;
    QTest::mouseClick(form->Cell(7), Qt::RightButton);
    EXPECT_EQ(form->SelectedColor, Ochre);
    EXPECT_EQ(form->Cell(OchreIndex)->size(), QSize(22, 19));
    EXPECT_TRUE(form->isVisible());
    form->reject();
  });
  int32_t color = Ochre;
  EXPECT_FALSE(ColorFormDialog(color, {}));
  EXPECT_EQ(color, Ochre);
}

TEST(StockColorDialog, MiddleClickCopiesTheHintAndStaysOpen) {
  QApplication::clipboard()->setText("before");
  TModalAnswerer answerer([&](QWidget* window) {
    TColorForm* form = Form(window);
    if (!form) return;
    QTest::mouseClick(form->Cell(OchreIndex), Qt::MiddleButton);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->SelectedColor, Rgb(0, 0, 160));
    QTest::mouseClick(form->Cell(140), Qt::MiddleButton);  // an extra black cell
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Black (RGB 0-0-0; Decimal = 0; Hexadecimal = 0x000000)");
    QTest::mouseClick(form->Cell(OchreIndex), Qt::MiddleButton);
    form->reject();
  });
  int32_t color = Rgb(0, 0, 160);
  EXPECT_FALSE(ColorFormDialog(color, [](int32_t) {}));
  EXPECT_EQ(QApplication::clipboard()->text(),
            "Ochre (RGB 185-110-25; Decimal = 12152345; Hexadecimal = 0xB96E19)");
  EXPECT_EQ(color, Rgb(0, 0, 160));
}

TEST(StockColorDialog, DescriptionReadsRedGreenBlueFromTheTop) {
  EXPECT_EQ(ColorDescription(Ochre),
            " (RGB 185-110-25; Decimal = 12152345; Hexadecimal = 0xB96E19)");
  EXPECT_EQ(ColorDescription(Rgb(1, 2, 3)),
            " (RGB 1-2-3; Decimal = 66051; Hexadecimal = 0x010203)");
  EXPECT_EQ(ColorDescription(Rgb(255, 255, 255)),
            " (RGB 255-255-255; Decimal = 16777215; Hexadecimal = 0xFFFFFF)");
}
