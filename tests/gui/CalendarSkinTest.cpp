// The calendar skin table and the controls it builds: every key with its control, kind, items
// and default, the font list, "Default skin" and which controls redraw or reload.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QSet>
#include <QTest>
#include <memory>

#include "ColorPanel.h"
#include "LinkLabel.h"
#include "MainDialog/CalendarSkin.h"
#include "MyGDIPlus/FontFamilies.h"
#include "MainDialog/MainDialog.h"
#include "WidgetItems.h"

namespace {

enum TList { Effect, Weeks, Percent, Spacing, Shift, Small, LargeSize, SmallSize, Ecc, Band, Font };

QStringList ExpectedItems(TList list) {
  switch (list) {
    case Effect:
      return {"None", "Shadow", "Outline"};
    case Weeks:
      return Numbers(0, 4);
    case Percent:
      return Numbers(0, 100, 5);
    case Spacing:
      return Numbers(0, 50, 5);
    case Shift:
      return Numbers(-5, 5);
    case Small:
      return Numbers(1, 5);
    case LargeSize:
      return Numbers(8, 30) + QStringList{"32", "35", "38", "40", "45", "50", "55", "60"};
    case SmallSize:
      return Numbers(8, 30) + QStringList{"32", "35", "38", "40"};
    case Ecc:
      return Numbers(100, 150, 5);
    case Band:
      return Numbers(1, 99);
    case Font:
      return {};
  }
  return {};
}

struct TListKey {
  const char* Key;
  const char* Control;
  TList List;
  const char* Default;
};

// Lists and flags interleave in the file; these two tables keep the order within each kind and
// the test below checks the combined order of the non-colour keys.
const TListKey ListKeys[] = {
    {"TextEffect", "CalendarTextEffectComboBox", Effect, "Outline"},
    {"OutlineThickness", "CalendarOutlineThicknessComboBox", Small, "2"},
    {"CalendarOtherMonthsWeeks", "CalendarOtherMonthsWeeksComboBox", Weeks, "1"},
    {"HorizontalMarginSpacing", "CalendarHorizontalMarginSpacingComboBox", Spacing, "25"},
    {"VerticalMarginSpacing", "CalendarVerticalMarginSpacingComboBox", Spacing, "25"},
    {"YMBottomSpace", "CalendarYMBottomSpaceComboBox", Spacing, "10"},
    {"DOWBottomSpace", "CalendarDOWBottomSpaceComboBox", Spacing, "10"},
    {"HorizontalCenterShift", "CalendarHorizontalCenterShiftComboBox", Percent, "50"},
    {"VerticalCenterShift", "CalendarVerticalCenterShiftComboBox", Percent, "50"},
    {"HorizontalCenterFocus", "CalendarHorizontalCenterFocusComboBox", Percent, "0"},
    {"VerticalCenterFocus", "CalendarVerticalCenterFocusComboBox", Percent, "0"},
    {"OvalBackEccentricity", "CalendarOvalBackEccentricityComboBox", Ecc, "100"},
    {"TextShadowTranslucency", "CalendarTextShadowTranslucencyComboBox", Percent, "0"},
    {"TodayMarginTranslucency", "CalendarTodayMarginTranslucencyComboBox", Percent, "0"},
    {"TodayBackTranslucency", "CalendarTodayBackTranslucencyComboBox", Percent, "30"},
    {"FrameBriskMarginTranslucency", "CalendarFrameBriskMarginTranslucencyComboBox", Percent, "0"},
    {"FrameBack1Translucency", "CalendarFrameBack1TranslucencyComboBox", Percent, "0"},
    {"FrameBack2Translucency", "CalendarFrameBack2TranslucencyComboBox", Percent, "0"},
    {"FrameBack3Translucency", "CalendarFrameBack3TranslucencyComboBox", Percent, "0"},
    {"FrameBack4Translucency", "CalendarFrameBack4TranslucencyComboBox", Percent, "0"},
    {"FrameBack5Translucency", "CalendarFrameBack5TranslucencyComboBox", Percent, "70"},
    {"FrameBack6Translucency", "CalendarFrameBack6TranslucencyComboBox", Percent, "60"},
    {"FrameBack7Translucency", "CalendarFrameBack7TranslucencyComboBox", Percent, "60"},
    {"FrameCenterTranslucency", "CalendarFrameCenterTranslucencyComboBox", Percent, "50"},
    {"FrameBackThick12", "CalendarFrameBackThick12ComboBox", Band, "2"},
    {"FrameBackThick23", "CalendarFrameBackThick23ComboBox", Band, "4"},
    {"FrameBackThick34", "CalendarFrameBackThick34ComboBox", Band, "2"},
    {"FrameBackThick45", "CalendarFrameBackThick45ComboBox", Band, "1"},
    {"FrameBackThick56", "CalendarFrameBackThick56ComboBox", Band, "20"},
    {"FrameBackThick67", "CalendarFrameBackThick67ComboBox", Band, "20"},
    {"SeparatorLeftTranslucency", "CalendarSeparatorLeftTranslucencyComboBox", Percent, "50"},
    {"SeparatorRightTranslucency", "CalendarSeparatorRightTranslucencyComboBox", Percent, "50"},
    {"SeparatorThickness", "CalendarSeparatorThicknessComboBox", Small, "2"},
    {"YearTextFont", "CalendarYearTextFontComboBox", Font, "Arial"},
    {"YearTextSize", "CalendarYearTextSizeComboBox", LargeSize, "15"},
    {"YearTextTranslucency", "CalendarYearTextTranslucencyComboBox", Percent, "0"},
    {"YearHSS", "CalendarYearHSSComboBox", Shift, "1"},
    {"YearVSS", "CalendarYearVSSComboBox", Shift, "-1"},
    {"MonthTextFont", "CalendarMonthTextFontComboBox", Font, "Arial"},
    {"MonthTextSize", "CalendarMonthTextSizeComboBox", LargeSize, "20"},
    {"MonthTextTranslucency", "CalendarMonthTextTranslucencyComboBox", Percent, "0"},
    {"MonthHSS", "CalendarMonthHSSComboBox", Shift, "2"},
    {"MonthVSS", "CalendarMonthVSSComboBox", Shift, "-2"},
    {"DayOfWeekTextFont", "CalendarDayOfWeekTextFontComboBox", Font, "Arial"},
    {"DayOfWeekTextSize", "CalendarDayOfWeekTextSizeComboBox", SmallSize, "12"},
    {"DayOfWeekWeekdayTextTranslucency", "CalendarDayOfWeekWeekdayTextTranslucencyComboBox",
     Percent, "0"},
    {"DayOfWeekWeekendTextTranslucency", "CalendarDayOfWeekWeekendTextTranslucencyComboBox",
     Percent, "0"},
    {"DayOfWeekHSS", "CalendarDayOfWeekHSSComboBox", Shift, "1"},
    {"DayOfWeekVSS", "CalendarDayOfWeekVSSComboBox", Shift, "-1"},
    {"DaysTextFont", "CalendarDaysTextFontComboBox", Font, "Arial"},
    {"DaysTextSize", "CalendarDaysTextSizeComboBox", SmallSize, "12"},
    {"CurrentMonthWeekdayTextTranslucency", "CalendarCurrentMonthWeekdayTextTranslucencyComboBox",
     Percent, "0"},
    {"CurrentMonthWeekendTextTranslucency", "CalendarCurrentMonthWeekendTextTranslucencyComboBox",
     Percent, "0"},
    {"OtherMonthsWeekdayTextTranslucency", "CalendarOtherMonthsWeekdayTextTranslucencyComboBox",
     Percent, "0"},
    {"OtherMonthsWeekendTextTranslucency", "CalendarOtherMonthsWeekendTextTranslucencyComboBox",
     Percent, "0"},
    {"DaysHSS", "CalendarDaysHSSComboBox", Shift, "1"},
    {"DaysVSS", "CalendarDaysVSSComboBox", Shift, "-1"},
};

struct TFlagKey {
  const char* Key;
  const char* Control;
  bool Default;
  const char* Caption;  // null: not fixed
};

const TFlagKey FlagKeys[] = {
    {"ShowBack", "ShowCalendarBackCheckBox", true, "Show background"},
    {"SimpleBack", "SimpleCalendarBackCheckBox", true, "Simple background (brisk margin + back 5)"},
    {"FirstDayIsMonday", "FirstDayIsMondayCheckBox", true, nullptr},
    {"OvalBack", "CalendarOvalBackCheckBox", false, "Oval background"},
    {"YearBoldText", "CalendarYearBoldTextCheckBox", true, nullptr},
    {"YearItalicText", "CalendarYearItalicTextCheckBox", true, nullptr},
    {"MonthBoldText", "CalendarMonthBoldTextCheckBox", true, nullptr},
    {"MonthItalicText", "CalendarMonthItalicTextCheckBox", false, nullptr},
    {"DayOfWeekBoldText", "CalendarDayOfWeekBoldTextCheckBox", true, nullptr},
    {"DayOfWeekItalicText", "CalendarDayOfWeekItalicTextCheckBox", true, nullptr},
    {"DaysBoldText", "CalendarDaysBoldTextCheckBox", true, nullptr},
    {"DaysItalicText", "CalendarDaysItalicTextCheckBox", false, nullptr},
};

struct TColourKey {
  const char* Key;
  const char* Control;
  int32_t Default;
};

const TColourKey ColourKeys[] = {
    {"TextShadowColor", "CalendarTextShadowColorPanel", 0},
    {"TodayMarginColor", "CalendarTodayMarginColorPanel", 0},
    {"TodayBackColor", "CalendarTodayBackColorPanel", 1666745},
    {"FrameBriskMarginColor", "CalendarFrameBriskMarginColorPanel", 3289650},
    {"FrameBack1Color", "CalendarFrameBack1ColorPanel", 1973790},
    {"FrameBack2Color", "CalendarFrameBack2ColorPanel", 9868950},
    {"FrameBack3Color", "CalendarFrameBack3ColorPanel", 3289650},
    {"FrameBack4Color", "CalendarFrameBack4ColorPanel", 7237230},
    {"FrameBack5Color", "CalendarFrameBack5ColorPanel", 11811890},
    {"FrameBack6Color", "CalendarFrameBack6ColorPanel", 16422480},
    {"FrameBack7Color", "CalendarFrameBack7ColorPanel", 16422480},
    {"FrameCenterColor", "CalendarFrameCenterColorPanel", 15790290},
    {"SeparatorLeftColor", "CalendarSeparatorLeftColorPanel", 16777215},
    {"SeparatorRightColor", "CalendarSeparatorRightColorPanel", 0},
    {"YearTextColor", "CalendarYearTextColorPanel", 1666745},
    {"MonthTextColor", "CalendarMonthTextColorPanel", 1666745},
    {"DayOfWeekWeekdayTextColor", "CalendarDayOfWeekWeekdayTextColorPanel", 16777215},
    {"DayOfWeekWeekendTextColor", "CalendarDayOfWeekWeekendTextColorPanel", 170},
    {"CurrentMonthWeekdayTextColor", "CalendarCurrentMonthWeekdayTextColorPanel", 16777215},
    {"CurrentMonthWeekendTextColor", "CalendarCurrentMonthWeekendTextColorPanel", 170},
    {"OtherMonthsWeekdayTextColor", "CalendarOtherMonthsWeekdayTextColorPanel", 9868950},
    {"OtherMonthsWeekendTextColor", "CalendarOtherMonthsWeekendTextColorPanel", 4276610},
};

// The non-colour keys in file order.
const char* const NonColourOrder[] = {"TextEffect",
                                      "OutlineThickness",
                                      "ShowBack",
                                      "SimpleBack",
                                      "CalendarOtherMonthsWeeks",
                                      "FirstDayIsMonday",
                                      "HorizontalMarginSpacing",
                                      "VerticalMarginSpacing",
                                      "YMBottomSpace",
                                      "DOWBottomSpace",
                                      "HorizontalCenterShift",
                                      "VerticalCenterShift",
                                      "HorizontalCenterFocus",
                                      "VerticalCenterFocus",
                                      "OvalBack",
                                      "OvalBackEccentricity",
                                      "TextShadowTranslucency",
                                      "TodayMarginTranslucency",
                                      "TodayBackTranslucency",
                                      "FrameBriskMarginTranslucency",
                                      "FrameBack1Translucency",
                                      "FrameBack2Translucency",
                                      "FrameBack3Translucency",
                                      "FrameBack4Translucency",
                                      "FrameBack5Translucency",
                                      "FrameBack6Translucency",
                                      "FrameBack7Translucency",
                                      "FrameCenterTranslucency",
                                      "FrameBackThick12",
                                      "FrameBackThick23",
                                      "FrameBackThick34",
                                      "FrameBackThick45",
                                      "FrameBackThick56",
                                      "FrameBackThick67",
                                      "SeparatorLeftTranslucency",
                                      "SeparatorRightTranslucency",
                                      "SeparatorThickness",
                                      "YearTextFont",
                                      "YearTextSize",
                                      "YearBoldText",
                                      "YearItalicText",
                                      "YearTextTranslucency",
                                      "YearHSS",
                                      "YearVSS",
                                      "MonthTextFont",
                                      "MonthTextSize",
                                      "MonthBoldText",
                                      "MonthItalicText",
                                      "MonthTextTranslucency",
                                      "MonthHSS",
                                      "MonthVSS",
                                      "DayOfWeekTextFont",
                                      "DayOfWeekTextSize",
                                      "DayOfWeekBoldText",
                                      "DayOfWeekItalicText",
                                      "DayOfWeekWeekdayTextTranslucency",
                                      "DayOfWeekWeekendTextTranslucency",
                                      "DayOfWeekHSS",
                                      "DayOfWeekVSS",
                                      "DaysTextFont",
                                      "DaysTextSize",
                                      "DaysBoldText",
                                      "DaysItalicText",
                                      "CurrentMonthWeekdayTextTranslucency",
                                      "CurrentMonthWeekendTextTranslucency",
                                      "OtherMonthsWeekdayTextTranslucency",
                                      "OtherMonthsWeekendTextTranslucency",
                                      "DaysHSS",
                                      "DaysVSS"};

class CalendarSkinTest : public ::testing::Test {
 protected:
  void SetUp() override { Form = std::make_unique<TMainForm>(); }
  std::unique_ptr<TMainForm> Form;
};

TEST_F(CalendarSkinTest, TableHoldsTheNinetyOneKeysInFileOrder) {
  const auto parameters = SkinParameters();
  ASSERT_EQ(parameters.size(), 91u);
  QStringList keys;
  for (const TSkinParameter& parameter : parameters) keys << QLatin1String(parameter.Key);
  QStringList expected;
  for (const char* key : NonColourOrder) expected << QLatin1String(key);
  for (const TColourKey& colour : ColourKeys) expected << QLatin1String(colour.Key);
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(std::size(ListKeys) + std::size(FlagKeys), std::size(NonColourOrder));

  for (const TListKey& list : ListKeys) {
    SCOPED_TRACE(list.Key);
    const TSkinParameter* parameter = FindSkinParameter(QLatin1String(list.Key));
    ASSERT_NE(parameter, nullptr);
    EXPECT_EQ(parameter->Kind, TSkinKind::List);
    EXPECT_STREQ(parameter->Control, list.Control);
    EXPECT_STREQ(parameter->Default, list.Default);
  }
  for (const TFlagKey& flag : FlagKeys) {
    SCOPED_TRACE(flag.Key);
    const TSkinParameter* parameter = FindSkinParameter(QLatin1String(flag.Key));
    ASSERT_NE(parameter, nullptr);
    EXPECT_EQ(parameter->Kind, TSkinKind::Flag);
    EXPECT_STREQ(parameter->Control, flag.Control);
    EXPECT_STREQ(parameter->Default, flag.Default ? "TRUE" : "FALSE");
  }
  for (const TColourKey& colour : ColourKeys) {
    SCOPED_TRACE(colour.Key);
    const TSkinParameter* parameter = FindSkinParameter(QLatin1String(colour.Key));
    ASSERT_NE(parameter, nullptr);
    EXPECT_EQ(parameter->Kind, TSkinKind::Colour);
    EXPECT_STREQ(parameter->Control, colour.Control);
    EXPECT_EQ(parameter->DefaultColor, colour.Default);
  }
}

TEST_F(CalendarSkinTest, EveryListControlHasItsItemsAndDefault) {
  const QStringList fonts = Items(Form->CalendarYearTextFontComboBox);
  for (const TListKey& list : ListKeys) {
    SCOPED_TRACE(list.Control);
    auto* box = Form->findChild<QComboBox*>(QLatin1String(list.Control));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box, Form.get()->*FindSkinParameter(QLatin1String(list.Key))->ListMember);
    EXPECT_FALSE(box->isEditable());
    EXPECT_EQ(Items(box), list.List == Font ? fonts : ExpectedItems(list.List));
    EXPECT_EQ(box->currentText(), QLatin1String(list.Default));
  }
}

