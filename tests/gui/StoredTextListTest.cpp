// Settings files: load and save with their events and failures, and the typed helpers.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <sys/stat.h>

#include "ColorPanel.h"
#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "ModalAnswerer.h"
#include "ReadOverride.h"
#include "StoredTextList/StoredControls.h"
#include "StoredTextList/StoredTextList.h"
#include "TestEnvironment.h"

namespace {

QString WriteFile(const QString& name, const QByteArray& content) {
  const QString path = TestRoot() + QLatin1Char('/') + name;
  QFile file(path);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write(content);
  return path;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

class StoredTextListTest : public ::testing::Test {
 protected:
  void SetUp() override { ErrorForm = &Form; }
  void TearDown() override { ErrorForm = nullptr; }
  // Closes every report with Okay and remembers it.
  TModalAnswerer Answerer{[](QWidget* w) { TModalAnswerer::ClickButton(w, "&Okay"); }};
  TErrorForm Form;
};

}  // namespace

TEST_F(StoredTextListTest, LoadRunsOnLoadWithArgumentAndSetsLoading) {
  const QString path = WriteFile("a.ini", "[Main]\nAutorun=TRUE\n");
  TStoredTextList list(path);
  bool wasLoading = false;
  uint8_t seen = 0;
  list.OnLoad = [&](TStoredTextList& l, uint8_t argument) {
    wasLoading = l.Loading;
    seen = argument;
  };
  EXPECT_TRUE(list.Load(7));
  EXPECT_TRUE(wasLoading);
  EXPECT_FALSE(list.Loading);
  EXPECT_EQ(seen, 7);
  EXPECT_TRUE(Answerer.Titles.isEmpty());
}

TEST_F(StoredTextListTest, ABadValueCostsItsKeyOnlyAndTheOriginalIsKeptAside) {
  const QByteArray original = "[W]\nA=TRUE\nFill=reddish\nB=TRUE\nN=1x\nName=K\xE4se\n";
  const QString path = WriteFile("b.ini", original);
  TStoredTextList list(path);
  QCheckBox a, b;
  int32_t color = 5, number = 3;
  QString name;
  list.OnLoad = [&](TStoredTextList& l, uint8_t) {
    ReadCheckBox(l, "W", "A", &a);
    l.ReadColor("W", "Fill", color);
    ReadCheckBox(l, "W", "B", &b);
    l.ReadInt("W", "N", number, 0, 9);
    l.ReadText("W", "Name", false, 260, name);
  };
  EXPECT_FALSE(list.Load());
  EXPECT_TRUE(a.isChecked());
  EXPECT_TRUE(b.isChecked()) << "keys after a bad one are still read";
  EXPECT_EQ(color, 5);
  EXPECT_EQ(number, 3);
  EXPECT_EQ(name, QString::fromUtf8("K\u00e4se")) << "a line that is not UTF-8 is Latin-1";
  ASSERT_EQ(Answerer.Texts.size(), 1) << "one report for the whole file";
  const QString report = Answerer.Texts[0];
  EXPECT_TRUE(report.startsWith("DESCRIPTION\r\nFailed to load file.\r\n"));
  for (const char* expected :
       {"[W] Fill: \"reddish\" is not a valid color value.",
        "[W] N: \"1x\" is not a valid integer value.", "Line 6 is not UTF-8 text", ".bad\""})
    EXPECT_TRUE(report.contains(QLatin1String(expected))) << expected;
  EXPECT_EQ(ReadFile(path + ".bad"), original);

  // The next save writes the file over; the copy stays as it was.
  list.OnSave = [](TStoredTextList& l, uint8_t) { l.WriteInt("W", "N", 4); };
  ASSERT_TRUE(list.Save(false));
  EXPECT_EQ(ReadFile(path + ".bad"), original);
  EXPECT_TRUE(ReadFile(path).contains("N=4\r\n"));
}

TEST_F(StoredTextListTest, ASettingsFileReachedThroughALinkIsKeptAsItWas) {
  const QByteArray original = "[W]\nFill=reddish\n";
  const QString real = WriteFile("real.ini", original);
  const QString path = TestRoot() + "/linked.ini";
  ASSERT_TRUE(QFile::link(real, path));
  TStoredTextList list(path);
  list.OnLoad = [](TStoredTextList& l, uint8_t) {
    int32_t color = 0;
    l.ReadColor("W", "Fill", color);
  };
  list.OnSave = [](TStoredTextList& l, uint8_t) { l.WriteInt("W", "Fill", 0); };
  EXPECT_FALSE(list.Load());
  ASSERT_TRUE(list.Save(false));
  EXPECT_TRUE(QFileInfo(path).isSymLink()) << "the link stays";
  EXPECT_EQ(ReadFile(real), QByteArray("[W]\r\nFill=0\r\n\r\n"));
  EXPECT_EQ(ReadFile(path + ".bad"), original);
}

TEST_F(StoredTextListTest, AnIncompleteFileThatCannotBeKeptAsideIsNotWrittenOver) {
  const QByteArray original = "[W]\nFill=reddish\n";
  const QString path = WriteFile("c.ini", original);
  // A folder where the copy must go makes the copy fail.
  ASSERT_TRUE(QDir().mkpath(path + ".bad/x"));
  TStoredTextList list(path);
  list.OnLoad = [](TStoredTextList& l, uint8_t) {
    int32_t color = 0;
    l.ReadColor("W", "Fill", color);
  };
  list.OnSave = [](TStoredTextList& l, uint8_t) { l.WriteInt("W", "Fill", 0); };
  EXPECT_FALSE(list.Load());
  ASSERT_EQ(Answerer.Texts.size(), 1);
  EXPECT_TRUE(Answerer.Texts[0].contains("it will not be written over"));
  EXPECT_FALSE(list.Save(false));
  EXPECT_EQ(ReadFile(path), original);
  ASSERT_EQ(Answerer.Texts.size(), 2);
  EXPECT_TRUE(Answerer.Texts[1].startsWith("DESCRIPTION\r\nFailed to save file.\r\n"));

  // Once the copy can be made, the save goes ahead.
  ASSERT_TRUE(QDir(path + ".bad").removeRecursively());
  EXPECT_TRUE(list.Save(false));
  EXPECT_EQ(ReadFile(path + ".bad"), original);
  EXPECT_EQ(ReadFile(path), QByteArray("[W]\r\nFill=0\r\n\r\n"));
}

// A file that exists but cannot be read changes nothing and is never written over while that
// lasts: reported once, with its name and the cause.
TEST_F(StoredTextListTest, AFileThatCannotBeReadChangesNothingAndIsNotWrittenOver) {
  const QByteArray original = "[W]\r\nN=7\r\n\r\n";
  const QString locked = WriteFile("locked.ini", original);
  ASSERT_TRUE(QFile::setPermissions(locked, {}));
  const QString folder = TestRoot() + "/folder.ini";
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString vanished = TestRoot() + "/vanished.wps";
  struct {
    QString Path;
    bool MustExist;
    const char* Cause;
  } const cases[] = {{locked, false, "Permission denied"},
                     {folder, false, "Is a directory"},
                     {vanished, true, "does not exist"}};
  TWithoutReadOverride asAUser;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Path.toStdString());
    Answerer.Texts.clear();
    TStoredTextList list(c.Path);
    list.MustExist = c.MustExist;
    int32_t n = 3;
    list.OnLoad = [&](TStoredTextList& l, uint8_t) { l.ReadInt("W", "N", n, 0, 9); };
    list.OnSave = [&](TStoredTextList& l, uint8_t) { l.WriteInt("W", "N", n); };
    EXPECT_FALSE(list.Load());
    EXPECT_FALSE(list.ReadByLastLoad);
    EXPECT_EQ(n, 3) << "the value stays";
    ASSERT_EQ(Answerer.Texts.size(), 1);
    EXPECT_TRUE(Answerer.Texts[0].contains(c.Path)) << Answerer.Texts[0].toStdString();
    EXPECT_TRUE(Answerer.Texts[0].contains(c.Cause)) << Answerer.Texts[0].toStdString();
    if (c.MustExist) continue;
    EXPECT_FALSE(list.Save(false));
    EXPECT_EQ(list.SaveChanges(), TStoredTextList::TSaveOutcome::Withheld);
    EXPECT_EQ(Answerer.Texts.size(), 1) << "told once";
    EXPECT_FALSE(QFileInfo::exists(c.Path + ".bad"));
  }
  EXPECT_FALSE(QFileInfo::exists(vanished));
  EXPECT_TRUE(QFileInfo(folder).isDir());
  struct stat info {};
  ASSERT_EQ(::stat(QFile::encodeName(locked).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0u);

  // Readable again, the file that was never read is kept aside before it is written.
  ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner));
  TStoredTextList list(locked);
  ASSERT_TRUE(QFile::setPermissions(locked, {}));
  EXPECT_FALSE(list.Load());
  ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner));
  list.OnSave = [](TStoredTextList& l, uint8_t) { l.WriteInt("W", "N", 1); };
  EXPECT_EQ(list.SaveChanges(), TStoredTextList::TSaveOutcome::Written);
  EXPECT_EQ(ReadFile(locked + ".bad"), original);
  EXPECT_EQ(ReadFile(locked), QByteArray("[W]\r\nN=1\r\n\r\n"));
}

