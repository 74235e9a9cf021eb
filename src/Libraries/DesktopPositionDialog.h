// The window that places the calendar on a scaled image of the desktop.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>

class QFrame;
class QLabel;
class QPushButton;

// The calendar area shrunk into the dialog's box, with the calendar's current place in it.
struct TPositionBox {
  QSize Box;  // the scaled area, never larger than the area
  double ScaleX = 0;
  double ScaleY = 0;
  QRect Old;       // the calendar's place now, in box pixels
  QSize Calendar;  // the calendar's size in box pixels
};

class TDesktopPositionForm : public QDialog {
  Q_OBJECT
 public:
  explicit TDesktopPositionForm(QWidget* parent = nullptr);

  // A length in pixels as a fraction of the calendar area's width or height for the desktop
  // margin `margin`; 0 when the area is empty.
  static double GetRelativeWidth(int width, int margin);
  static double GetRelativeHeight(int height, int margin);

  // Lets the user point at the calendar's new place; true, and `rectLeft`, `rectTop` set, when a
  // place was clicked. `eccentricity` is the oval's width as a fraction of its height. The
  // window is centred on `owner` when that is shown, else on the screen.
  bool SelectPosition(double& rectLeft, double& rectTop, int margin, double eccentricity, bool oval,
                      double rectHeight, double rectWidth, QWidget* owner = nullptr);

  // False when the area or its scaled box has no width or height.
  static bool ComputePositionBox(const QSize& area, double rectLeft, double rectTop,
                                 double rectWidth, double rectHeight, TPositionBox& box);
  // The relative place of a calendar drawn at `rect` in the box, kept inside the box.
  static QPointF PlaceOf(const QRect& rect, const TPositionBox& box);

  static constexpr int PanelSize = 200;

  QLabel* Label15;
  QFrame* PaintBoxPanel;
  QWidget* PaintBox;
  QPushButton* CancelButton;
  // Follows the mouse; kept from one use of the window to the next.
  QRect NewRect;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PaintBoxMouseMove(const QPoint& at);
  void PaintBoxMouseDown(const QPoint& at);
  void DrawBackground();
  void DrawShape(QPainter& painter, const QRect& rect, const QColor& fill);
  void CentreOn(QWidget* owner);

  TPositionBox Box;
  bool Oval = false;
  int Eccentricity = 100;  // percent
  QImage Bitmap;
};

extern TDesktopPositionForm* DesktopPositionForm;
