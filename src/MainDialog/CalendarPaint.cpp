// The calendar on the wallpaper: the skin gathered from the controls, painted on the bitmap
// before it is written.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLocale>
#include <QPainter>

#include "Calendar/CalendarArea.h"
#include "Calendar/CalendarPainter.h"
#include "ColorPanel.h"
#include "Error/Error.h"
#include "MainDialog.h"
#include "MyGDIPlus/DrawContext.h"
#include "MyTime.h"
#include "ValueParsing/ValueParsing.h"

namespace {

int Number(QComboBox* box) {
  return GetIntFromComboBox(box);
}

TSkinColor Colour(TColorPanel* panel, QComboBox* translucency) {
  return {panel->Color(), Number(translucency)};
}

TSkinFont Font(QComboBox* family, QComboBox* size, QCheckBox* bold, QCheckBox* italic,
               QComboBox* horizontalShift, QComboBox* verticalShift) {
  return {family->currentText(),   Number(size),         bold->isChecked(), italic->isChecked(),
          Number(horizontalShift), Number(verticalShift)};
}

}  // namespace

TCalendarSkinValues TMainForm::CalendarSkinValues() const {
  TCalendarSkinValues s;
  s.TextEffect = CalendarTextEffectComboBox->currentText();
  s.OutlineThickness = Number(CalendarOutlineThicknessComboBox);
  s.TextShadow = Colour(CalendarTextShadowColorPanel, CalendarTextShadowTranslucencyComboBox);
  s.ShowBack = ShowCalendarBackCheckBox->isChecked();
  s.SimpleBack = SimpleCalendarBackCheckBox->isChecked();
  s.OtherMonthsWeeks = Number(CalendarOtherMonthsWeeksComboBox);
  s.FirstDayIsMonday = FirstDayIsMondayCheckBox->isChecked();
  s.HorizontalMargin = Number(CalendarHorizontalMarginSpacingComboBox);
  s.VerticalMargin = Number(CalendarVerticalMarginSpacingComboBox);
  s.YMBottomSpace = Number(CalendarYMBottomSpaceComboBox);
  s.DOWBottomSpace = Number(CalendarDOWBottomSpaceComboBox);
  s.HorizontalCenterShift = Number(CalendarHorizontalCenterShiftComboBox);
  s.VerticalCenterShift = Number(CalendarVerticalCenterShiftComboBox);
  s.HorizontalCenterFocus = Number(CalendarHorizontalCenterFocusComboBox);
  s.VerticalCenterFocus = Number(CalendarVerticalCenterFocusComboBox);
  s.OvalBack = CalendarOvalBackCheckBox->isChecked();
  s.OvalBackEccentricity = Number(CalendarOvalBackEccentricityComboBox);
  s.TodayMargin = Colour(CalendarTodayMarginColorPanel, CalendarTodayMarginTranslucencyComboBox);
  s.TodayBack = Colour(CalendarTodayBackColorPanel, CalendarTodayBackTranslucencyComboBox);
  s.FrameBriskMargin =
      Colour(CalendarFrameBriskMarginColorPanel, CalendarFrameBriskMarginTranslucencyComboBox);
  const std::pair<TColorPanel*, QComboBox*> backs[] = {
      {CalendarFrameBack1ColorPanel, CalendarFrameBack1TranslucencyComboBox},
      {CalendarFrameBack2ColorPanel, CalendarFrameBack2TranslucencyComboBox},
      {CalendarFrameBack3ColorPanel, CalendarFrameBack3TranslucencyComboBox},
      {CalendarFrameBack4ColorPanel, CalendarFrameBack4TranslucencyComboBox},
      {CalendarFrameBack5ColorPanel, CalendarFrameBack5TranslucencyComboBox},
      {CalendarFrameBack6ColorPanel, CalendarFrameBack6TranslucencyComboBox},
      {CalendarFrameBack7ColorPanel, CalendarFrameBack7TranslucencyComboBox},
  };
  for (size_t i = 0; i < s.FrameBack.size(); ++i)
    s.FrameBack[i] = Colour(backs[i].first, backs[i].second);
  s.FrameCenter = Colour(CalendarFrameCenterColorPanel, CalendarFrameCenterTranslucencyComboBox);
  QComboBox* const thicknesses[] = {
      CalendarFrameBackThick12ComboBox, CalendarFrameBackThick23ComboBox,
      CalendarFrameBackThick34ComboBox, CalendarFrameBackThick45ComboBox,
      CalendarFrameBackThick56ComboBox, CalendarFrameBackThick67ComboBox};
  for (size_t i = 0; i < s.FrameBackThick.size(); ++i) s.FrameBackThick[i] = Number(thicknesses[i]);
  s.SeparatorLeft =
      Colour(CalendarSeparatorLeftColorPanel, CalendarSeparatorLeftTranslucencyComboBox);
  s.SeparatorRight =
      Colour(CalendarSeparatorRightColorPanel, CalendarSeparatorRightTranslucencyComboBox);
  s.SeparatorThickness = Number(CalendarSeparatorThicknessComboBox);
  s.YearFont =
      Font(CalendarYearTextFontComboBox, CalendarYearTextSizeComboBox, CalendarYearBoldTextCheckBox,
           CalendarYearItalicTextCheckBox, CalendarYearHSSComboBox, CalendarYearVSSComboBox);
  s.YearText = Colour(CalendarYearTextColorPanel, CalendarYearTextTranslucencyComboBox);
  s.MonthFont = Font(CalendarMonthTextFontComboBox, CalendarMonthTextSizeComboBox,
                     CalendarMonthBoldTextCheckBox, CalendarMonthItalicTextCheckBox,
                     CalendarMonthHSSComboBox, CalendarMonthVSSComboBox);
  s.MonthText = Colour(CalendarMonthTextColorPanel, CalendarMonthTextTranslucencyComboBox);
  s.DayOfWeekFont = Font(CalendarDayOfWeekTextFontComboBox, CalendarDayOfWeekTextSizeComboBox,
                         CalendarDayOfWeekBoldTextCheckBox, CalendarDayOfWeekItalicTextCheckBox,
                         CalendarDayOfWeekHSSComboBox, CalendarDayOfWeekVSSComboBox);
  s.DayOfWeekWeekdayText = Colour(CalendarDayOfWeekWeekdayTextColorPanel,
                                  CalendarDayOfWeekWeekdayTextTranslucencyComboBox);
  s.DayOfWeekWeekendText = Colour(CalendarDayOfWeekWeekendTextColorPanel,
                                  CalendarDayOfWeekWeekendTextTranslucencyComboBox);
  s.DaysFont =
      Font(CalendarDaysTextFontComboBox, CalendarDaysTextSizeComboBox, CalendarDaysBoldTextCheckBox,
           CalendarDaysItalicTextCheckBox, CalendarDaysHSSComboBox, CalendarDaysVSSComboBox);
  s.CurrentMonthWeekdayText = Colour(CalendarCurrentMonthWeekdayTextColorPanel,
                                     CalendarCurrentMonthWeekdayTextTranslucencyComboBox);
  s.CurrentMonthWeekendText = Colour(CalendarCurrentMonthWeekendTextColorPanel,
                                     CalendarCurrentMonthWeekendTextTranslucencyComboBox);
  s.OtherMonthsWeekdayText = Colour(CalendarOtherMonthsWeekdayTextColorPanel,
                                    CalendarOtherMonthsWeekdayTextTranslucencyComboBox);
  s.OtherMonthsWeekendText = Colour(CalendarOtherMonthsWeekendTextColorPanel,
                                    CalendarOtherMonthsWeekendTextTranslucencyComboBox);
  return s;
}

