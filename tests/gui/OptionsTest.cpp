// The options file and skin files through the real settings-file object: which keys are
// written in which order, what reading them does to the controls, the writes as values change
// and the close paths that write the options.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "ColorPanel.h"
#include "FavoritesDialog.h"
#include "MainDialog/CalendarSkin.h"
#include "MainDialog/MainDialog.h"
#include "File/File.h"
#include "Program.h"
#include "StoredTextList/SettingsWriter.h"
#include "StoredTextList/StoredTextList.h"
#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "ModalAnswerer.h"

namespace {

// Section name followed by its keys, in file order.
using TLayout = QList<QPair<QString, QStringList>>;

TLayout ReadLayout(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  TLayout layout;
  for (const QByteArray& raw : file.readAll().split('\n')) {
    const QString line = QString::fromUtf8(raw).remove(QLatin1Char('\r'));
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      layout.append({line.mid(1, line.size() - 2), {}});
    } else if (!layout.isEmpty() && line.contains(QLatin1Char('='))) {
      layout.last().second << line.left(line.indexOf(QLatin1Char('=')));
    }
  }
  return layout;
}

QStringList KeysOf(const TLayout& layout, const QString& section) {
  for (const auto& entry : layout) {
    if (entry.first == section) return entry.second;
  }
  return {};
}

QStringList SkinKeys() {
  QStringList keys;
  for (const TSkinParameter& parameter : SkinParameters()) keys << QLatin1String(parameter.Key);
  return keys;
}

void WriteFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(content);
}

// Every skin control away from its default.
void ChangeSkin(TMainForm& form) {
  for (const TSkinParameter& parameter : SkinParameters()) {
    switch (parameter.Kind) {
      case TSkinKind::List: {
        QComboBox* box = form.*parameter.ListMember;
        box->setCurrentIndex(box->currentIndex() == 0 ? 1 : 0);
        break;
      }
      case TSkinKind::Flag:
        (form.*parameter.FlagMember)->toggle();
        break;
      case TSkinKind::Colour:
        (form.*parameter.ColourMember)->SetColor(parameter.DefaultColor ^ 0x0A0B0C);
        break;
    }
  }
}

QStringList SkinState(const TMainForm& form, bool colours) {
  QStringList state;
  for (const TSkinParameter& parameter : SkinParameters()) {
    if ((parameter.Kind == TSkinKind::Colour) != colours) continue;
    switch (parameter.Kind) {
      case TSkinKind::List:
        state << (form.*parameter.ListMember)->currentText();
        break;
      case TSkinKind::Flag:
        state << ((form.*parameter.FlagMember)->isChecked() ? "on" : "off");
        break;
      case TSkinKind::Colour:
        state << QString::number((form.*parameter.ColourMember)->Color());
        break;
    }
  }
  return state;
}

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override { ErrorForm = &Report; }
  void TearDown() override { ErrorForm = nullptr; }
  QString Path(const char* name) const { return Dir.filePath(QLatin1String(name)); }
  QTemporaryDir Dir;
  // Reports of bad values are closed with Okay and remembered.
  TModalAnswerer Answerer{[](QWidget* w) { TModalAnswerer::ClickButton(w, "&Okay"); }};
  TErrorForm Report;
};

