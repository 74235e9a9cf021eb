#include "Calendar/CalendarPainter.h"

#include <QLocale>
#include <algorithm>
#include <cstdlib>

#include "MyGDIPlus/DrawContext.h"
#include "MyGDIPlus/LinearGradient.h"
#include "MyGDIPlus/PaintText.h"
#include "MyGDIPlus/PathGradient.h"
#include "MyGDIPlus/Translucency.h"

namespace {

QRgb Argb(const TSkinColor& color) {
  return ColorToArgb(color.Color, color.Translucency);
}

// The text effect and its colour, shared by every text of the calendar.
struct TTextEffect {
  bool Shadow = false;
  bool Outline = false;
  int Thickness = 0;
  TSkinColor Color;
};

// A text without a box, or today's cell with one.
void PaintCalendarText(TDrawContext& context, const QString& text, const TSkinFont& font,
                       const TSkinColor& color, const TTextEffect& effect, int lineAlignment,
                       int alignment, const QRect& rect, const TSkinColor* boxFill = nullptr,
                       const TSkinColor* boxFrame = nullptr) {
  const bool box = boxFill && boxFrame;
  PaintText(context, text, font.Family, box ? boxFill->Translucency : 0, box ? boxFill->Color : 0,
            box ? boxFrame->Translucency : 0, box ? boxFrame->Color : 0, box, effect.Thickness,
            effect.Outline, effect.Color.Translucency, effect.Color.Color, font.VerticalShift,
            font.HorizontalShift, effect.Shadow, color.Translucency, color.Color, lineAlignment,
            alignment, font.Italic, font.Bold, font.Size, rect.x(), rect.y(), rect.width(),
            rect.height());
}

void PaintBackground(TDrawContext& context, const TCalendarSkinValues& skin,
                     const TCalendarLayout& layout) {
  const QRgb margin = Argb(skin.FrameBriskMargin);
  const bool oval = skin.OvalBack;
  if (!oval) context.Smooth = false;
  if (skin.SimpleBack) {
    const QRgb fill = Argb(skin.FrameBack[4]);
    if (oval) {
      FillEllipse(context, fill, layout.Back);
      DrawEllipse(context, margin, layout.Back);
    } else {
      FillRectangle(context, fill, layout.Calendar);
      DrawRectangle(context, margin, layout.Calendar);
    }
  } else {
    TPathGradient gradient;
    gradient.Ellipse = oval;
    gradient.Bounds = layout.Back;
    gradient.Center =
        GradientCenter(layout.Back, skin.HorizontalCenterShift, skin.VerticalCenterShift);
    for (size_t i = 0; i < skin.FrameBack.size(); ++i) gradient.Colors[i] = Argb(skin.FrameBack[i]);
    gradient.Colors[7] = Argb(skin.FrameCenter);
    gradient.Positions = BandStops(skin.FrameBackThick);
    gradient.FocusX = skin.HorizontalCenterFocus / 100.0;
    gradient.FocusY = skin.VerticalCenterFocus / 100.0;
    FillPathGradient(context, gradient);
    if (oval)
      DrawEllipse(context, margin, layout.Back);
    else
      DrawRectangle(context, margin, layout.Back);
  }
  context.Smooth = true;
}

const TSkinColor& DayColor(const TCalendarSkinValues& skin, TDayGroup group) {
  switch (group) {
    case TDayGroup::CurrentWeekday:
      return skin.CurrentMonthWeekdayText;
    case TDayGroup::CurrentWeekend:
      return skin.CurrentMonthWeekendText;
    case TDayGroup::OtherWeekday:
      return skin.OtherMonthsWeekdayText;
    case TDayGroup::OtherWeekend:
      break;
  }
  return skin.OtherMonthsWeekendText;
}

}  // namespace

TCalendarNames CalendarNames(const QLocale& locale) {
  TCalendarNames names;
  for (int month = 1; month <= 12; ++month)
    names.Months[month - 1] = locale.standaloneMonthName(month, QLocale::LongFormat);
  for (int day = 1; day <= 7; ++day)
    names.Weekdays[day - 1] = locale.standaloneDayName(day, QLocale::ShortFormat);
  return names;
}