TCalendarScene TMainForm::CalendarScene(const QDateTime& now) const {
  TCalendarScene scene;
  scene.Area = CalendarArea(GetIntFromComboBox(DesktopMarginComboBox));
  scene.Today = now.date();
  scene.RectLeft = RectLeft;
  scene.RectTop = RectTop;
  return scene;
}

QRect TMainForm::CalendarPaintReach(const QDateTime& now) const {
  if (!ShowCalendarCheckBox->isChecked()) return {};
  return CalendarReach(CalendarSkinValues(), CalendarScene(now));
}

void TMainForm::SetInfoOnPicture(QPainter& painter, const QDateTime& now) {
  TStatusFrame frame(__FILE__, "TMainForm::SetInfoOnPicture", __LINE__);
  frame.Run([&] {
    TDrawContext context(painter);
    PaintCalendar(context, now);
    frame.Check();
  });
}

void TMainForm::PaintCalendar(TDrawContext& context, const QDateTime& now) {
  if (!ShowCalendarCheckBox->isChecked()) return;
  TStatusFrame frame(__FILE__, "TMainForm::PaintCalendar", __LINE__);
  frame.Run([&] {
    TCalendarPlacement placement;
    // An empty area (a margin larger than the work area, no screen) paints nothing and keeps
    // the stored place.
    if (PaintMonthCalendar(context, CalendarSkinValues(), CalendarNames(QLocale::system()),
                           CalendarScene(now), placement)) {
      RectLeft = placement.RectLeft;
      RectTop = placement.RectTop;
      RectWidth = placement.RectWidth;
      RectHeight = placement.RectHeight;
    }
  });
  // Also after a failure: the day's painting was tried, the next tick must not try again.
  LastRedrawTime = QDateTimeToDateTime(now);
}