TEST_F(CalendarSkinTest, EveryFlagAndColourControlHasItsDefault) {
  for (const TFlagKey& flag : FlagKeys) {
    SCOPED_TRACE(flag.Control);
    auto* box = Form->findChild<QCheckBox*>(QLatin1String(flag.Control));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box, Form.get()->*FindSkinParameter(QLatin1String(flag.Key))->FlagMember);
    EXPECT_EQ(box->isChecked(), flag.Default);
    if (flag.Caption) {
      EXPECT_EQ(box->text(), QLatin1String(flag.Caption));
    }
    EXPECT_FALSE(box->text().isEmpty());
  }
  for (const TColourKey& colour : ColourKeys) {
    SCOPED_TRACE(colour.Control);
    auto* panel = Form->findChild<TColorPanel*>(QLatin1String(colour.Control));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel, Form.get()->*FindSkinParameter(QLatin1String(colour.Key))->ColourMember);
    EXPECT_EQ(panel->DefaultColor(), colour.Default);
    EXPECT_EQ(panel->Color(), colour.Default);
  }
}

TEST_F(CalendarSkinTest, ControlsStandOnTheirTabs) {
  const struct {
    QWidget* Tab;
    QStringList Controls;
  } placements[] = {
      {Form->CalendarGeneralTab,
       {"ShowCalendarCheckBox", "CalendarTextEffectComboBox", "CalendarOutlineThicknessComboBox",
        "CalendarTextShadowColorPanel", "CalendarTextShadowTranslucencyComboBox",
        "CalendarOtherMonthsWeeksComboBox", "FirstDayIsMondayCheckBox",
        "CalendarHorizontalMarginSpacingComboBox", "CalendarDefaultSkinLabel"}},
      {Form->CalendarBackTab,
       {"ShowCalendarBackCheckBox", "SimpleCalendarBackCheckBox",
        "CalendarVerticalCenterFocusComboBox", "CalendarOvalBackCheckBox",
        "CalendarOvalBackEccentricityComboBox"}},
      {Form->CalendarBackColorsTab,
       {"CalendarFrameBriskMarginColorPanel", "CalendarFrameBack7TranslucencyComboBox",
        "CalendarFrameCenterColorPanel", "CalendarFrameBackThick67ComboBox"}},
      {Form->CalendarHeaderTab,
       {"CalendarYMBottomSpaceComboBox", "CalendarDOWBottomSpaceComboBox",
        "CalendarSeparatorLeftColorPanel", "CalendarSeparatorThicknessComboBox"}},
      {Form->CalendarYearTab,
       {"CalendarYearTextFontComboBox", "CalendarYearItalicTextCheckBox",
        "CalendarYearTextColorPanel", "CalendarYearVSSComboBox"}},
      {Form->CalendarMonthTab, {"CalendarMonthTextSizeComboBox", "CalendarMonthHSSComboBox"}},
      {Form->CalendarDayOfWeekTab,
       {"CalendarDayOfWeekWeekendTextColorPanel", "CalendarDayOfWeekBoldTextCheckBox"}},
      {Form->CalendarDaysTab,
       {"CalendarOtherMonthsWeekendTextColorPanel", "CalendarTodayMarginColorPanel",
        "CalendarTodayBackTranslucencyComboBox", "CalendarDaysVSSComboBox"}},
  };
  for (const auto& placement : placements) {
    for (const QString& name : placement.Controls) {
      SCOPED_TRACE(name.toStdString());
      QWidget* control = placement.Tab->findChild<QWidget*>(name);
      EXPECT_NE(control, nullptr);
    }
  }
}

