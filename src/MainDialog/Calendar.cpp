// The calendar skin: its parameter table, the controls it builds, the skin reader and writer,
// and "Default skin".
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <vector>

#include "CalendarSkin.h"
#include "ColorDialog.h"
#include "ColorPanel.h"
#include "Controls.h"
#include "LinkLabel.h"
#include "MainDialog.h"
#include "MyGDIPlus/FontFamilies.h"
#include "StoredTextList/StoredControls.h"
#include "StoredTextList/StoredTextList.h"
#include "Utilities.h"

namespace {

// The member pointer and the object name come from one identifier, so they cannot disagree.
#define SKIN_LIST(key, control, list, value)                                                 \
  TSkinParameter {                                                                           \
    key, #control, TSkinKind::List, TSkinList::list, value, 0, nullptr, &TMainForm::control, \
        nullptr, nullptr                                                                     \
  }
#define SKIN_FLAG(key, control, value, caption)                                  \
  TSkinParameter {                                                               \
    key, #control, TSkinKind::Flag, TSkinList::None, value, 0, caption, nullptr, \
        &TMainForm::control, nullptr                                             \
  }
#define SKIN_COLOUR(key, control, colour)                                                          \
  TSkinParameter {                                                                                 \
    key, #control, TSkinKind::Colour, TSkinList::None, nullptr, colour, nullptr, nullptr, nullptr, \
        &TMainForm::control                                                                        \
  }

const std::array Parameters = {
    SKIN_LIST("TextEffect", CalendarTextEffectComboBox, TextEffect, "Outline"),
    SKIN_LIST("OutlineThickness", CalendarOutlineThicknessComboBox, SmallThickness, "2"),
    SKIN_FLAG("ShowBack", ShowCalendarBackCheckBox, "TRUE", "Show background"),
    SKIN_FLAG("SimpleBack", SimpleCalendarBackCheckBox, "TRUE",
              "Simple background (brisk margin + back 5)"),
    SKIN_LIST("CalendarOtherMonthsWeeks", CalendarOtherMonthsWeeksComboBox, OtherMonthsWeeks, "1"),
    SKIN_FLAG("FirstDayIsMonday", FirstDayIsMondayCheckBox, "TRUE", "First day is Monday"),
    SKIN_LIST("HorizontalMarginSpacing", CalendarHorizontalMarginSpacingComboBox, Spacing, "25"),
    SKIN_LIST("VerticalMarginSpacing", CalendarVerticalMarginSpacingComboBox, Spacing, "25"),
    SKIN_LIST("YMBottomSpace", CalendarYMBottomSpaceComboBox, Spacing, "10"),
    SKIN_LIST("DOWBottomSpace", CalendarDOWBottomSpaceComboBox, Spacing, "10"),
    SKIN_LIST("HorizontalCenterShift", CalendarHorizontalCenterShiftComboBox, Percent, "50"),
    SKIN_LIST("VerticalCenterShift", CalendarVerticalCenterShiftComboBox, Percent, "50"),
    SKIN_LIST("HorizontalCenterFocus", CalendarHorizontalCenterFocusComboBox, Percent, "0"),
    SKIN_LIST("VerticalCenterFocus", CalendarVerticalCenterFocusComboBox, Percent, "0"),
    SKIN_FLAG("OvalBack", CalendarOvalBackCheckBox, "FALSE", "Oval background"),
    SKIN_LIST("OvalBackEccentricity", CalendarOvalBackEccentricityComboBox, Eccentricity, "100"),
    SKIN_LIST("TextShadowTranslucency", CalendarTextShadowTranslucencyComboBox, Percent, "0"),
    SKIN_LIST("TodayMarginTranslucency", CalendarTodayMarginTranslucencyComboBox, Percent, "0"),
    SKIN_LIST("TodayBackTranslucency", CalendarTodayBackTranslucencyComboBox, Percent, "30"),
    SKIN_LIST("FrameBriskMarginTranslucency", CalendarFrameBriskMarginTranslucencyComboBox, Percent,
              "0"),
    SKIN_LIST("FrameBack1Translucency", CalendarFrameBack1TranslucencyComboBox, Percent, "0"),
    SKIN_LIST("FrameBack2Translucency", CalendarFrameBack2TranslucencyComboBox, Percent, "0"),
    SKIN_LIST("FrameBack3Translucency", CalendarFrameBack3TranslucencyComboBox, Percent, "0"),
    SKIN_LIST("FrameBack4Translucency", CalendarFrameBack4TranslucencyComboBox, Percent, "0"),
    SKIN_LIST("FrameBack5Translucency", CalendarFrameBack5TranslucencyComboBox, Percent, "70"),
    SKIN_LIST("FrameBack6Translucency", CalendarFrameBack6TranslucencyComboBox, Percent, "60"),
    SKIN_LIST("FrameBack7Translucency", CalendarFrameBack7TranslucencyComboBox, Percent, "60"),
    SKIN_LIST("FrameCenterTranslucency", CalendarFrameCenterTranslucencyComboBox, Percent, "50"),
    SKIN_LIST("FrameBackThick12", CalendarFrameBackThick12ComboBox, BandThickness, "2"),
    SKIN_LIST("FrameBackThick23", CalendarFrameBackThick23ComboBox, BandThickness, "4"),
    SKIN_LIST("FrameBackThick34", CalendarFrameBackThick34ComboBox, BandThickness, "2"),
    SKIN_LIST("FrameBackThick45", CalendarFrameBackThick45ComboBox, BandThickness, "1"),
    SKIN_LIST("FrameBackThick56", CalendarFrameBackThick56ComboBox, BandThickness, "20"),
    SKIN_LIST("FrameBackThick67", CalendarFrameBackThick67ComboBox, BandThickness, "20"),
    SKIN_LIST("SeparatorLeftTranslucency", CalendarSeparatorLeftTranslucencyComboBox, Percent,
              "50"),
    SKIN_LIST("SeparatorRightTranslucency", CalendarSeparatorRightTranslucencyComboBox, Percent,
              "50"),
    SKIN_LIST("SeparatorThickness", CalendarSeparatorThicknessComboBox, SmallThickness, "2"),
    SKIN_LIST("YearTextFont", CalendarYearTextFontComboBox, Font, "Arial"),
    SKIN_LIST("YearTextSize", CalendarYearTextSizeComboBox, LargeTextSize, "15"),
    SKIN_FLAG("YearBoldText", CalendarYearBoldTextCheckBox, "TRUE", "Bold"),
    SKIN_FLAG("YearItalicText", CalendarYearItalicTextCheckBox, "TRUE", "Italic"),
    SKIN_LIST("YearTextTranslucency", CalendarYearTextTranslucencyComboBox, Percent, "0"),
    SKIN_LIST("YearHSS", CalendarYearHSSComboBox, Shift, "1"),
    SKIN_LIST("YearVSS", CalendarYearVSSComboBox, Shift, "-1"),
    SKIN_LIST("MonthTextFont", CalendarMonthTextFontComboBox, Font, "Arial"),
    SKIN_LIST("MonthTextSize", CalendarMonthTextSizeComboBox, LargeTextSize, "20"),
    SKIN_FLAG("MonthBoldText", CalendarMonthBoldTextCheckBox, "TRUE", "Bold"),
    SKIN_FLAG("MonthItalicText", CalendarMonthItalicTextCheckBox, "FALSE", "Italic"),
    SKIN_LIST("MonthTextTranslucency", CalendarMonthTextTranslucencyComboBox, Percent, "0"),
    SKIN_LIST("MonthHSS", CalendarMonthHSSComboBox, Shift, "2"),
    SKIN_LIST("MonthVSS", CalendarMonthVSSComboBox, Shift, "-2"),
    SKIN_LIST("DayOfWeekTextFont", CalendarDayOfWeekTextFontComboBox, Font, "Arial"),
    SKIN_LIST("DayOfWeekTextSize", CalendarDayOfWeekTextSizeComboBox, SmallTextSize, "12"),
    SKIN_FLAG("DayOfWeekBoldText", CalendarDayOfWeekBoldTextCheckBox, "TRUE", "Bold"),
    SKIN_FLAG("DayOfWeekItalicText", CalendarDayOfWeekItalicTextCheckBox, "TRUE", "Italic"),
    SKIN_LIST("DayOfWeekWeekdayTextTranslucency", CalendarDayOfWeekWeekdayTextTranslucencyComboBox,
              Percent, "0"),
    SKIN_LIST("DayOfWeekWeekendTextTranslucency", CalendarDayOfWeekWeekendTextTranslucencyComboBox,
              Percent, "0"),
    SKIN_LIST("DayOfWeekHSS", CalendarDayOfWeekHSSComboBox, Shift, "1"),
    SKIN_LIST("DayOfWeekVSS", CalendarDayOfWeekVSSComboBox, Shift, "-1"),
    SKIN_LIST("DaysTextFont", CalendarDaysTextFontComboBox, Font, "Arial"),
    SKIN_LIST("DaysTextSize", CalendarDaysTextSizeComboBox, SmallTextSize, "12"),
    SKIN_FLAG("DaysBoldText", CalendarDaysBoldTextCheckBox, "TRUE", "Bold"),
    SKIN_FLAG("DaysItalicText", CalendarDaysItalicTextCheckBox, "FALSE", "Italic"),
    SKIN_LIST("CurrentMonthWeekdayTextTranslucency",
              CalendarCurrentMonthWeekdayTextTranslucencyComboBox, Percent, "0"),
    SKIN_LIST("CurrentMonthWeekendTextTranslucency",
              CalendarCurrentMonthWeekendTextTranslucencyComboBox, Percent, "0"),
    SKIN_LIST("OtherMonthsWeekdayTextTranslucency",
              CalendarOtherMonthsWeekdayTextTranslucencyComboBox, Percent, "0"),
    SKIN_LIST("OtherMonthsWeekendTextTranslucency",
              CalendarOtherMonthsWeekendTextTranslucencyComboBox, Percent, "0"),
    SKIN_LIST("DaysHSS", CalendarDaysHSSComboBox, Shift, "1"),
    SKIN_LIST("DaysVSS", CalendarDaysVSSComboBox, Shift, "-1"),

    SKIN_COLOUR("TextShadowColor", CalendarTextShadowColorPanel, 0),
    SKIN_COLOUR("TodayMarginColor", CalendarTodayMarginColorPanel, 0),
    SKIN_COLOUR("TodayBackColor", CalendarTodayBackColorPanel, 1666745),
    SKIN_COLOUR("FrameBriskMarginColor", CalendarFrameBriskMarginColorPanel, 3289650),
    SKIN_COLOUR("FrameBack1Color", CalendarFrameBack1ColorPanel, 1973790),
    SKIN_COLOUR("FrameBack2Color", CalendarFrameBack2ColorPanel, 9868950),
    SKIN_COLOUR("FrameBack3Color", CalendarFrameBack3ColorPanel, 3289650),
    SKIN_COLOUR("FrameBack4Color", CalendarFrameBack4ColorPanel, 7237230),
    SKIN_COLOUR("FrameBack5Color", CalendarFrameBack5ColorPanel, 11811890),
    SKIN_COLOUR("FrameBack6Color", CalendarFrameBack6ColorPanel, 16422480),
    SKIN_COLOUR("FrameBack7Color", CalendarFrameBack7ColorPanel, 16422480),
    SKIN_COLOUR("FrameCenterColor", CalendarFrameCenterColorPanel, 15790290),
    SKIN_COLOUR("SeparatorLeftColor", CalendarSeparatorLeftColorPanel, 16777215),
    SKIN_COLOUR("SeparatorRightColor", CalendarSeparatorRightColorPanel, 0),
    SKIN_COLOUR("YearTextColor", CalendarYearTextColorPanel, 1666745),
    SKIN_COLOUR("MonthTextColor", CalendarMonthTextColorPanel, 1666745),
    SKIN_COLOUR("DayOfWeekWeekdayTextColor", CalendarDayOfWeekWeekdayTextColorPanel, 16777215),
    SKIN_COLOUR("DayOfWeekWeekendTextColor", CalendarDayOfWeekWeekendTextColorPanel, 170),
    SKIN_COLOUR("CurrentMonthWeekdayTextColor", CalendarCurrentMonthWeekdayTextColorPanel,
                16777215),
    SKIN_COLOUR("CurrentMonthWeekendTextColor", CalendarCurrentMonthWeekendTextColorPanel, 170),
    SKIN_COLOUR("OtherMonthsWeekdayTextColor", CalendarOtherMonthsWeekdayTextColorPanel, 9868950),
    SKIN_COLOUR("OtherMonthsWeekendTextColor", CalendarOtherMonthsWeekendTextColorPanel, 4276610),
};

#undef SKIN_LIST
#undef SKIN_FLAG
#undef SKIN_COLOUR

// Where the skin controls stand: one row per line of a tab's column, a caption, then its
// controls (a colour panel goes in the colour column, the others follow it).
enum class TCalendarTab { General, Back, BackColors, Header, Year, Month, DayOfWeek, Days };

struct TSkinRow {
  TCalendarTab Tab;
  int Column;
  const char* Caption;
  std::array<const char*, 2> Keys;
};

constexpr TSkinRow Rows[] = {
    {TCalendarTab::General, 0, "Text effect", {"TextEffect"}},
    {TCalendarTab::General, 0, "Outline thickness", {"OutlineThickness"}},
    {TCalendarTab::General, 0, "Text shadow", {"TextShadowColor", "TextShadowTranslucency"}},
    {TCalendarTab::General, 0, "Horizontal margin", {"HorizontalMarginSpacing"}},
    {TCalendarTab::General, 0, "Vertical margin", {"VerticalMarginSpacing"}},
    {TCalendarTab::General, 0, "Weeks from other months", {"CalendarOtherMonthsWeeks"}},
    {TCalendarTab::General, 0, "", {"FirstDayIsMonday"}},

    {TCalendarTab::Back, 0, "", {"ShowBack"}},
    {TCalendarTab::Back, 0, "", {"SimpleBack"}},
    {TCalendarTab::Back, 0, "Horizontal center shift (%)", {"HorizontalCenterShift"}},
    {TCalendarTab::Back, 0, "Vertical center shift (%)", {"VerticalCenterShift"}},
    {TCalendarTab::Back, 0, "Horizontal center focus (%)", {"HorizontalCenterFocus"}},
    {TCalendarTab::Back, 0, "Vertical center focus (%)", {"VerticalCenterFocus"}},
    {TCalendarTab::Back, 0, "", {"OvalBack"}},
    {TCalendarTab::Back, 0, "Oval width (% of height)", {"OvalBackEccentricity"}},

    {TCalendarTab::BackColors,
     0,
     "Brisk margin",
     {"FrameBriskMarginColor", "FrameBriskMarginTranslucency"}},
    {TCalendarTab::BackColors, 0, "Back 1", {"FrameBack1Color", "FrameBack1Translucency"}},
    {TCalendarTab::BackColors, 0, "Back 2", {"FrameBack2Color", "FrameBack2Translucency"}},
    {TCalendarTab::BackColors, 0, "Back 3", {"FrameBack3Color", "FrameBack3Translucency"}},
    {TCalendarTab::BackColors, 0, "Back 4", {"FrameBack4Color", "FrameBack4Translucency"}},
    {TCalendarTab::BackColors, 0, "Back 5", {"FrameBack5Color", "FrameBack5Translucency"}},
    {TCalendarTab::BackColors, 0, "Back 6", {"FrameBack6Color", "FrameBack6Translucency"}},
    {TCalendarTab::BackColors, 0, "Back 7", {"FrameBack7Color", "FrameBack7Translucency"}},
    {TCalendarTab::BackColors, 0, "Center", {"FrameCenterColor", "FrameCenterTranslucency"}},
    {TCalendarTab::BackColors, 1, "Band 1-2 (%)", {"FrameBackThick12"}},
    {TCalendarTab::BackColors, 1, "Band 2-3 (%)", {"FrameBackThick23"}},
    {TCalendarTab::BackColors, 1, "Band 3-4 (%)", {"FrameBackThick34"}},
    {TCalendarTab::BackColors, 1, "Band 4-5 (%)", {"FrameBackThick45"}},
    {TCalendarTab::BackColors, 1, "Band 5-6 (%)", {"FrameBackThick56"}},
    {TCalendarTab::BackColors, 1, "Band 6-7 (%)", {"FrameBackThick67"}},

    {TCalendarTab::Header, 0, "Space below year and month", {"YMBottomSpace"}},
    {TCalendarTab::Header, 0, "Space below days of week", {"DOWBottomSpace"}},
    {TCalendarTab::Header,
     0,
     "Separator left",
     {"SeparatorLeftColor", "SeparatorLeftTranslucency"}},
    {TCalendarTab::Header,
     0,
     "Separator right",
     {"SeparatorRightColor", "SeparatorRightTranslucency"}},
    {TCalendarTab::Header, 0, "Separator thickness", {"SeparatorThickness"}},

    {TCalendarTab::Year, 0, "Font", {"YearTextFont"}},
    {TCalendarTab::Year, 0, "Size", {"YearTextSize"}},
    {TCalendarTab::Year, 0, "", {"YearBoldText", "YearItalicText"}},
    {TCalendarTab::Year, 0, "Text", {"YearTextColor", "YearTextTranslucency"}},
    {TCalendarTab::Year, 0, "Shadow shift (h, v)", {"YearHSS", "YearVSS"}},

    {TCalendarTab::Month, 0, "Font", {"MonthTextFont"}},
    {TCalendarTab::Month, 0, "Size", {"MonthTextSize"}},
    {TCalendarTab::Month, 0, "", {"MonthBoldText", "MonthItalicText"}},
    {TCalendarTab::Month, 0, "Text", {"MonthTextColor", "MonthTextTranslucency"}},
    {TCalendarTab::Month, 0, "Shadow shift (h, v)", {"MonthHSS", "MonthVSS"}},

    {TCalendarTab::DayOfWeek, 0, "Font", {"DayOfWeekTextFont"}},
    {TCalendarTab::DayOfWeek, 0, "Size", {"DayOfWeekTextSize"}},
    {TCalendarTab::DayOfWeek, 0, "", {"DayOfWeekBoldText", "DayOfWeekItalicText"}},
    {TCalendarTab::DayOfWeek, 0, "Shadow shift (h, v)", {"DayOfWeekHSS", "DayOfWeekVSS"}},
    {TCalendarTab::DayOfWeek,
     0,
     "Weekdays",
     {"DayOfWeekWeekdayTextColor", "DayOfWeekWeekdayTextTranslucency"}},
    {TCalendarTab::DayOfWeek,
     0,
     "Weekend",
     {"DayOfWeekWeekendTextColor", "DayOfWeekWeekendTextTranslucency"}},

    {TCalendarTab::Days, 0, "Font", {"DaysTextFont"}},
    {TCalendarTab::Days, 0, "Size", {"DaysTextSize"}},
    {TCalendarTab::Days, 0, "", {"DaysBoldText", "DaysItalicText"}},
    {TCalendarTab::Days, 0, "Shadow shift (h, v)", {"DaysHSS", "DaysVSS"}},
    {TCalendarTab::Days,
     0,
     "This month, weekdays",
     {"CurrentMonthWeekdayTextColor", "CurrentMonthWeekdayTextTranslucency"}},
    {TCalendarTab::Days,
     0,
     "This month, weekend",
     {"CurrentMonthWeekendTextColor", "CurrentMonthWeekendTextTranslucency"}},
    {TCalendarTab::Days,
     0,
     "Other months, weekdays",
     {"OtherMonthsWeekdayTextColor", "OtherMonthsWeekdayTextTranslucency"}},
    {TCalendarTab::Days,
     0,
     "Other months, weekend",
     {"OtherMonthsWeekendTextColor", "OtherMonthsWeekendTextTranslucency"}},
    {TCalendarTab::Days, 0, "Today frame", {"TodayMarginColor", "TodayMarginTranslucency"}},
    {TCalendarTab::Days, 0, "Today back", {"TodayBackColor", "TodayBackTranslucency"}},
};

struct TTabInfo {
  TCalendarTab Tab;
  const char* Caption;
  QWidget* TMainForm::*Member;
};

constexpr TTabInfo Tabs[] = {
    {TCalendarTab::General, "General", &TMainForm::CalendarGeneralTab},
    {TCalendarTab::Back, "Back", &TMainForm::CalendarBackTab},
    {TCalendarTab::BackColors, "Back colors", &TMainForm::CalendarBackColorsTab},
    {TCalendarTab::Header, "Header", &TMainForm::CalendarHeaderTab},
    {TCalendarTab::Year, "Year", &TMainForm::CalendarYearTab},
    {TCalendarTab::Month, "Month", &TMainForm::CalendarMonthTab},
    {TCalendarTab::DayOfWeek, "Day of week", &TMainForm::CalendarDayOfWeekTab},
    {TCalendarTab::Days, "Days", &TMainForm::CalendarDaysTab},
};

// Shown in the column headings of rows that pair a colour with its translucency.
const char* const ColourHeading = "Color";
const char* const TranslucencyHeading = "Translucency (%)";

QWidget* CreateSkinControl(TMainForm* form, const TSkinParameter& parameter, QWidget* parent) {
  const char* name = parameter.Control;
  switch (parameter.Kind) {
    case TSkinKind::List: {
      const int rows = parameter.List == TSkinList::Font ? 20 : 12;
      QComboBox* box = NewComboBox(parent, name, SkinListItems(parameter.List),
                                   QString::fromLatin1(parameter.Default), rows);
      if (parameter.List == TSkinList::Font) box->setFixedWidth(170);
      form->*parameter.ListMember = box;
      return box;
    }
    case TSkinKind::Flag: {
      QCheckBox* box = NewCheckBox(parent, name, QString::fromLatin1(parameter.Caption),
                                   QLatin1String(parameter.Default) == QLatin1String("TRUE"));
      form->*parameter.FlagMember = box;
      return box;
    }
    case TSkinKind::Colour: {
      TColorPanel* panel = NewColorPanel(parent, name, parameter.DefaultColor);
      form->*parameter.ColourMember = panel;
      return panel;
    }
  }
  return nullptr;
}

// One column of a calendar tab: caption, colour, then the other controls of each row.
class TSkinColumn {
 public:
  explicit TSkinColumn(QWidget* tab) : Tab(tab), Grid(new QGridLayout) {
    Grid->setHorizontalSpacing(8);
    Grid->setVerticalSpacing(3);
    Grid->setColumnStretch(3, 1);
  }