TEST_F(StoredTextListTest, SaveChangesWritesOnlyWhatDiffersFromTheFile) {
  const QString path = WriteFile("changes.ini", "[W]\r\nN=1\r\n\r\n");
  TStoredTextList list(path);
  int32_t n = 0;
  list.OnLoad = [&](TStoredTextList& l, uint8_t) { l.ReadInt("W", "N", n, 0, 9); };
  list.OnSave = [&](TStoredTextList& l, uint8_t) {
    l.Clear();
    l.WriteInt("W", "N", n);
  };
  ASSERT_TRUE(list.Load());
  const auto inode = [&] {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_ino;
  };
  const auto before = inode();
  EXPECT_EQ(list.SaveChanges(), TStoredTextList::TSaveOutcome::Unchanged);
  EXPECT_EQ(inode(), before) << "the text read is the text it would write";
  n = 2;
  EXPECT_EQ(list.SaveChanges(), TStoredTextList::TSaveOutcome::Written);
  EXPECT_EQ(ReadFile(path), QByteArray("[W]\r\nN=2\r\n\r\n"));
  EXPECT_EQ(list.SaveChanges(), TStoredTextList::TSaveOutcome::Unchanged);

  // A failure is left to the caller, without a report window.
  list.FileName = TestRoot() + "/changes.ini/x";
  EXPECT_EQ(list.SaveChanges(), TStoredTextList::TSaveOutcome::Failed);
  EXPECT_TRUE(FunStatContext.Failed());
  FunStatContext.Reset(fsPerfect);
  EXPECT_TRUE(Answerer.Texts.isEmpty());
}

