// The skins shipped in data/CalendarSkins: each is what the program's own skin writer makes of
// its definition below, loads without a report, and looks different from the others. Every one
// is painted on a dark and on a light sample picture, kept in the build folder's "screenshots".
// With BACKDROPPER_WRITE_SKINS=1 the first test writes the files into the source tree instead.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <initializer_list>
#include <utility>

#include "ColorPanel.h"
#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "File/File.h"
#include "MainDialog/CalendarSkin.h"
#include "MainDialog/MainDialog.h"
#include "ModalAnswerer.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"
#include "StoredTextList/StoredTextList.h"

namespace {

QString Rgb(int red, int green, int blue) {
  return QString::number(red | green << 8 | blue << 16);
}

struct TShippedSkin {
  const char* Name;
  // Changes to the default skin, as key and the text its control shows (colours as numbers).
  std::initializer_list<std::pair<const char*, QString>> Changes;
};

const TShippedSkin Skins[] = {
    {"Glass Oval",
     {{"SimpleBack", "FALSE"},
      {"OvalBack", "TRUE"},
      {"OvalBackEccentricity", "130"},
      {"CalendarOtherMonthsWeeks", "0"},
      {"HorizontalCenterShift", "45"},
      {"VerticalCenterShift", "35"},
      {"HorizontalCenterFocus", "10"},
      {"VerticalCenterFocus", "10"},
      {"FrameBriskMarginTranslucency", "70"},
      {"FrameBriskMarginColor", Rgb(200, 220, 255)},
      {"FrameBack1Color", Rgb(10, 20, 50)},
      {"FrameBack1Translucency", "20"},
      {"FrameBack2Color", Rgb(190, 215, 250)},
      {"FrameBack2Translucency", "25"},
      {"FrameBack3Color", Rgb(20, 45, 110)},
      {"FrameBack3Translucency", "15"},
      {"FrameBack4Color", Rgb(60, 110, 190)},
      {"FrameBack4Translucency", "25"},
      {"FrameBack5Color", Rgb(15, 35, 95)},
      {"FrameBack5Translucency", "25"},
      {"FrameBack6Color", Rgb(35, 85, 170)},
      {"FrameBack6Translucency", "35"},
      {"FrameBack7Color", Rgb(70, 140, 220)},
      {"FrameBack7Translucency", "45"},
      {"FrameCenterColor", Rgb(190, 225, 255)},
      {"FrameCenterTranslucency", "55"},
      {"FrameBackThick12", "2"},
      {"FrameBackThick23", "3"},
      {"FrameBackThick34", "2"},
      {"FrameBackThick45", "4"},
      {"FrameBackThick56", "30"},
      {"FrameBackThick67", "30"},
      {"TextShadowColor", Rgb(5, 15, 45)},
      {"TextShadowTranslucency", "20"},
      {"SeparatorLeftColor", Rgb(255, 255, 255)},
      {"SeparatorLeftTranslucency", "60"},
      {"SeparatorRightColor", Rgb(255, 255, 255)},
      {"SeparatorRightTranslucency", "60"},
      {"SeparatorThickness", "1"},
      {"YearItalicText", "FALSE"},
      {"YearTextColor", Rgb(180, 220, 255)},
      {"MonthTextColor", Rgb(255, 255, 255)},
      {"DayOfWeekItalicText", "FALSE"},
      {"DayOfWeekWeekdayTextColor", Rgb(180, 220, 255)},
      {"DayOfWeekWeekendTextColor", Rgb(255, 170, 150)},
      {"CurrentMonthWeekendTextColor", Rgb(255, 170, 150)},
      {"TodayMarginColor", Rgb(255, 255, 255)},
      {"TodayMarginTranslucency", "20"},
      {"TodayBackColor", Rgb(90, 200, 255)},
      {"TodayBackTranslucency", "50"}}},

    {"Paper",
     {{"TextEffect", "None"},
      {"HorizontalMarginSpacing", "20"},
      {"VerticalMarginSpacing", "20"},
      {"FrameBriskMarginColor", Rgb(150, 135, 110)},
      {"FrameBack5Color", Rgb(248, 243, 228)},
      {"FrameBack5Translucency", "5"},
      {"SeparatorLeftColor", Rgb(140, 110, 80)},
      {"SeparatorLeftTranslucency", "0"},
      {"SeparatorRightColor", Rgb(248, 243, 228)},
      {"SeparatorRightTranslucency", "0"},
      {"SeparatorThickness", "1"},
      {"YearTextFont", "Times New Roman"},
      {"YearTextSize", "18"},
      {"YearBoldText", "FALSE"},
      {"YearTextColor", Rgb(140, 110, 80)},
      {"MonthTextFont", "Times New Roman"},
      {"MonthTextSize", "24"},
      {"MonthTextColor", Rgb(60, 45, 35)},
      {"DayOfWeekTextFont", "Times New Roman"},
      {"DayOfWeekTextSize", "13"},
      {"DayOfWeekWeekdayTextColor", Rgb(110, 95, 80)},
      {"DayOfWeekWeekendTextColor", Rgb(170, 45, 35)},
      {"DaysTextFont", "Times New Roman"},
      {"DaysTextSize", "15"},
      {"DaysBoldText", "FALSE"},
      {"CurrentMonthWeekdayTextColor", Rgb(45, 40, 35)},
      {"CurrentMonthWeekendTextColor", Rgb(170, 45, 35)},
      {"OtherMonthsWeekdayTextColor", Rgb(185, 175, 160)},
      {"OtherMonthsWeekendTextColor", Rgb(215, 170, 160)},
      {"TodayMarginColor", Rgb(140, 110, 80)},
      {"TodayBackColor", Rgb(235, 205, 140)},
      {"TodayBackTranslucency", "20"}}},

    {"Corner",
     {{"ShowBack", "FALSE"},
      {"OutlineThickness", "2"},
      {"TextShadowColor", Rgb(20, 20, 30)},
      {"TextShadowTranslucency", "30"},
      {"CalendarOtherMonthsWeeks", "0"},
      {"HorizontalMarginSpacing", "5"},
      {"VerticalMarginSpacing", "5"},
      {"YMBottomSpace", "5"},
      {"DOWBottomSpace", "5"},
      {"SeparatorLeftTranslucency", "40"},
      {"SeparatorRightColor", Rgb(255, 255, 255)},
      {"SeparatorRightTranslucency", "100"},
      {"SeparatorThickness", "1"},
      {"YearTextSize", "12"},
      {"YearItalicText", "FALSE"},
      {"YearBoldText", "FALSE"},
      {"YearTextColor", Rgb(255, 255, 255)},
      {"YearTextTranslucency", "15"},
      {"MonthTextSize", "14"},
      {"MonthTextColor", Rgb(255, 255, 255)},
      {"DayOfWeekTextSize", "10"},
      {"DayOfWeekItalicText", "FALSE"},
      {"DayOfWeekWeekdayTextTranslucency", "10"},
      {"DayOfWeekWeekendTextColor", Rgb(255, 190, 175)},
      {"DayOfWeekWeekendTextTranslucency", "10"},
      {"DaysTextSize", "11"},
      {"CurrentMonthWeekendTextColor", Rgb(255, 190, 175)},
      {"TodayMarginColor", Rgb(255, 255, 255)},
      {"TodayMarginTranslucency", "30"},
      {"TodayBackColor", Rgb(255, 255, 255)},
      {"TodayBackTranslucency", "70"}}},

    {"Big Outline",
     {{"OutlineThickness", "3"},
      {"SimpleBack", "TRUE"},
      {"FrameBriskMarginTranslucency", "100"},
      {"FrameBack5Color", Rgb(10, 10, 20)},
      {"FrameBack5Translucency", "65"},
      {"HorizontalMarginSpacing", "30"},
      {"VerticalMarginSpacing", "25"},
      {"YMBottomSpace", "15"},
      {"DOWBottomSpace", "10"},
      {"SeparatorLeftColor", Rgb(255, 255, 255)},
      {"SeparatorLeftTranslucency", "0"},
      {"SeparatorRightColor", Rgb(255, 255, 255)},
      {"SeparatorRightTranslucency", "100"},
      {"SeparatorThickness", "3"},
      {"YearTextSize", "28"},
      {"YearItalicText", "FALSE"},
      {"YearTextColor", Rgb(255, 210, 90)},
      {"MonthTextSize", "40"},
      {"MonthTextColor", Rgb(255, 255, 255)},
      {"DayOfWeekTextSize", "18"},
      {"DayOfWeekItalicText", "FALSE"},
      {"DayOfWeekWeekdayTextColor", Rgb(255, 210, 90)},
      {"DayOfWeekWeekendTextColor", Rgb(255, 110, 90)},
      {"DaysTextSize", "24"},
      {"CurrentMonthWeekendTextColor", Rgb(255, 110, 90)},
      {"OtherMonthsWeekdayTextColor", Rgb(170, 170, 170)},
      {"OtherMonthsWeekendTextColor", Rgb(200, 130, 120)},
      {"TodayMarginColor", Rgb(255, 210, 90)},
      {"TodayBackColor", Rgb(255, 210, 90)},
      {"TodayBackTranslucency", "60"}}},

    {"Classic Bands",
     {{"SimpleBack", "FALSE"},
      {"TextEffect", "Shadow"},
      {"TextShadowTranslucency", "20"},
      {"YearHSS", "1"},
      {"YearVSS", "1"},
      {"MonthHSS", "2"},
      {"MonthVSS", "2"},
      {"DayOfWeekHSS", "1"},
      {"DayOfWeekVSS", "1"},
      {"DaysHSS", "1"},
      {"DaysVSS", "1"},
      {"CalendarOtherMonthsWeeks", "2"},
      {"VerticalCenterShift", "40"},
      {"HorizontalCenterFocus", "20"},
      {"VerticalCenterFocus", "20"},
      {"FrameBackThick56", "15"},
      {"FrameBackThick67", "30"},
      {"MonthTextSize", "22"},
      {"DaysTextSize", "13"}}},
};

QString ShippedSkinFolder() {
  return QStringLiteral(BACKDROPPER_SOURCE_DIR "/data/CalendarSkins");
}

QString ScreenshotFolder() {
  const QString dir = QFileInfo(QStringLiteral(BACKDROPPER_BINARY)).absolutePath() + "/screenshots";
  QDir().mkpath(dir);
  return dir;
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ShippedSkinsTest : public ::testing::Test {
 protected:
  void SetUp() override { ErrorForm = &Errors; }
  void TearDown() override { ErrorForm = nullptr; }

  // Sets the controls as the definition says, each change checked to have taken.
  void Apply(const TShippedSkin& skin) {
    Form.CalendarDefaultSkinLabelClick();
    for (const auto& [key, value] : skin.Changes) {
      SCOPED_TRACE(key);
      const TSkinParameter* parameter = FindSkinParameter(QLatin1String(key));
      ASSERT_NE(parameter, nullptr);
      switch (parameter->Kind) {
        case TSkinKind::List: {
          QComboBox* box = Form.*parameter->ListMember;
          box->setCurrentIndex(box->findText(value));
          EXPECT_EQ(box->currentText(), value);
          break;
        }
        case TSkinKind::Flag:
          (Form.*parameter->FlagMember)->setChecked(value == "TRUE");
          break;
        case TSkinKind::Colour:
          (Form.*parameter->ColourMember)->SetColor(value.toInt());
          break;
      }
    }
  }

  // The skin the controls hold, as the writer puts it.
  QByteArray Written() {
    TStoredTextList list(Temp.filePath("written.wps"));
    list.OnSave = [this](TStoredTextList& l, uint8_t a) { Form.WriteCalendarSkin(l, a); };
    EXPECT_TRUE(list.SaveAs(list.FileName, false));
    return Contents(list.FileName);
  }

  QTemporaryDir Temp;
  TErrorForm Errors;
  TModalAnswerer Answerer{[](QWidget* w) { TModalAnswerer::ClickButton(w, "&Okay"); }};
  TRecordedDesktop Desktop{"MATE"};
  TMainForm Form;
};

TEST_F(ShippedSkinsTest, EachShippedSkinIsTheWritersOutputOfItsDefinition) {
  const bool write = qEnvironmentVariableIntValue("BACKDROPPER_WRITE_SKINS") == 1;
  for (const TShippedSkin& skin : Skins) {
    SCOPED_TRACE(skin.Name);
    Apply(skin);
    const QByteArray written = Written();
    const QString shipped = ShippedSkinFolder() + "/" + skin.Name + ".wps";
    if (write) {
      QFile file(shipped);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(written);
    }
    EXPECT_EQ(Contents(shipped), written);
  }
}

TEST_F(ShippedSkinsTest, EveryShippedSkinLoadsCompleteWithoutAReportAndLooksItsOwn) {
  const QStringList files = QDir(ShippedSkinFolder()).entryList({"*.wps"}, QDir::Files);
  ASSERT_GE(files.size(), 5);
  Form.LastFileTitle = QStringLiteral(BACKDROPPER_SOURCE_DIR "/data/Pictures/Deep Water.jpg");
  Form.IsAutoChangeWallpaperCheckBox->setChecked(false);
  Form.IsBroadcastWallpaperChangeCheckBox->setChecked(false);
  Form.Updating = false;
  Form.CalendarDefaultSkinLabelClick();
  QList<QByteArray> skins{Written()};
  const QString wallpaper = GetOperatorPath() + "Backdropper_Wallpaper.bmp";
  for (const QString& name : files) {
    SCOPED_TRACE(name.toStdString());
    const QString path = ShippedSkinFolder() + "/" + name;
    TStoredTextList file(path);
    ASSERT_TRUE(file.Load());
    for (const TSkinParameter& parameter : SkinParameters())
      EXPECT_TRUE(file.Value(CalendarSkinSection, parameter.Key)) << parameter.Key;

    Form.Updating = true;
    ASSERT_TRUE(Form.SkinList->LoadFrom(path));
    EXPECT_TRUE(Form.SkinList->BadValues.isEmpty());
    Form.Updating = false;
    const QByteArray written = Written();
    EXPECT_EQ(written, Contents(path)) << "every value was taken as it stands";
    EXPECT_FALSE(skins.contains(written)) << "the same as another skin or the default";
    skins << written;

    for (const char* picture : {"Deep Water", "Wide Sky"}) {
      Form.LastFileTitle =
          QStringLiteral(BACKDROPPER_SOURCE_DIR "/data/Pictures/") + picture + ".jpg";
      Form.SetFileAsWallpaper(true);
      ASSERT_EQ(FunStatContext.Status, fsPerfect);
      const QImage shown(wallpaper);
      EXPECT_NE(shown.convertToFormat(QImage::Format_RGB32),
                Form.FittedPicture.convertToFormat(QImage::Format_RGB32))
          << "a calendar is painted";
      shown.save(ScreenshotFolder() + "/skin-" + QFileInfo(name).completeBaseName() + "-" +
                 (QLatin1String(picture) == QLatin1String("Wide Sky") ? "light" : "dark") + ".png");
    }
  }
}

}  // namespace
