#include "DesktopPositionDialog.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "Calendar/CalendarArea.h"
#include "Calendar/CalendarLayout.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "MyMath.h"
#include "Utilities.h"

TDesktopPositionForm* DesktopPositionForm = nullptr;

namespace {

int Round(double x) {
  return static_cast<int>(RoundHalfUp(x));
}

int Half(int v) {
  return v / 2;
}

}  // namespace

TDesktopPositionForm::TDesktopPositionForm(QWidget* parent) : QDialog(parent) {
  SetUpFixedDialog(this, QStringLiteral("DesktopPositionForm"), QStringLiteral("Desktop position"),
                   QSize(300, 330));

  Label15 = new QLabel(
      QStringLiteral("Move the mouse cursor over the box below and click to set the new position "
                     "(on the desktop) of the object"),
      this);
  Label15->setObjectName(QStringLiteral("Label15"));
  Label15->setWordWrap(true);
  Label15->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label15->setGeometry(10, 10, 280, 45);

  PaintBoxPanel = new QFrame(this);
  PaintBoxPanel->setObjectName(QStringLiteral("PaintBoxPanel"));
  PaintBoxPanel->setFrameShape(QFrame::NoFrame);
  PaintBoxPanel->setGeometry(50, 70, PanelSize, PanelSize);

  PaintBox = new QWidget(PaintBoxPanel);
  PaintBox->setObjectName(QStringLiteral("PaintBox"));
  PaintBox->setMouseTracking(true);
  PaintBox->setCursor(Qt::CrossCursor);
  PaintBox->installEventFilter(this);

  CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setGeometry(115, 293, 75, 25);
  CancelButton->setAutoDefault(false);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

double TDesktopPositionForm::GetRelativeWidth(int width, int margin) {
  return RelativeLength(width, CalendarArea(margin).width());
}

double TDesktopPositionForm::GetRelativeHeight(int height, int margin) {
  return RelativeLength(height, CalendarArea(margin).height());
}

bool TDesktopPositionForm::ComputePositionBox(const QSize& area, double rectLeft, double rectTop,
                                              double rectWidth, double rectHeight,
                                              TPositionBox& box) {
  const int areaWidth = area.width();
  const int areaHeight = area.height();
  if (areaWidth < 1 || areaHeight < 1) return false;
  const TFitResult fit =
      FitPictureSize(areaWidth, areaHeight, PanelSize, PanelSize, nullptr, false, false, 0, 0);
  // A very thin area scales to no height (or width) at all: nothing to point at.
  if (fit.Width < 1 || fit.Height < 1) return false;
  TPositionBox b;
  b.Box = QSize(fit.Width, fit.Height);
  b.ScaleX = static_cast<double>(fit.Width) / areaWidth;
  b.ScaleY = static_cast<double>(fit.Height) / areaHeight;
  const int x = Round(areaWidth * rectLeft);
  const int y = Round(areaHeight * rectTop);
  const int w = Round(areaWidth * rectWidth);
  const int h = Round(areaHeight * rectHeight);
  const int left = Round(x * b.ScaleX);
  const int top = Round(y * b.ScaleY);
  b.Old = QRect(left, top, Round((x + w) * b.ScaleX) - left, Round((y + h) * b.ScaleY) - top);
  b.Calendar = QSize(Round(w * b.ScaleX), Round(h * b.ScaleY));
  box = b;
  return true;
}

QPointF TDesktopPositionForm::PlaceOf(const QRect& rect, const TPositionBox& box) {
  // Lower bound first: a calendar larger than the box sticks out at the left or top.
  auto clamp = [](int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); };
  const int left = clamp(rect.left(), 0, box.Box.width() - box.Calendar.width());
  const int top = clamp(rect.top(), 0, box.Box.height() - box.Calendar.height());
  return QPointF(static_cast<double>(left) / box.Box.width(),
                 static_cast<double>(top) / box.Box.height());
}

bool TDesktopPositionForm::SelectPosition(double& rectLeft, double& rectTop, int margin,
                                          double eccentricity, bool oval, double rectHeight,
                                          double rectWidth, QWidget* owner) {
  const QRect area = CalendarArea(margin);
  TPositionBox box;
  if (!ComputePositionBox(area.size(), rectLeft, rectTop, rectWidth, rectHeight, box)) {
    ShowWarning(QStringLiteral("The desktop margin of %1 pixels leaves no room for the calendar "
                               "on the desktop.")
                    .arg(margin));
    return false;
  }
  Box = box;
  Oval = oval;
  Eccentricity = Round(eccentricity * 100);
  PaintBox->setGeometry(Half(PanelSize - Box.Box.width()), Half(PanelSize - Box.Box.height()),
                        Box.Box.width(), Box.Box.height());
  Bitmap = QImage(Box.Box, QImage::Format_RGB32);
  DrawBackground();
  CentreOn(owner);
  if (exec() != QDialog::Accepted) return false;
  const QPointF place = PlaceOf(NewRect, Box);
  rectLeft = place.x();
  rectTop = place.y();
  return true;
}

void TDesktopPositionForm::CentreOn(QWidget* owner) {
  QRect target;
  if (owner && owner->isVisible() && !owner->isMinimized()) {
    target = owner->frameGeometry();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    target = screen->availableGeometry();
  } else {
    return;
  }
  move(target.center() - QPoint(Half(width()), Half(height())));
}

void TDesktopPositionForm::DrawShape(QPainter& painter, const QRect& rect, const QColor& fill) {
  painter.setBrush(fill);
  painter.setPen(palette().color(QPalette::WindowText));
  if (Oval) {
    const QRect o = OvalRect(rect, Eccentricity);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.drawEllipse(QRectF(o).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setRenderHint(QPainter::Antialiasing, false);
  } else {
    // A pen of one pixel draws right of and below the path: shrink by one to stay inside.
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
}

void TDesktopPositionForm::DrawBackground() {
  QPainter painter(&Bitmap);
  painter.fillRect(Bitmap.rect(), palette().color(QPalette::Base));
  DrawShape(painter, Box.Old, palette().color(QPalette::Highlight));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(Bitmap.rect().adjusted(0, 0, -1, -1));
}

void TDesktopPositionForm::PaintBoxMouseMove(const QPoint& at) {
  DrawBackground();
  NewRect = QRect(at.x() - Half(Box.Calendar.width()), at.y() - Half(Box.Calendar.height()),
                  Box.Calendar.width(), Box.Calendar.height());
  {
    QPainter painter(&Bitmap);
    DrawShape(painter, NewRect, palette().color(QPalette::Button));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(Bitmap.rect().adjusted(0, 0, -1, -1));
  }
  PaintBox->update();
}

void TDesktopPositionForm::PaintBoxMouseDown(const QPoint& at) {
  // The click's own place: without a move before it, the last window's place would be taken.
  PaintBoxMouseMove(at);
  accept();
}

bool TDesktopPositionForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched != PaintBox) return QDialog::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Paint: {
      QPainter painter(PaintBox);
      painter.drawImage(0, 0, Bitmap);
      return true;
    }
    case QEvent::MouseMove:
      PaintBoxMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
      return true;
    case QEvent::MouseButtonPress:
      PaintBoxMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint());
      return true;
    default:
      return QDialog::eventFilter(watched, event);
  }
}