TEST_F(StoredTextListTest, TextAfterANulIsLostSoTheFileIsIncomplete) {
  const QByteArray content("[W]\nA=1\n\0B=2\n", 14);
  const QString path = WriteFile("d.ini", content);
  TStoredTextList list(path);
  int32_t a = 0;
  list.OnLoad = [&](TStoredTextList& l, uint8_t) { l.ReadInt("W", "A", a, 0, 9); };
  EXPECT_FALSE(list.Load());
  EXPECT_EQ(a, 1);
  EXPECT_EQ(ReadFile(path + ".bad"), content);
  ASSERT_EQ(Answerer.Texts.size(), 1);
  EXPECT_TRUE(Answerer.Texts[0].contains("The text after a NUL byte was dropped."));
}

TEST_F(StoredTextListTest, TypedReadersFollowTheirDefaultAndRangeRules) {
  const QString path =
      WriteFile("c.ini",
                "[Main]\nAutorun=true\nEmpty=\nCount=0x10\nHex=$10\nNeg=-5\nTrail=5 \n"
                "Red=clRed\nTeal=tEAL\nComma=0,7\nReal=0.15\nText=\nLong=abc\n");
  TStoredTextList list(path);
  ASSERT_TRUE(list.Load());

  bool flag = true;
  list.ReadBool("Main", "Autorun", flag);
  EXPECT_FALSE(flag);
  flag = true;
  list.ReadBool("Main", "Empty", flag);
  EXPECT_FALSE(flag);
  flag = true;
  list.ReadBool("Main", "Missing", flag);
  EXPECT_TRUE(flag);

  int32_t n = 3;
  list.ReadInt("Main", "Count", n, 0, 100);
  EXPECT_EQ(n, 16);
  n = 3;
  list.ReadInt("Main", "Hex", n, 0, 100);
  EXPECT_EQ(n, 16);
  n = 3;
  list.ReadInt("Main", "Neg", n, 0, 100);
  EXPECT_EQ(n, 3);
  list.ReadInt("Main", "Trail", n, 0, 100);
  EXPECT_EQ(n, 3);

  int32_t color = 1;
  list.ReadColor("Main", "Red", color);
  EXPECT_EQ(color, 0x0000FF);
  list.ReadColor("Main", "Teal", color);
  EXPECT_EQ(color, 0 | (130 << 8) | (130 << 16));
  color = 7;
  list.ReadColor("Main", "Missing", color);
  EXPECT_EQ(color, 7);
  list.ReadColor("Main", "Empty", color);
  EXPECT_EQ(color, 0);

  QLocale::setDefault(QLocale::c());
  double real = 0.5;
  list.ReadReal("Main", "Comma", real);
  EXPECT_EQ(real, 0.5);
  list.ReadReal("Main", "Real", real);
  EXPECT_EQ(real, 0.15);

  QString text = "keep";
  list.ReadText("Main", "Text", false, 260, text);
  EXPECT_EQ(text, "keep");
  list.ReadText("Main", "Long", false, 2, text);
  EXPECT_EQ(text, "keep");
  list.ReadText("Main", "Long", false, 3, text);
  EXPECT_EQ(text, "abc");
}