TEST_F(CalendarSkinTest, FontListIsInstalledFamiliesOnceEachAndKeepsArial) {
  const QStringList fonts = InstalledFontFamilies();
  ASSERT_FALSE(fonts.isEmpty());
  EXPECT_EQ(QSet<QString>(fonts.begin(), fonts.end()).size(), fonts.size()) << "duplicates";
  for (const QString& font : fonts)
    EXPECT_FALSE(font.contains(QLatin1Char('['))) << font.toStdString();
  // fonts-liberation renders "Arial" with a metric-compatible face, so the name is offered.
  if (QFontInfo(QFont(QStringLiteral("Arial"))).family() == QLatin1String("Liberation Sans")) {
    EXPECT_TRUE(fonts.contains(QStringLiteral("Arial")));
  }
  for (QComboBox* box :
       {Form->CalendarYearTextFontComboBox, Form->CalendarMonthTextFontComboBox,
        Form->CalendarDayOfWeekTextFontComboBox, Form->CalendarDaysTextFontComboBox}) {
    EXPECT_EQ(Items(box), fonts);
  }
  // A name nothing renders faithfully is not invented.
  EXPECT_FALSE(fonts.contains(QStringLiteral("Wingdings")));
}

TEST_F(CalendarSkinTest, DefaultSkinRestoresEveryControl) {
  for (const TSkinParameter& parameter : SkinParameters()) {
    switch (parameter.Kind) {
      case TSkinKind::List: {
        QComboBox* box = Form.get()->*parameter.ListMember;
        box->setCurrentIndex(box->currentIndex() == 0 ? box->count() - 1 : 0);
        break;
      }
      case TSkinKind::Flag:
        (Form.get()->*parameter.FlagMember)->toggle();
        break;
      case TSkinKind::Colour:
        (Form.get()->*parameter.ColourMember)->SetColor(0x123456);
        break;
    }
  }
  Form->Updating = false;
  QTest::mouseClick(Form->CalendarDefaultSkinLabel, Qt::LeftButton);
  EXPECT_FALSE(Form->Updating) << "Updating is given back as it was";
  for (const TListKey& list : ListKeys) {
    EXPECT_EQ(Form->findChild<QComboBox*>(QLatin1String(list.Control))->currentText(),
              QLatin1String(list.Default))
        << list.Control;
  }
  for (const TFlagKey& flag : FlagKeys) {
    EXPECT_EQ(Form->findChild<QCheckBox*>(QLatin1String(flag.Control))->isChecked(), flag.Default)
        << flag.Control;
  }
  for (const TColourKey& colour : ColourKeys) {
    EXPECT_EQ(Form->findChild<TColorPanel*>(QLatin1String(colour.Control))->Color(), colour.Default)
        << colour.Control;
  }
}