TEST_F(OptionsTest, WritesEveryKeyInItsSectionAndOrder) {
  TMainForm form;
  const QString path = Path("Backdropper.ini");
  WriteFile(path, "[Unknown]\r\nKept=no\r\n");
  form.CreateOptionsList(path);
  ASSERT_TRUE(form.OptionsList->Load(0));
  ASSERT_TRUE(form.OptionsList->Save(false, 0));

  const TLayout layout = ReadLayout(path);
  QStringList sections;
  for (const auto& entry : layout) sections << entry.first;
  EXPECT_FALSE(sections.contains(QStringLiteral("Unknown"))) << "unknown sections are dropped";
  const QStringList ours = {
      "Main",          "Wallpaper",        "Calendar", "CalendarSkin", "BroadcastWallpaperChange",
      "DirectoryList", "FavoritePictures", "Monitors"};
  qsizetype last = -1;
  for (const QString& section : ours) {
    const qsizetype at = sections.indexOf(section);
    EXPECT_GT(at, last) << section.toStdString();
    last = at;
  }
  EXPECT_EQ(KeysOf(layout, "Main"),
            (QStringList{"XPos", "YPos", "Autorun", "HideOnClose", "Hotkey", "DesktopMargin"}));
  EXPECT_EQ(
      KeysOf(layout, "Wallpaper"),
      (QStringList{
          "IsAutoChange", "AutoChangeInterval", "UseAutoChangeStartTime", "AutoChangeStartTime",
          "IsRandomWallpaper", "LastAutoChangeTime", "LastFileTitle", "FillingPictureColor",
          "PictureMinStretchSize", "PictureMaxStretchSkew", "FitAndCropPicture", "StretchPicture",
          "IsFitBeforeTilePicture", "IsTilePicture", "UsePictureNormalizeBrightness",
          "PictureNormalizeBrightnessLevel", "PictureNormalizeBrightnessMethod", "GammaPicture"}));
  EXPECT_EQ(KeysOf(layout, "Calendar"),
            (QStringList{"Show", "RectLeft", "RectTop", "RectWidth", "RectHeight", "LastRedrawTime",
                         "LastCalendarSkinName"}));
  EXPECT_EQ(KeysOf(layout, "CalendarSkin"), SkinKeys());
  EXPECT_EQ(KeysOf(layout, "BroadcastWallpaperChange"),
            (QStringList{"IsAutoChange", "AutoChangeInterval", "LastAutoChangeTime"}));
  EXPECT_EQ(KeysOf(layout, "DirectoryList"), QStringList{"Count"});
  EXPECT_EQ(sections.last(), QStringLiteral("Monitors")) << "the newest section comes last";
  EXPECT_EQ(KeysOf(layout, "Monitors"), (QStringList{"Arrangement", "CalendarMonitor"}));
}

TEST_F(OptionsTest, MissingFileLeavesTheDefaults) {
  TMainForm form;
  form.CreateOptionsList(Path("absent.ini"));
  form.OptionsList->Load(0);
  EXPECT_TRUE(form.AutorunCheckBox->isChecked());
  EXPECT_TRUE(form.HideOnCloseCheckBox->isChecked());
  EXPECT_EQ(form.HotkeyComboBox->currentText(), QStringLiteral("W"));
  EXPECT_EQ(form.DesktopMarginComboBox->currentText(), QStringLiteral("20"));
  EXPECT_EQ(form.pos(), QPoint(354, 122));
  EXPECT_DOUBLE_EQ(form.RectLeft, 0.7);
  EXPECT_DOUBLE_EQ(form.RectTop, 0.15);
  EXPECT_EQ(SkinState(form, false), SkinState(TMainForm(), false));
}

TEST_F(OptionsTest, ValuesSurviveASaveAndALoad) {
  const QString path = Path("Backdropper.ini");
  QStringList written;
  {
    TMainForm form;
    form.AutorunCheckBox->setChecked(false);
    form.HideOnCloseCheckBox->setChecked(false);
    form.HotkeyComboBox->setCurrentText(QStringLiteral("Q"));
    form.DesktopMarginComboBox->setCurrentText(QStringLiteral("35"));
    form.AutoChangeWallpaperIntervalComboBox->setCurrentText(QStringLiteral("2 days"));
    form.RandomWallpaperCheckBox->setChecked(true);
    form.FillingPictureColorPanel->SetColor(0x336699);
    form.GammaPictureComboBox->setCurrentText(QStringLiteral("250"));
    form.PictureNormalizeBrightnessMethodComboBox->setCurrentText(
        QStringLiteral("Mirrored scaling"));
    form.ShowCalendarCheckBox->setChecked(false);
    form.BroadcastWallpaperChangeIntervalComboBox->setCurrentText(QStringLiteral("1 week"));
    form.LastFileTitle = QStringLiteral("/pictures/a b.jpg");
    form.LastCalendarSkinName = QStringLiteral("Blue");
    form.LastAutoChangeTime = 45000.25;
    form.LastBroadcastTime = 45001.5;
    form.RectLeft = 0.25;
    form.MonitorArrangementComboBox->setCurrentText(
        QStringLiteral("One picture across all monitors"));
    form.CalendarMonitor = QStringLiteral("HDMI-9");
    ChangeSkin(form);
    written = SkinState(form, false) + SkinState(form, true);
    form.CreateOptionsList(path);
    ASSERT_TRUE(form.OptionsList->Save(false, 0));
  }
  TMainForm form;
  form.CreateOptionsList(path);
  ASSERT_TRUE(form.OptionsList->Load(0));
  EXPECT_FALSE(form.AutorunCheckBox->isChecked());
  EXPECT_FALSE(form.HideOnCloseCheckBox->isChecked());
  EXPECT_EQ(form.HotkeyComboBox->currentText(), QStringLiteral("Q"));
  EXPECT_EQ(form.DesktopMarginComboBox->currentText(), QStringLiteral("35"));
  EXPECT_EQ(form.AutoChangeWallpaperIntervalComboBox->currentText(), QStringLiteral("2 days"));
  EXPECT_TRUE(form.RandomWallpaperCheckBox->isChecked());
  EXPECT_EQ(form.FillingPictureColorPanel->Color(), 0x336699);
  EXPECT_EQ(form.GammaPictureComboBox->currentText(), QStringLiteral("250"));
  EXPECT_EQ(form.PictureNormalizeBrightnessMethodComboBox->currentText(),
            QStringLiteral("Mirrored scaling"));
  EXPECT_FALSE(form.ShowCalendarCheckBox->isChecked());
  EXPECT_EQ(form.BroadcastWallpaperChangeIntervalComboBox->currentText(), QStringLiteral("1 week"));
  EXPECT_EQ(form.LastFileTitle, QStringLiteral("/pictures/a b.jpg"));
  EXPECT_EQ(form.LastCalendarSkinName, QStringLiteral("Blue"));
  EXPECT_DOUBLE_EQ(form.LastAutoChangeTime, 45000.25);
  EXPECT_DOUBLE_EQ(form.LastBroadcastTime, 45001.5);
  EXPECT_DOUBLE_EQ(form.RectLeft, 0.25);
  EXPECT_EQ(form.Arrangement(), TArrangement::Across);
  // A monitor that is not connected keeps its name, and its place in the choices.
  EXPECT_EQ(form.CalendarMonitor, QStringLiteral("HDMI-9"));
  EXPECT_EQ(form.CalendarMonitorComboBox->currentText(), QStringLiteral("HDMI-9 (not connected)"));
  EXPECT_EQ(CalendarMonitorName(), QStringLiteral("HDMI-9"));
  EXPECT_EQ(SkinState(form, false) + SkinState(form, true), written);
}

