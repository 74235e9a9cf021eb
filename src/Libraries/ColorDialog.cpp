#include "ColorDialog.h"

#include <QColorDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <memory>

#include "ColorPanel.h"
#include "Error/Error.h"
#include "StockColors.h"
#include "Utilities.h"

int StockCellRecord(int index) {
  return index < StockColorCount ? index : 0;
}

TStockColorCell::TStockColorCell(TColorForm* form, int index, QWidget* parent)
    : QWidget(parent), Form(form), Index(index) {
  setObjectName(QStringLiteral("StockColorCell%1").arg(index));
}

void TStockColorCell::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::WindowText));
  painter.fillRect(rect().adjusted(1, 1, -1, -1), ColorValueToQColor(Color));
}

void TStockColorCell::mousePressEvent(QMouseEvent* event) {
  event->accept();
  Form->CellMouseDown(Index, event->button());
}

TColorForm::TColorForm(QWidget* parent) : QDialog(parent) {
  SetUpFixedDialog(this, QStringLiteral("ColorForm"), QStringLiteral("Stock colors"),
                   QSize(ClientWidth, ClientHeight));

  StockColorsBox = new QGroupBox(QStringLiteral("Stock colors"), this);
  StockColorsBox->setObjectName(QStringLiteral("StockColorsBox"));
  StockColorsBox->setGeometry(5, 5, 410, 440);

  ColorsPanel = new QFrame(StockColorsBox);
  ColorsPanel->setObjectName(QStringLiteral("ColorsPanel"));
  ColorsPanel->setFrameStyle(QFrame::NoFrame);
  ColorsPanel->setGeometry(5, 20, 400, 350);
  for (int index = 0; index < CellCount; ++index)
    Cells[index] = new TStockColorCell(this, index, ColorsPanel);

  RemarkLabel = new QLabel(
      QStringLiteral("Click a color to select it and close the dialog. [RMB] to select the color "
                     "and keep the dialog open. [MMB] to clip the hint of the color."),
      StockColorsBox);
  RemarkLabel->setObjectName(QStringLiteral("RemarkLabel"));
  RemarkLabel->setWordWrap(true);
  RemarkLabel->setGeometry(10, 380, 390, 45);

  CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setGeometry(175, 455, 75, 25);
  CancelButton->setAutoDefault(false);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TColorForm::BuildGrid() {
  const QRect client = ColorsPanel->contentsRect();
  const int cellW = (client.width() - 10) / GridSize;
  const int cellH = (client.height() - 10) / GridSize;
  for (int row = 0; row < GridSize; ++row) {
    for (int column = 0; column < GridSize; ++column) {
      const int index = row * GridSize + column;
      const TStockColor& record = CStockColors[StockCellRecord(index)];
      TStockColorCell* cell = Cells[index];
      cell->Color = record.Color;
      cell->setToolTip(QString::fromLatin1(record.Name) + ColorDescription(record.Color));
      // The selected colour is marked by a smaller cell.
      const bool selected = record.Color == SelectedColor;
      const int width = selected ? static_cast<int>(cellW * 0.75 - 2) : cellW - 2;
      const int height = selected ? static_cast<int>(cellH * 0.75 - 2) : cellH - 2;
      cell->setGeometry(5 + column * cellW, 5 + row * cellH, width, height);
      cell->update();
    }
  }
}

void TColorForm::CellMouseDown(int index, Qt::MouseButton button) {
  TStockColorCell* cell = Cells[index];
  switch (button) {
    case Qt::LeftButton:
      SelectedColor = cell->Color;
      accept();
      break;
    case Qt::RightButton:
      if (!LiveCallback) break;
      SelectedColor = cell->Color;
      // Hidden while the cells move, so the mark does not flicker across the grid.
      ColorsPanel->hide();
      BuildGrid();
      ColorsPanel->show();
      LiveCallback(SelectedColor);
      break;
    case Qt::MiddleButton:
      CopyTextToClipboard(cell->toolTip(), QStringLiteral("Failed to copy hint to clipboard."));
      break;
    default:
      break;
  }
}

bool ColorFormDialog(int32_t& color, const TLiveColorCallback& live, QWidget* owner) {
  bool result = false;
  TStatusFrame frame(__FILE__, "ColorFormDialog", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to show color dialog."));
  frame.Run([&] {
    auto form = std::make_unique<TColorForm>(owner ? owner->window() : nullptr);
    form->LiveCallback = live;
    form->SelectedColor = color;
    form->BuildGrid();
    if (owner) {
      const QRect area = owner->window()->frameGeometry();
      form->move(area.center() - form->rect().center());
    }
    result = form->exec() == QDialog::Accepted;
    // Also after a cancel: a colour chosen live stays chosen.
    color = form->SelectedColor;
  });
  return result && !frame.Failed();
}

void SetPanelColor(TColorPanel* panel, int32_t color) {
  panel->SetColor(color);
}

bool EditColorPanel(TColorPanel* panel, Qt::MouseButton button, const TLiveColorCallback& live) {
  int32_t color = panel->Color();
  switch (button) {
    case Qt::LeftButton:
      if (!ColorFormDialog(color, live, panel)) return false;
      break;
    case Qt::RightButton:
      try {
        QColorDialog dialog(ColorValueToQColor(color), panel->window());
        if (dialog.exec() != QDialog::Accepted) return false;
        color = QColorToColorValue(dialog.selectedColor());
      } catch (...) {
        // The dialog is gone with its frame; the panel keeps its colour.
        return false;
      }
      break;
    case Qt::MiddleButton:
      color = panel->DefaultColor();
      break;
    default:
      return false;
  }
  SetPanelColor(panel, color);
  return true;
}
