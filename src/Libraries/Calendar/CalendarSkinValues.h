// The calendar skin as plain values, as the painting reads it; the defaults are those of
// "Default skin".
#pragma once

#include <QString>
#include <array>
#include <cstdint>

struct TSkinColor {
  int32_t Color = 0;     // colour value: red in the low byte
  int Translucency = 0;  // percent, 100 invisible
};

struct TSkinFont {
  QString Family;
  int Size = 12;  // pixels
  bool Bold = false;
  bool Italic = false;
  int HorizontalShift = 0;  // of the shadow, pixels
  int VerticalShift = 0;
};

struct TCalendarSkinValues {
  QString TextEffect = QStringLiteral("Outline");  // "None", "Shadow" or "Outline", any case
  int OutlineThickness = 2;
  TSkinColor TextShadow{0, 0};
  bool ShowBack = true;
  bool SimpleBack = true;
  int OtherMonthsWeeks = 1;
  bool FirstDayIsMonday = true;
  int HorizontalMargin = 25;
  int VerticalMargin = 25;
  int YMBottomSpace = 10;
  int DOWBottomSpace = 10;
  int HorizontalCenterShift = 50;
  int VerticalCenterShift = 50;
  int HorizontalCenterFocus = 0;
  int VerticalCenterFocus = 0;
  bool OvalBack = false;
  int OvalBackEccentricity = 100;
  TSkinColor TodayMargin{0, 0};
  TSkinColor TodayBack{1666745, 30};
  TSkinColor FrameBriskMargin{3289650, 0};
  std::array<TSkinColor, 7> FrameBack{{{1973790, 0},
                                       {9868950, 0},
                                       {3289650, 0},
                                       {7237230, 0},
                                       {11811890, 70},
                                       {16422480, 60},
                                       {16422480, 60}}};
  TSkinColor FrameCenter{15790290, 50};
  std::array<int, 6> FrameBackThick{2, 4, 2, 1, 20, 20};
  TSkinColor SeparatorLeft{16777215, 50};
  TSkinColor SeparatorRight{0, 50};
  int SeparatorThickness = 2;
  TSkinFont YearFont{QStringLiteral("Arial"), 15, true, true, 1, -1};
  TSkinColor YearText{1666745, 0};
  TSkinFont MonthFont{QStringLiteral("Arial"), 20, true, false, 2, -2};
  TSkinColor MonthText{1666745, 0};
  TSkinFont DayOfWeekFont{QStringLiteral("Arial"), 12, true, true, 1, -1};
  TSkinColor DayOfWeekWeekdayText{16777215, 0};
  TSkinColor DayOfWeekWeekendText{170, 0};
  TSkinFont DaysFont{QStringLiteral("Arial"), 12, true, false, 1, -1};
  TSkinColor CurrentMonthWeekdayText{16777215, 0};
  TSkinColor CurrentMonthWeekendText{170, 0};
  TSkinColor OtherMonthsWeekdayText{9868950, 0};
  TSkinColor OtherMonthsWeekendText{4276610, 0};
};