TEST_F(OptionsTest, ListOnlyBoxesFallBackToTheirFirstItem) {
  const QString path = Path("Backdropper.ini");
  WriteFile(path,
            "[Main]\r\nHotkey=1\r\nDesktopMargin=12\r\n"
            "[CalendarSkin]\r\nTextEffect=outline\r\nYearTextFont=No Such Font 123\r\n"
            "FrameBackThick12=0\r\nYearBoldText=True\r\nDaysItalicText=TRUE\r\n");
  TMainForm form;
  form.CreateOptionsList(path);
  form.OptionsList->Load(0);
  EXPECT_EQ(form.HotkeyComboBox->currentText(), QStringLiteral("A"));
  EXPECT_EQ(form.DesktopMarginComboBox->currentText(), QStringLiteral("0"));
  EXPECT_EQ(form.CalendarTextEffectComboBox->currentText(), QStringLiteral("Outline"));
  EXPECT_EQ(form.CalendarYearTextFontComboBox->currentIndex(), 0);
  EXPECT_EQ(form.CalendarFrameBackThick12ComboBox->currentText(), QStringLiteral("1"));
  EXPECT_FALSE(form.CalendarYearBoldTextCheckBox->isChecked()) << "only TRUE is true";
  EXPECT_TRUE(form.CalendarDaysItalicTextCheckBox->isChecked());
}

TEST_F(OptionsTest, SkinFileRoundTripAndColoursOnly) {
  const QString path = Path("Blue.wps");
  QStringList lists, colours;
  {
    TMainForm form;
    ChangeSkin(form);
    lists = SkinState(form, false);
    colours = SkinState(form, true);
    ASSERT_TRUE(form.SkinList->SaveAs(path, false, 0));
  }
  const TLayout layout = ReadLayout(path);
  ASSERT_EQ(layout.size(), 1);
  EXPECT_EQ(layout.first().first, QStringLiteral("CalendarSkin"));
  EXPECT_EQ(layout.first().second, SkinKeys());

  TMainForm full;
  ASSERT_TRUE(full.SkinList->LoadFrom(path, 0));
  EXPECT_EQ(SkinState(full, false), lists);
  EXPECT_EQ(SkinState(full, true), colours);

  TMainForm coloursOnly;
  const QStringList factoryLists = SkinState(coloursOnly, false);
  coloursOnly.ReadSkinColorsOnly = true;
  ASSERT_TRUE(coloursOnly.SkinList->LoadFrom(path, 0));
  EXPECT_EQ(SkinState(coloursOnly, false), factoryLists);
  EXPECT_EQ(SkinState(coloursOnly, true), colours);
}

