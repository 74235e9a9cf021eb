#include "DirectoryListDelegate.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>

#include "Error/Error.h"
#include "Utilities.h"

namespace {

struct TCellLook {
  QRect Rect;
  QString Text;
  QPalette::ColorRole Back;
  QPalette::ColorRole Fore;
};

// The text sits 3 pixels in from the cell's sides and 2 from its top and bottom, cut there.
void DrawCell(QPainter& painter, const QPalette& palette, const TCellLook& cell) {
  painter.fillRect(cell.Rect, palette.color(cell.Back));
  const QRect inner = cell.Rect.adjusted(3, 2, -3, -2);
  if (inner.isEmpty()) return;
  painter.setPen(palette.color(cell.Fore));
  painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, cell.Text);
}

}  // namespace

TDirectoryListDelegate::TDirectoryListDelegate(QListWidget* list)
    : QStyledItemDelegate(list), List(list), Viewport(list->viewport()) {
  list->setItemDelegate(this);
  list->setUniformItemSizes(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->installEventFilter(this);
  Viewport->installEventFilter(this);
}

void TDirectoryListDelegate::FocusListWhenShown(QWidget* page) {
  Page = page;
  page->installEventFilter(this);
}

int TDirectoryListDelegate::RowHeight() const {
  return List->fontMetrics().height() + 4;
}

TDirectoryListDelegate::TCell TDirectoryListDelegate::CellAt(int x, int rowHeight) {
  if (x >= 0 && x < ActiveCellEnd(rowHeight)) return ActiveCell;
  if (x >= ActiveCellEnd(rowHeight) && x < RecursCellEnd(rowHeight)) return RecursCell;
  return PathCell;
}

void TDirectoryListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  TStatusFrame frame(__FILE__, "TMainForm::DirectoriesListBoxDrawItem", __LINE__);
  frame.Run([&] {
    const QRect row = option.rect;
    const int h = RowHeight();
    const int x0 = row.left();
    const int activeEnd = x0 + ActiveCellEnd(h);
    const int recursEnd = x0 + RecursCellEnd(h);
    const int flags = index.data(FlagsRole).toInt();
    const bool selected = option.state & QStyle::State_Selected;
    const bool focused = option.state & QStyle::State_HasFocus;

    // The flag cells keep the list's plain colours; only the path shows the selection, and
    // without the focus it is shown in the button face colour.
    QPalette::ColorRole pathBack = QPalette::Base, pathFore = QPalette::Text;
    if (selected && focused) {
      pathBack = QPalette::Highlight;
      pathFore = QPalette::HighlightedText;
    } else if (selected) {
      pathBack = QPalette::Button;
      pathFore = QPalette::ButtonText;
    }
    const TCellLook cells[] = {
        {QRect(QPoint(x0, row.top()), QPoint(activeEnd - 1, row.bottom())),
         (flags & ActiveFlag) ? QStringLiteral("Active") : QStringLiteral("NA"), QPalette::Base,
         QPalette::Text},
        {QRect(QPoint(activeEnd, row.top()), QPoint(recursEnd - 1, row.bottom())),
         (flags & RecursFlag) ? QStringLiteral("Recurs") : QStringLiteral("NR"), QPalette::Base,
         QPalette::Text},
        {QRect(QPoint(recursEnd, row.top()), row.bottomRight()), index.data().toString(), pathBack,
         pathFore},
    };

    painter->save();
    painter->setFont(option.font);
    for (const TCellLook& cell : cells) DrawCell(*painter, option.palette, cell);
    // Separators in the window's own text colour.
    painter->setPen(List->window()->palette().color(QPalette::WindowText));
    painter->drawLine(row.left(), row.bottom(), row.right(), row.bottom());
    painter->drawLine(activeEnd, row.top(), activeEnd, row.bottom());
    painter->drawLine(recursEnd, row.top(), recursEnd, row.bottom());
    DrawListFocusRect(*painter, List, option.state, row);
    painter->restore();
  });
}

QSize TDirectoryListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  // The list stretches every row over its whole width.
  return {0, RowHeight()};
}

bool TDirectoryListDelegate::eventFilter(QObject* watched, QEvent* event) {
  // Compared by address only: events still come while the list is being destroyed.
  if (watched == Viewport) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        // A double click is a second press, as it is for every other button.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        Q_EMIT MousePressed(mouse->button(), mouse->position().toPoint());
        return true;
      }
      case QEvent::MouseButtonRelease:
        return true;
      case QEvent::MouseMove:
        // No selection by dragging: only a press selects.
        return static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton;
      default:
        return false;
    }
  }
  if (watched == Page && event->type() == QEvent::Show) {
    List->setFocus(Qt::OtherFocusReason);
    return false;
  }
  if (watched == List && event->type() == QEvent::KeyPress) {
    // Typed characters would search the list; they are dropped instead.
    const QString text = static_cast<QKeyEvent*>(event)->text();
    return !text.isEmpty() && text.at(0).isPrint();
  }
  return false;
}
