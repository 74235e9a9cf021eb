#include <QCheckBox>
#include <QComboBox>

#include "DesktopPositionDialog.h"
#include "MainDialog.h"
#include "Utilities.h"
#include "ValueParsing/ValueParsing.h"

void TMainForm::CalendarSetDesktopPositionLabelClick() {
  if (!ShowCalendarCheckBox->isChecked()) {
    ShowWarning(QStringLiteral("The calendar is not displayed on the wallpaper."));
    return;
  }
  if (!DesktopPositionForm) return;
  const int margin = GetIntFromComboBox(DesktopMarginComboBox);
  const double eccentricity = GetIntFromComboBox(CalendarOvalBackEccentricityComboBox) * 0.01;
  if (DesktopPositionForm->SelectPosition(RectLeft, RectTop, margin, eccentricity,
                                          CalendarOvalBackCheckBox->isChecked(), RectHeight,
                                          RectWidth, this)) {
    // The picture is unchanged: only the calendar moves.
    RedrawWallpaperOnParamChange();
  }
}
