// A colour panel: shows a colour and remembers the default it resets to.
#pragma once

#include "StockColors.h"

#include <QFrame>
#include <cstdint>

class TColorPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TColorPanel(QWidget* parent = nullptr);

  // Colour values: red in the low byte, then green, then blue; the top bit names a system colour.
  int32_t Color() const { return CurrentColor; }
  void SetColor(int32_t color);
  int32_t DefaultColor() const { return Default; }
  void SetDefaultColor(int32_t color) { Default = color; }

 Q_SIGNALS:
  void ColorChanged(int32_t color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int32_t CurrentColor = 0;
  int32_t Default = 0;
};
