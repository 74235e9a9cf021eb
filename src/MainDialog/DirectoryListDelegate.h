// The directory list's rows: an "Active" cell, a "Recurs" cell and the path, drawn by hand, and
// the list's own mouse and key rules (a press selects, character keys do nothing).
#pragma once

#include <QPoint>
#include <QStyledItemDelegate>

class QListWidget;

class TDirectoryListDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  // The flags of an entry, kept in its item's data under FlagsRole.
  static constexpr int FlagsRole = Qt::UserRole;
  static constexpr int ActiveFlag = 1;
  static constexpr int RecursFlag = 2;

  enum TCell { ActiveCell, RecursCell, PathCell };

  // Draws `list`, sets its row height and filters its mouse and key input.
  explicit TDirectoryListDelegate(QListWidget* list);

  // The list takes the keyboard focus whenever `page` is shown.
  void FocusListWhenShown(QWidget* page);

  // The row height: the list font's height plus 4 pixels.
  int RowHeight() const;
  // The cell at `x` pixels from a row's left edge, for a row `rowHeight` high.
  static TCell CellAt(int x, int rowHeight);
  // The right edges of the first two cells.
  static int ActiveCellEnd(int rowHeight) { return 2 * rowHeight; }
  static int RecursCellEnd(int rowHeight) { return rowHeight * 9 / 2; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 Q_SIGNALS:
  // Any mouse button went down over the list, at `position` in the list's viewport.
  void MousePressed(Qt::MouseButton button, QPoint position);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QListWidget* List;
  QWidget* Viewport;
  QWidget* Page = nullptr;
};