TEST_F(StoredTextListTest, RealsUseTheUsersDecimalSeparatorBothWays) {
  QLocale::setDefault(QLocale(QLocale::German));
  TStoredTextList list(TestRoot() + "/real.ini");
  list.WriteReal("S", "R", 39021.5738425926);
  EXPECT_EQ(list.Store->ReadString("S", "R", {}), "39021,5738425926");
  double value = 0;
  list.ReadReal("S", "R", value);
  EXPECT_EQ(value, 39021.5738425926);
  list.WriteText("S", "P", "0.7");
  list.ReadReal("S", "P", value);
  EXPECT_EQ(value, 39021.5738425926) << "a point under a comma locale is not a real";
  QLocale::setDefault(QLocale::c());
}

TEST_F(StoredTextListTest, ComboBoxesListOnlySelectFirstItemForUnknownText) {
  const QString path = WriteFile("d.ini", "[Main]\nHotkey=1\nMargin=15\nFree=abc\nBlank=\n");
  TStoredTextList list(path);
  ASSERT_TRUE(list.Load());
  QComboBox hotkey, margin, free, blank;
  hotkey.addItems({"A", "B", "W"});
  hotkey.setCurrentIndex(2);
  margin.addItems({"0", "5", "10", "15"});
  free.setEditable(true);
  blank.addItems({"0", "20"});
  ReadComboBox(list, "Main", "Hotkey", "W", &hotkey);
  EXPECT_EQ(hotkey.currentText(), "A");
  ReadComboBox(list, "Main", "Margin", "20", &margin);
  EXPECT_EQ(margin.currentText(), "15");
  ReadComboBox(list, "Main", "Free", "x", &free);
  EXPECT_EQ(free.currentText(), "abc");
  ReadComboBox(list, "Main", "Blank", "20", &blank);
  EXPECT_EQ(blank.currentText(), "20") << "an empty value becomes the default";
}

TEST_F(StoredTextListTest, PanelColourResetsToItsDefaultWhenAbsent) {
  TStoredTextList list(TestRoot() + "/none.ini");
  ASSERT_TRUE(list.Load());
  TColorPanel panel;
  panel.SetDefaultColor(0x00FF00);
  panel.SetColor(0x123456);
  ReadPanelColor(list, "S", "Missing", &panel);
  EXPECT_EQ(panel.Color(), 0x00FF00);
}

TEST_F(StoredTextListTest, RelativeRectIsClampedIntoTheDesktop) {
  const QString path =
      WriteFile("e.ini", "[C]\nL=0.9\nT=-1\nW=1.5\nH=-0.2\n[D]\nL=0.95\nT=0.5\nW=0.2\nH=0.1\n");
  TStoredTextList list(path);
  ASSERT_TRUE(list.Load());
  QLocale::setDefault(QLocale::c());
  double l = 0.7, t = 0.15, w = 0.1, h = 0.3;
  list.ReadRelativeRect("C", "L", "T", "W", "H", l, t, w, h);
  EXPECT_EQ(w, 1.0);
  EXPECT_EQ(l, 0.0);
  EXPECT_EQ(h, 0.3) << "a non-positive height keeps the previous one";
  EXPECT_EQ(t, 0.0);
  list.ReadRelativeRect("D", "L", "T", "W", "H", l, t, w, h);
  EXPECT_DOUBLE_EQ(l, 0.8);
  EXPECT_EQ(t, 0.5);
}

TEST_F(StoredTextListTest, WindowPositionBeyondNinetyPercentGoesToWorkAreaEdge) {
  TStoredTextList list(TestRoot() + "/pos.ini");
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  list.WriteInt("Main", "XPos", area.left() + static_cast<int>(area.width() * 0.9) + 1);
  list.WriteInt("Main", "YPos", area.top() + 10);
  int x = 354, y = 122;
  ReadPosition(list, "Main", "XPos", "YPos", x, y);
  EXPECT_EQ(x, area.left());
  EXPECT_EQ(y, area.top() + 10);
}