  QGridLayout* Layout() const { return Grid; }

  void AddWidgetRow(QWidget* widget) { Grid->addWidget(widget, NextRow++, 0, 1, 4); }

  void AddRow(TMainForm* form, const TSkinRow& row) {
    std::vector<const TSkinParameter*> parameters;
    for (const char* key : row.Keys) {
      if (key) parameters.push_back(FindSkinParameter(QLatin1String(key)));
    }
    const bool hasColour = std::any_of(parameters.begin(), parameters.end(),
                                       [](auto* p) { return p->Kind == TSkinKind::Colour; });
    if (hasColour && !HasHeading) AddHeading();
    if (*row.Caption)
      Grid->addWidget(new QLabel(QString::fromLatin1(row.Caption), Tab), NextRow, 0);
    auto* rest = new QHBoxLayout;
    rest->setSpacing(8);
    for (const TSkinParameter* parameter : parameters) {
      QWidget* control = CreateSkinControl(form, *parameter, Tab);
      if (parameter->Kind == TSkinKind::Colour) {
        Grid->addWidget(control, NextRow, 1);
      } else {
        rest->addWidget(control);
      }
    }
    rest->addStretch(1);
    // Rows of check boxes alone start at the caption column.
    const int column = *row.Caption || hasColour ? 2 : 0;
    Grid->addLayout(rest, NextRow, column, 1, 4 - column);
    ++NextRow;
  }