TEST_F(OptionsTest, ColourOnlySectionResetsListsButKeepsFlags) {
  const QString path = Path("Colours.wps");
  WriteFile(path, "[CalendarSkin]\r\nYearTextColor=255\r\n");
  TMainForm form;
  ChangeSkin(form);
  const bool bold = form.CalendarYearBoldTextCheckBox->isChecked();
  ASSERT_TRUE(form.SkinList->LoadFrom(path, 0));
  EXPECT_EQ(form.CalendarTextEffectComboBox->currentText(), QStringLiteral("Outline"));
  EXPECT_EQ(form.CalendarFrameBackThick56ComboBox->currentText(), QStringLiteral("20"));
  EXPECT_EQ(form.CalendarYearBoldTextCheckBox->isChecked(), bold) << "missing flags keep state";
  EXPECT_EQ(form.CalendarYearTextColorPanel->Color(), 255);
  EXPECT_EQ(form.CalendarMonthTextColorPanel->Color(), 1666745) << "missing colours: default";
}

TEST_F(OptionsTest, OnlyARealCloseWritesTheOptions) {
  const QString path = Path("Backdropper.ini");
  TMainForm form;
  form.CreateOptionsList(path);
  form.show();
  EXPECT_FALSE(form.close());
  EXPECT_FALSE(QFile::exists(path)) << "hiding on close writes nothing";
  form.show();
  form.CloseProgramLabelClick();
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_EQ(KeysOf(ReadLayout(path), "CalendarSkin").size(), 91);
}

// Every kind of change reaches the file within about two seconds, a burst in one write, and
// a file that did not change is not written again.
TEST_F(OptionsTest, ChangesAreWrittenAsTheyHappenABurstInOneWrite) {
  const QString path = Path("Backdropper.ini");
  TMainForm form;
  form.CreateOptionsList(path);
  ASSERT_TRUE(form.OptionsList->Load(0));
  form.SetUpOptionsWriter();
  form.Timer->start();
  // Start-up writes what it read, once.
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(path); }, 5000));
  EXPECT_EQ(form.OptionsWriter->Writes(), 1);

  const struct {
    const char* Name;
    std::function<void()> Change;
    const char* Section;
    const char* Line;
  } changes[] = {
      {"a control changed ten thousand times",
       [&] {
         for (int i = 0; i < 10001; ++i) form.HideOnCloseCheckBox->toggle();
         form.GammaPictureComboBox->setCurrentText("150");
       },
       "Main", "HideOnClose=FALSE"},
      {"the folder list", [&] { form.AddDirectoryEntry(Dir.path() + "/Folder", true, false); },
       "DirectoryList", "Count=1"},
      {"the current picture", [&] { form.LastFileTitle = Dir.path() + "/Folder/b.jpg"; },
       "Wallpaper", "LastFileTitle="},
      {"a favourite", [&] { form.Favorites->AddFavorite(Dir.path() + "/Folder/c.jpg"); },
       "FavoritePictures", "Count=1"},
      {"the skin's name", [&] { form.LastCalendarSkinName = "Mine"; }, "Calendar",
       "LastCalendarSkinName=Mine"},
  };
  int writes = form.OptionsWriter->Writes();
  for (const auto& c : changes) {
    c.Change();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.OptionsWriter->Writes() > writes; }, 4000))
        << c.Name;
    EXPECT_EQ(form.OptionsWriter->Writes(), writes + 1) << c.Name;
    writes = form.OptionsWriter->Writes();
    TStoredTextList stored(path);
    ASSERT_TRUE(stored.Load());
    EXPECT_TRUE(stored.Store->Serialize().contains(c.Line)) << c.Name;
  }
  TStoredTextList stored(path);
  ASSERT_TRUE(stored.Load());
  EXPECT_EQ(stored.Value("Wallpaper", "GammaPicture"), "150");
  EXPECT_EQ(stored.Value("Wallpaper", "LastFileTitle"), Dir.path() + "/Folder/b.jpg");

  // Nothing changed, nothing written; the close writes once more all the same.
  QTest::qWait(2500);
  EXPECT_EQ(form.OptionsWriter->Writes(), writes);
  QFile::remove(path);
  form.CloseProgramLabelClick();
  EXPECT_TRUE(QFile::exists(path));
}

TEST_F(OptionsTest, AutorunKeepsTheAutostartEntryInLine) {
  const QString entry = GetStartupPath() + QFileInfo(GetProgramFilePath()).completeBaseName() +
                        QStringLiteral(".desktop");
  TMainForm form;
  form.CreateOptionsList(Path("Backdropper.ini"));
  ASSERT_TRUE(form.AutorunCheckBox->isChecked());
  ASSERT_TRUE(form.OptionsList->Save(false, 0));
  ASSERT_TRUE(QFile::exists(entry)) << entry.toStdString();
  EXPECT_TRUE(ReadLayout(entry).size() > 0);
  form.AutorunCheckBox->setChecked(false);
  ASSERT_TRUE(form.OptionsList->Save(false, 0));
  EXPECT_FALSE(QFile::exists(entry));
}

