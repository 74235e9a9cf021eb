// The stock colour dialog (a grid of the program's named colours) and the editing of colour
// panels with the mouse.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class TColorPanel;

// Called with each colour chosen live (right click in the stock dialog).
using TLiveColorCallback = std::function<void(int32_t color)>;

class TStockColorCell;

class TColorForm : public QDialog {
  Q_OBJECT
 public:
  static constexpr int ClientWidth = 420;
  static constexpr int ClientHeight = 490;
  static constexpr int GridSize = 12;
  static constexpr int CellCount = GridSize * GridSize;

  explicit TColorForm(QWidget* parent = nullptr);

  int32_t SelectedColor = 0;
  TLiveColorCallback LiveCallback;

  // Places every cell: its colour, its hint, and the smaller size that marks the selected colour.
  void BuildGrid();
  // A press on cell `index` with `button`.
  void CellMouseDown(int index, Qt::MouseButton button);
  TStockColorCell* Cell(int index) const { return Cells[index]; }

  QGroupBox* StockColorsBox;
  QFrame* ColorsPanel;
  QLabel* RemarkLabel;
  QPushButton* CancelButton;

 private:
  std::array<TStockColorCell*, CellCount> Cells{};
};

// One cell of the grid: a colour with a thin border.
class TStockColorCell : public QWidget {
  Q_OBJECT
 public:
  TStockColorCell(TColorForm* form, int index, QWidget* parent);
  int32_t Color = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  TColorForm* Form;
  int Index;
};

// The stock colour record shown in cell `index` of the grid: the table in order, then Black.
int StockCellRecord(int index);

// Shows the stock colour dialog for `color`, centred on `owner` when given. The colour is handed
// back also after a cancel, so that a colour chosen live stays. True when a colour was picked.
bool ColorFormDialog(int32_t& color, const TLiveColorCallback& live, QWidget* owner = nullptr);
// Edits `panel` for a press of `button`: a (double) left click opens the stock dialog, a right
// click the system colour dialog, a middle click takes the default. True when the panel's colour
// was set.
bool EditColorPanel(TColorPanel* panel, Qt::MouseButton button, const TLiveColorCallback& live);
// Sets the panel's colour and its hint.
void SetPanelColor(TColorPanel* panel, int32_t color);