  void Finish() { Grid->setRowStretch(NextRow, 1); }

 private:
  void AddHeading() {
    Grid->addWidget(new QLabel(QString::fromLatin1(ColourHeading), Tab), NextRow, 1);
    Grid->addWidget(new QLabel(QString::fromLatin1(TranslucencyHeading), Tab), NextRow, 2, 1, 2);
    HasHeading = true;
    ++NextRow;
  }

  QWidget* Tab;
  QGridLayout* Grid;
  int NextRow = 0;
  bool HasHeading = false;
};

// Reading, colours-only reading, writing and "Default skin" of one parameter, side by side, so a
// kind cannot be handled one way when read and another when written.
void TransferSkinParameter(TMainForm& form, const TSkinParameter& parameter, TSkinTransfer transfer,
                           TStoredTextList* list) {
  const QString section = QLatin1String(CalendarSkinSection);
  const QString key = QLatin1String(parameter.Key);
  switch (parameter.Kind) {
    case TSkinKind::List: {
      QComboBox* box = form.*parameter.ListMember;
      const QString fallback = QLatin1String(parameter.Default);
      switch (transfer) {
        case TSkinTransfer::Read:
          ReadComboBox(*list, section, key, fallback, box);
          break;
        case TSkinTransfer::ReadColorsOnly:
          break;
        case TSkinTransfer::Write:
          WriteComboBox(*list, section, key, box);
          break;
        case TSkinTransfer::Default:
          SelectComboItem(box, fallback, {});
          break;
      }
      break;
    }
    case TSkinKind::Flag: {
      QCheckBox* box = form.*parameter.FlagMember;
      switch (transfer) {
        case TSkinTransfer::Read:
          ReadCheckBox(*list, section, key, box);
          break;
        case TSkinTransfer::ReadColorsOnly:
          break;
        case TSkinTransfer::Write:
          WriteCheckBox(*list, section, key, box);
          break;
        case TSkinTransfer::Default:
          box->setChecked(QLatin1String(parameter.Default) == QLatin1String("TRUE"));
          break;
      }
      break;
    }
    case TSkinKind::Colour: {
      TColorPanel* panel = form.*parameter.ColourMember;
      switch (transfer) {
        case TSkinTransfer::Read:
        case TSkinTransfer::ReadColorsOnly:
          ReadPanelColor(*list, section, key, panel);
          break;
        case TSkinTransfer::Write:
          WritePanelColor(*list, section, key, panel);
          break;
        case TSkinTransfer::Default:
          SetPanelColor(panel, panel->DefaultColor());
          break;
      }
      break;
    }
  }
}

}  // namespace

