// A colour panel: shows a colour, remembers the default it resets to, names its colour in its
// hint, and can be dragged onto another panel to hand its colour over.
#pragma once

#include "StockColors.h"

#include <QFrame>
#include <QPoint>
#include <cstdint>
#include <functional>

class TColorPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TColorPanel(QWidget* parent = nullptr);

  // Colour values: red in the low byte, then green, then blue; the top bit names a system colour.
  int32_t Color() const { return CurrentColor; }
  // Sets the colour and the hint that names it; ColorChanged only when the colour differs.
  void SetColor(int32_t color);
  int32_t DefaultColor() const { return Default; }
  void SetDefaultColor(int32_t color) { Default = color; }

  // The owner's handlers. A press: the button, and whether it is the second press of a double
  // click. A drag over the panel from `source`: whether a drop is welcome. A drop from `source`.
  // The panel takes drops only while both drag handlers are set.
  std::function<void(TColorPanel* panel, Qt::MouseButton button, bool doubleClick)> OnMouseDown;
  std::function<bool(TColorPanel* panel, TColorPanel* source)> OnDragOver;
  std::function<void(TColorPanel* panel, TColorPanel* source)> OnDragDrop;
  void SetDropHandlers(std::function<bool(TColorPanel*, TColorPanel*)> over,
                       std::function<void(TColorPanel*, TColorPanel*)> drop);

  // Called from a left press: the drag starts once the pointer, still pressed, moves past the
  // system's drag distance; a release before that is an ordinary click.
  void BeginDrag();
  bool DragArmed() const { return DragPending; }

 Q_SIGNALS:
  void ColorChanged(int32_t color);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  TColorPanel* DragSource(const QDropEvent* event) const;

  int32_t CurrentColor = 0;
  int32_t Default = 0;
  bool DragPending = false;
  QPoint PressPosition;
};

// The hint of a panel holding `color`: its stock name, its description, and how to edit it.
QString PanelHint(int32_t color);