TEST_F(CalendarSkinTest, DefaultSkinChangesControlsWhileUpdatingIsSet) {
  Form->Updating = false;
  bool updatingDuringChange = false;
  QObject::connect(Form->CalendarTextEffectComboBox, &QComboBox::currentIndexChanged,
                   [&] { updatingDuringChange = Form->Updating; });
  Form->CalendarTextEffectComboBox->setCurrentIndex(0);
  Form->CalendarDefaultSkinLabelClick();
  EXPECT_TRUE(updatingDuringChange);
  EXPECT_FALSE(Form->Updating);
}

TEST_F(CalendarSkinTest, RedrawAndReloadControlGroups) {
  // The 69 lists and flags and the 22 colour panels of the skin, "Show" and the desktop margin.
  const QList<QWidget*> redraw = Form->RedrawOnChangeControls();
  EXPECT_EQ(redraw.size(), 93);
  EXPECT_EQ(QSet<QWidget*>(redraw.begin(), redraw.end()).size(), 93);
  EXPECT_TRUE(redraw.contains(Form->CalendarOtherMonthsWeekendTextColorPanel));
  EXPECT_TRUE(redraw.contains(Form->ShowCalendarCheckBox));
  EXPECT_TRUE(redraw.contains(Form->DesktopMarginComboBox));
  EXPECT_TRUE(redraw.contains(Form->CalendarDaysVSSComboBox));
  const QList<QWidget*> reload = Form->ReloadOnChangeControls();
  EXPECT_EQ(reload.size(), 12);
  for (QWidget* control : reload) {
    EXPECT_NE(control, nullptr);
    EXPECT_FALSE(redraw.contains(control));
  }
  EXPECT_TRUE(reload.contains(Form->GammaPictureComboBox));
  EXPECT_TRUE(reload.contains(Form->IsTileCheckBox));
  EXPECT_TRUE(reload.contains(Form->FillingPictureColorPanel));
}

}  // namespace