std::span<const TSkinParameter> SkinParameters() {
  return Parameters;
}

const TSkinParameter* FindSkinParameter(const QString& key) {
  for (const TSkinParameter& parameter : Parameters) {
    if (key == QLatin1String(parameter.Key)) return &parameter;
  }
  return nullptr;
}

QStringList SkinListItems(TSkinList list) {
  switch (list) {
    case TSkinList::None:
      return {};
    case TSkinList::TextEffect:
      return {QStringLiteral("None"), QStringLiteral("Shadow"), QStringLiteral("Outline")};
    case TSkinList::OtherMonthsWeeks:
      return NumberItems(0, 4);
    case TSkinList::Percent:
      return NumberItems(0, 100, 5);
    case TSkinList::Spacing:
      return NumberItems(0, 50, 5);
    case TSkinList::Shift:
      return NumberItems(-5, 5);
    case TSkinList::SmallThickness:
      return NumberItems(1, 5);
    case TSkinList::LargeTextSize:
      return NumberItems(8, 30) + QStringList{"32", "35", "38", "40", "45", "50", "55", "60"};
    case TSkinList::SmallTextSize:
      return NumberItems(8, 30) + QStringList{"32", "35", "38", "40"};
    case TSkinList::Eccentricity:
      return NumberItems(100, 150, 5);
    case TSkinList::BandThickness:
      return NumberItems(1, 99);
    case TSkinList::Font:
      return InstalledFontFamilies();
  }
  return {};
}