// One bad value costs that value only: the folders, the current picture and every other key
// survive the load and the next save, and a file that was not read completely is kept aside.
TEST_F(OptionsTest, BadInputCostsOneValue) {
  const QByteArray head =
      "[Main]\r\nHotkey=Q\r\n[Wallpaper]\r\nFillingPictureColor=255\r\n"
      "LastFileTitle=/pics/b\xc3\xa4r.jpg\r\nGammaPicture=250\r\n"
      "[Calendar]\r\nLastCalendarSkinName=Blue\r\n[CalendarSkin]\r\nYearTextColor=255\r\n";
  const QByteArray folders =
      "[DirectoryList]\r\nCount=2\r\nTitle0=/home/\xc3\xbc/One\r\nActive0=TRUE\r\n"
      "Recurs0=FALSE\r\nTitle1=/srv/Two\r\nActive1=FALSE\r\nRecurs1=TRUE\r\n";
  const QByteArray good = head + folders;
  struct TCase {
    const char* Name;
    QByteArray Content;
    bool Incomplete;  // reported and kept aside
  };
  const QList<TCase> cases = {
      {"bad colour in [Wallpaper]",
       QByteArray(good).replace("FillingPictureColor=255", "FillingPictureColor=reddish"), true},
      {"bad colour in [CalendarSkin]",
       QByteArray(good).replace("YearTextColor=255", "YearTextColor=bluish"), true},
      {"count that is not a number", QByteArray(good).replace("Count=2", "Count=two"), true},
      {"count far too large", QByteArray(good).replace("Count=2", "Count=1000000"), true},
      {"negative count", QByteArray(good).replace("Count=2", "Count=-1"), true},
      {"100 KB of text", QByteArray(good).replace("Blue", QByteArray(100 * 1024, 'b')), true},
      {"truncated in a line", good.left(good.size() - 4), false},
      {"unknown arrangement", good + "[Monitors]\r\nArrangement=Sideways\r\n", true},
      {"one Latin-1 byte",
       QByteArray(good).replace("Blue",
                                "Bl\xfc"
                                "e"),
       true},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    const QString path = Path("Backdropper.ini");
    QFile::remove(path + ".bad");
    WriteFile(path, test.Content);
    Answerer.Texts.clear();
    {
      TMainForm form;
      form.CreateOptionsList(path);
      form.OptionsList->Load(0);
      EXPECT_EQ(Answerer.Texts.size(), test.Incomplete ? 1 : 0);
      ASSERT_TRUE(form.OptionsList->Save(false, 0));
    }
    EXPECT_EQ(QFile::exists(path + ".bad"), test.Incomplete);
    if (test.Incomplete) {
      QFile copy(path + ".bad");
      ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
      EXPECT_EQ(copy.readAll(), test.Content);
    }
    TMainForm after;
    after.CreateOptionsList(path);
    after.OptionsList->Load(0);
    ASSERT_EQ(after.DirectoryCount(), 2);
    EXPECT_EQ(after.DirectoryPath(0), QString::fromUtf8("/home/\u00fc/One"));
    EXPECT_EQ(after.DirectoryPath(1), QStringLiteral("/srv/Two"));
    EXPECT_TRUE(after.GetDirectoryActive(0));
    EXPECT_FALSE(after.GetDirectoryRecurs(0));
    EXPECT_FALSE(after.GetDirectoryActive(1));
    EXPECT_EQ(after.GetDirectoryRecurs(1), test.Incomplete) << "cut off: TR reads as false";
    EXPECT_EQ(after.LastFileTitle, QString::fromUtf8("/pics/b\u00e4r.jpg"));
    EXPECT_EQ(after.HotkeyComboBox->currentText(), QStringLiteral("Q"));
    EXPECT_EQ(after.GammaPictureComboBox->currentText(), QStringLiteral("250"));
    const bool colourBad = QByteArray(test.Name).contains("[Wallpaper]");
    EXPECT_EQ(after.FillingPictureColorPanel->Color(), colourBad ? 0 : 255);
    const bool skinBad = QByteArray(test.Name).contains("[CalendarSkin]");
    EXPECT_EQ(after.CalendarYearTextColorPanel->Color() == 255, !skinBad);
  }
}

}  // namespace