TCalendarLayoutInput CalendarLayoutInput(const TCalendarSkinValues& skin,
                                         const TCalendarScene& scene) {
  TCalendarLayoutInput input;
  input.Today = scene.Today;
  input.MondayFirst = skin.FirstDayIsMonday;
  input.OtherWeeks = skin.OtherMonthsWeeks;
  input.Metrics = {skin.YearFont.Size, skin.MonthFont.Size,   skin.DayOfWeekFont.Size,
                   skin.DaysFont.Size, skin.HorizontalMargin, skin.VerticalMargin,
                   skin.YMBottomSpace, skin.DOWBottomSpace};
  input.SeparatorThickness = skin.SeparatorThickness;
  input.Oval = skin.OvalBack;
  input.Eccentricity = skin.OvalBackEccentricity;
  input.Area = scene.Area;
  input.RectLeft = scene.RectLeft;
  input.RectTop = scene.RectTop;
  return input;
}

QRect CalendarReach(const TCalendarSkinValues& skin, const TCalendarScene& scene) {
  TCalendarLayout layout;
  if (!scene.Today.isValid() || !ComputeCalendarLayout(CalendarLayoutInput(skin, scene), layout))
    return {};
  // A one-line text stays within a line of its font around its box, widened by its outline or
  // moved by its shadow; twice the largest font is room to spare. Outlines reach a pixel out.
  int room = 0;
  for (const TSkinFont* font :
       {&skin.YearFont, &skin.MonthFont, &skin.DayOfWeekFont, &skin.DaysFont})
    room = std::max({room, 2 * font->Size + std::abs(font->VerticalShift),
                     2 * font->Size + std::abs(font->HorizontalShift)});
  room += 2 * std::max(skin.OutlineThickness, 0) + 2;
  return (layout.Calendar | layout.Back).adjusted(-room, -room, room, room);
}

bool PaintMonthCalendar(TDrawContext& context, const TCalendarSkinValues& skin,
                        const TCalendarNames& names, const TCalendarScene& scene,
                        TCalendarPlacement& placement) {
  TCalendarLayout layout;
  if (!scene.Today.isValid() || !ComputeCalendarLayout(CalendarLayoutInput(skin, scene), layout))
    return false;
  placement = layout.Placement;

  if (skin.ShowBack) PaintBackground(context, skin, layout);

  TTextEffect effect;
  effect.Shadow = skin.TextEffect.compare(QLatin1String("Shadow"), Qt::CaseInsensitive) == 0;
  effect.Outline = skin.TextEffect.compare(QLatin1String("Outline"), Qt::CaseInsensitive) == 0;
  effect.Thickness = skin.OutlineThickness;
  effect.Color = skin.TextShadow;

  const QDate& today = scene.Today;
  PaintCalendarText(context, QString::number(today.year()), skin.YearFont, skin.YearText, effect,
                    saFar, saFar, layout.Header);
  PaintCalendarText(context, names.Months[today.month() - 1], skin.MonthFont, skin.MonthText,
                    effect, saFar, saNear, layout.Header);

  for (int day = 1; day <= 7; ++day) {
    const bool weekend = day >= 6;
    PaintCalendarText(context, names.Weekdays[day - 1], skin.DayOfWeekFont,
                      weekend ? skin.DayOfWeekWeekendText : skin.DayOfWeekWeekdayText, effect,
                      saFar, saCenter,
                      layout.WeekdayRect(WeekdayColumn(day, skin.FirstDayIsMonday)));
  }

  context.Smooth = false;
  FillHorizontalGradient(context, layout.Separator, Argb(skin.SeparatorLeft),
                         Argb(skin.SeparatorRight));
  context.Smooth = true;

  for (int row = 0; row < layout.Grid.Rows; ++row)
    for (int column = 0; column < 7; ++column) {
      const QDate day = layout.CellDate(row, column);
      const bool isToday = day == today;
      PaintCalendarText(context, QString::number(day.day()), skin.DaysFont,
                        DayColor(skin, DayGroup(day, today)), effect, saCenter, saCenter,
                        layout.CellRect(row, column), isToday ? &skin.TodayBack : nullptr,
                        isToday ? &skin.TodayMargin : nullptr);
    }
  return true;
}