void TMainForm::BuildCalendarTabs() {
  for (const TTabInfo& info : Tabs) {
    auto* tab = new QWidget;
    this->*info.Member = tab;
    auto* columns = new QHBoxLayout(tab);
    columns->setContentsMargins(8, 8, 8, 6);
    columns->setSpacing(16);
    const bool twoColumns = std::any_of(std::begin(Rows), std::end(Rows), [&](const TSkinRow& row) {
      return row.Tab == info.Tab && row.Column == 1;
    });
    std::vector<TSkinColumn> tabColumns;
    for (int i = 0; i < (twoColumns ? 2 : 1); ++i) tabColumns.emplace_back(tab);
    if (info.Tab == TCalendarTab::General) {
      ShowCalendarCheckBox =
          NewCheckBox(tab, "ShowCalendarCheckBox", QStringLiteral("Show on wallpaper"), true);
      tabColumns[0].AddWidgetRow(ShowCalendarCheckBox);
    }
    for (const TSkinRow& row : Rows) {
      if (row.Tab == info.Tab) tabColumns[row.Column].AddRow(this, row);
    }
    for (TSkinColumn& column : tabColumns) {
      column.Finish();
      columns->addLayout(column.Layout());
    }
    if (info.Tab == TCalendarTab::General) columns->addWidget(BuildCalendarGeneralCommands());
    columns->addStretch(1);
    CalendarPageControl->addTab(tab, QString::fromLatin1(info.Caption));
  }
}