TEST_F(StoredTextListTest, SaveWritesCrLfDropsCommentsAndKeepsUnknownLinesWithoutClear) {
  const QString path = WriteFile("skin.wps", "; a comment\n[CalendarSkin]\nfree line\nA=1\n");
  TStoredTextList list(path);
  ASSERT_TRUE(list.Load());
  list.OnSave = [](TStoredTextList& l, uint8_t) { l.WriteInt("CalendarSkin", "A", 2); };
  ASSERT_TRUE(list.Save(false));
  EXPECT_EQ(ReadFile(path), QByteArray("[CalendarSkin]\r\nfree line\r\nA=2\r\n\r\n"));
  list.OnSave = [](TStoredTextList& l, uint8_t) {
    l.Clear();
    l.WriteInt("Main", "B", 1);
  };
  ASSERT_TRUE(list.Save(false));
  EXPECT_EQ(ReadFile(path), QByteArray("[Main]\r\nB=1\r\n\r\n"));
}

TEST_F(StoredTextListTest, SaveOverReadOnlyFileAndDeclinedOverwrite) {
  const QString path = WriteFile("ro.ini", "[A]\nx=1\n");
  QFile::setPermissions(path, QFile::ReadOwner);
  TStoredTextList list(path);
  ASSERT_TRUE(list.Load());
  list.WriteInt("A", "x", 2);
  EXPECT_TRUE(list.Save(false));
  EXPECT_EQ(ReadFile(path), QByteArray("[A]\r\nx=2\r\n\r\n"));

  TModalAnswerer no([](QWidget* w) { TModalAnswerer::ClickButton(w, "&No"); });
  list.WriteInt("A", "x", 3);
  EXPECT_FALSE(list.Save(true));
  EXPECT_EQ(ReadFile(path), QByteArray("[A]\r\nx=2\r\n\r\n"));
  ASSERT_EQ(no.Texts.size(), 1);
  EXPECT_EQ(no.Texts[0], "File \"" + path + "\"already exists.\nOverwrite it?");
}

TEST_F(StoredTextListTest, FailedSaveReportsAndKeepsTheStore) {
  // A parent that is a file makes every write fail, for root too.
  const QString parent = WriteFile("plainfile", "x");
  TStoredTextList list(parent + "/Backdropper.ini");
  ASSERT_TRUE(list.Load());
  list.WriteInt("Old", "kept", 2);
  EXPECT_FALSE(list.Save(false));
  EXPECT_EQ(ReadFile(parent), QByteArray("x"));
  ASSERT_FALSE(Answerer.Texts.isEmpty());
  EXPECT_TRUE(Answerer.Texts.last().startsWith("DESCRIPTION\r\nFailed to save file.\r\n"));
  EXPECT_EQ(list.Store->ReadString("Old", "kept", {}), "2") << "the store survives";

  TStoredTextList unnamed;
  EXPECT_FALSE(unnamed.Save(false));
  EXPECT_EQ(Answerer.Texts.size(), 2);
}

// Files that are not settings files still give what can be read from them, quickly, and are
// kept aside whole before anything writes over them.
TEST_F(StoredTextListTest, BinaryHugeAndLongLineFilesGiveWhatCanBeRead) {
  QByteArray content = "[Main]\r\nAutorun=TRUE\r\nLong=" + QByteArray(4 << 20, 'x') + "\r\n";
  for (int i = 0; i < 65536; ++i) content += static_cast<char>(1 + (i * 7919) % 255);
  content += "\r\n[Other]\r\nKey=after the garbage\r\n";
  const QString path = WriteFile("binary.ini", content);
  {
    // Far larger than any settings file: only its head is read (the rest is a hole of zeros).
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(qint64(3) << 30));
  }
  TStoredTextList list(path);
  EXPECT_FALSE(list.Load(0));
  bool autorun = false;
  list.ReadBool("Main", "Autorun", autorun);
  EXPECT_TRUE(autorun);
  EXPECT_EQ(list.Store->ReadString("Main", "Long", {}).size(), 4 << 20);
  EXPECT_EQ(list.Store->ReadString("Other", "Key", {}), "after the garbage");
  ASSERT_EQ(Answerer.Texts.size(), 1);
  EXPECT_TRUE(Answerer.Texts[0].contains("Only the first 67108864 bytes were read."));
  EXPECT_EQ(QFileInfo(path + ".bad").size(), qint64(3) << 30);
  QFile::remove(path);
  QFile::remove(path + ".bad");
}
