#include "ColorPanel.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

namespace {
// Only panels of this program offer it; the colour rides along for anyone who looks.
const QString PanelColorFormat = QStringLiteral("application/x-backdropper-panel-color");
}  // namespace

QString PanelHint(int32_t color) {
  return StockColorName(color) + ColorDescription(color) +
         QStringLiteral(
             ". (Double) Left click a color to open the stock-color dialog. Right click "
             "it to open the color dialog. Middle click it to set the default color.");
}

TColorPanel::TColorPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setMinimumSize(16, 16);
  setToolTip(PanelHint(CurrentColor));
}

void TColorPanel::SetColor(int32_t color) {
  // The hint follows every change, also those made by reading a file.
  setToolTip(PanelHint(color));
  if (color == CurrentColor) return;
  CurrentColor = color;
  update();
  Q_EMIT ColorChanged(color);
}

void TColorPanel::SetDropHandlers(std::function<bool(TColorPanel*, TColorPanel*)> over,
                                  std::function<void(TColorPanel*, TColorPanel*)> drop) {
  OnDragOver = std::move(over);
  OnDragDrop = std::move(drop);
  setAcceptDrops(OnDragOver && OnDragDrop);
}

void TColorPanel::BeginDrag() {
  DragPending = true;
}

void TColorPanel::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(contentsRect(), ColorValueToQColor(CurrentColor));
  painter.end();
  QFrame::paintEvent(event);
}

void TColorPanel::mousePressEvent(QMouseEvent* event) {
  DragPending = false;
  PressPosition = event->position().toPoint();
  if (OnMouseDown) OnMouseDown(this, event->button(), false);
  event->accept();
}

void TColorPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  DragPending = false;
  PressPosition = event->position().toPoint();
  if (OnMouseDown) OnMouseDown(this, event->button(), event->button() == Qt::LeftButton);
  event->accept();
}

void TColorPanel::mouseMoveEvent(QMouseEvent* event) {
  if (!DragPending || !(event->buttons() & Qt::LeftButton)) return;
  if ((event->position().toPoint() - PressPosition).manhattanLength() <
      QApplication::startDragDistance())
    return;
  DragPending = false;
  auto* data = new QMimeData;
  data->setData(PanelColorFormat, QByteArray::number(CurrentColor));
  QPixmap swatch(16, 16);
  swatch.fill(ColorValueToQColor(CurrentColor));
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  drag->setPixmap(swatch);
  drag->setHotSpot(QPoint(-4, -4));
  // Runs until the button is released; the target does the work in its drop handler.
  drag->exec(Qt::CopyAction);
}

void TColorPanel::mouseReleaseEvent(QMouseEvent* event) {
  DragPending = false;
  event->accept();
}

TColorPanel* TColorPanel::DragSource(const QDropEvent* event) const {
  if (!event->mimeData() || !event->mimeData()->hasFormat(PanelColorFormat)) return nullptr;
  return qobject_cast<TColorPanel*>(event->source());
}

void TColorPanel::dragEnterEvent(QDragEnterEvent* event) {
  dragMoveEvent(event);  // entering is the first move: the same question
}

void TColorPanel::dragMoveEvent(QDragMoveEvent* event) {
  TColorPanel* source = DragSource(event);
  if (source && OnDragOver && OnDragOver(this, source))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TColorPanel::dropEvent(QDropEvent* event) {
  TColorPanel* source = DragSource(event);
  if (!source || !OnDragOver || !OnDragDrop || !OnDragOver(this, source)) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  OnDragDrop(this, source);
}