QWidget* TMainForm::BuildCalendarGeneralCommands() {
  auto* box = new QWidget;
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(8);
  CalendarLoadSkinLabel = NewLinkLabel(box, "CalendarLoadSkinLabel", QStringLiteral("Load skin"));
  CalendarLoadSkinColorsLabel =
      NewLinkLabel(box, "CalendarLoadSkinColorsLabel", QStringLiteral("Load skin colors"));
  CalendarSaveSkinLabel = NewLinkLabel(box, "CalendarSaveSkinLabel", QStringLiteral("Save skin"));
  CalendarDefaultSkinLabel =
      NewLinkLabel(box, "CalendarDefaultSkinLabel", QStringLiteral("Default skin"));
  CalendarSetDesktopPositionLabel = NewLinkLabel(box, "CalendarSetDesktopPositionLabel",
                                                 QStringLiteral("Set position on wallpaper"));
  for (TLinkLabel* label :
       {CalendarLoadSkinLabel, CalendarLoadSkinColorsLabel, CalendarSaveSkinLabel,
        CalendarDefaultSkinLabel, CalendarSetDesktopPositionLabel}) {
    layout->addWidget(label);
  }
  layout->addStretch(1);
  connect(CalendarDefaultSkinLabel, &TLinkLabel::clicked, this,
          &TMainForm::CalendarDefaultSkinLabelClick);
  connect(CalendarLoadSkinLabel, &TLinkLabel::clicked, this,
          &TMainForm::CalendarLoadSkinLabelClick);
  connect(CalendarLoadSkinColorsLabel, &TLinkLabel::clicked, this,
          &TMainForm::CalendarLoadSkinColorsLabelClick);
  connect(CalendarSaveSkinLabel, &TLinkLabel::clicked, this,
          &TMainForm::CalendarSaveSkinLabelClick);
  connect(CalendarSetDesktopPositionLabel, &TLinkLabel::clicked, this,
          &TMainForm::CalendarSetDesktopPositionLabelClick);
  return box;
}

void TMainForm::ReadCalendarSkin(TStoredTextList& list, uint8_t) {
  const TSkinTransfer transfer =
      ReadSkinColorsOnly ? TSkinTransfer::ReadColorsOnly : TSkinTransfer::Read;
  for (const TSkinParameter& parameter : Parameters) {
    // One key that cannot be read must not cost the ones after it.
    list.ReadKey(QLatin1String(CalendarSkinSection), QLatin1String(parameter.Key),
                 [&] { TransferSkinParameter(*this, parameter, transfer, &list); });
  }
}

void TMainForm::WriteCalendarSkin(TStoredTextList& list, uint8_t) {
  for (const TSkinParameter& parameter : Parameters)
    TransferSkinParameter(*this, parameter, TSkinTransfer::Write, &list);
}

void TMainForm::CalendarDefaultSkinLabelClick() {
  // One redraw for the whole skin, not one per control.
  const bool wasUpdating = Updating;
  Updating = true;
  for (const TSkinParameter& parameter : Parameters)
    TransferSkinParameter(*this, parameter, TSkinTransfer::Default, nullptr);
  Updating = wasUpdating;
  RedrawWallpaperOnParamChange();
}
