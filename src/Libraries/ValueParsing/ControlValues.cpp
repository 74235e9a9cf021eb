// The value readers that warn in a box and put the default back into their control.
#include <QComboBox>
#include <QWidget>

#include "Error/Error.h"
#include "Utilities.h"
#include "ValueParsing/ValueParsing.h"

int32_t GetIntFromComboBox(QComboBox* box, int32_t min, int32_t max, int32_t def) {
  if (!box) return def;
  int32_t value = def;
  bool outside = false;
  TStatusFrame frame(__FILE__, "GetIntFromComboBox", __LINE__);
  frame.Run([&] {
    const QString text = box->currentText();
    if (!text.isEmpty() && !TryTextToInt(text, value))
      THROW_ERROR(QStringLiteral("\"%1\" is not a valid integer value.").arg(text));
    outside = value < min || value > max;
  });
  if (outside || frame.Failed()) {
    ShowWarning(QStringLiteral("Integer value outside limits.\nIt will be set to default.\n"
                               "    * Minimum = %1\n    * Maximum = %2\n    * Default = %3")
                    .arg(min)
                    .arg(max)
                    .arg(def));
    FocusControl(box);
    value = def;
    box->setCurrentText(QString::number(def));
  }
  return value;
}

int32_t GetIntFromComboBox(QComboBox* box) {
  return GetIntFromComboBox(box, IntMin, IntMax, 0);
}

void FocusControl(QWidget* control) {
  if (control) control->setFocus(Qt::OtherFocusReason);
}
