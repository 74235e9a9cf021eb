// The settings file syntax: reading, look-up and writing rules.
#include <gtest/gtest.h>

#include "StoredTextList/MemIniFile.h"

namespace {
TMemIniFile Parsed(const QByteArray& text) {
  TMemIniFile ini;
  ini.Parse(text);
  return ini;
}
const QString Absent = QStringLiteral("<absent>");
}  // namespace

TEST(MemIniFile, LineBreaksNulCommentsAndLinesBeforeFirstHeader) {
  const TMemIniFile ini =
      Parsed("orphan=1\r\n[A]\rcr=1\nlf=2\r\n;comment=3\r\ncrlf=4\r\n\r\nlast=5\0hidden=6\r\n");
  ASSERT_EQ(ini.Sections.size(), 1);
  EXPECT_EQ(ini.Sections[0].Lines, QStringList({"cr=1", "lf=2", "crlf=4", "last=5"}));
  EXPECT_EQ(ini.ReadString("A", "orphan", Absent), Absent);
  EXPECT_EQ(ini.ReadString("a", "LAST", Absent), "5");
  EXPECT_EQ(ini.ReadString("A", ";comment", Absent), Absent);
}

TEST(MemIniFile, NothingIsTrimmedAndValuesKeepEverythingAfterFirstEquals) {
  const TMemIniFile ini = Parsed("[ S ]\nkey = spaced\nk=a=b \nempty=\n");
  EXPECT_EQ(ini.ReadString("S", "k", Absent), Absent) << "section name keeps its blanks";
  EXPECT_EQ(ini.ReadString(" S ", "key", Absent), Absent);
  EXPECT_EQ(ini.ReadString(" S ", "key ", Absent), " spaced");
  EXPECT_EQ(ini.ReadString(" S ", "k", Absent), "a=b ");
  EXPECT_EQ(ini.ReadString(" S ", "empty", Absent), "") << "present but empty is not the default";
}

TEST(MemIniFile, SectionsDifferingInCaseAreOneAndDuplicatesAreUnreachable) {
  const TMemIniFile ini = Parsed("[Main]\nx=1\n[MAIN]\nx=2\ny=3\n");
  EXPECT_EQ(ini.ReadString("main", "x", Absent), "1");
  EXPECT_EQ(ini.ReadString("Main", "y", Absent), Absent);
}

TEST(MemIniFile, AByteOrderMarkAtTheStartOnlyIsSkipped) {
  const TMemIniFile ini = Parsed(
      "\xEF\xBB\xBF[First]\na=1\n[Second]\nb=\xEF\xBB\xBF"
      "2\n");
  EXPECT_EQ(ini.ReadString("First", "a", Absent), "1");
  EXPECT_EQ(ini.ReadString("Second", "b", Absent), QChar(0xFEFF) + QString("2"))
      << "inside the text it is a character like any other";
  EXPECT_TRUE(Parsed("\xEF\xBB\xBF").Sections.isEmpty());
}

TEST(MemIniFile, WritingReplacesFirstKeyKeepsNewSpellingAndAppendsSections) {
  TMemIniFile ini = Parsed("[A]\nkey=1\nfree text\nKEY=2\n");
  ini.WriteString("a", "Key", "9");
  ini.WriteString("B", "n", "v");
  EXPECT_EQ(ini.Serialize(), QByteArray("[A]\r\nKey=9\r\nfree text\r\nKEY=2\r\n\r\n"
                                        "[B]\r\nn=v\r\n\r\n"));
}

TEST(MemIniFile, SerializedTextReadsBackUnchanged) {
  TMemIniFile ini;
  ini.WriteString("Wallpaper", "LastFileTitle", QString::fromUtf8("/home/ü/Bilder/a=b.jpg"));
  ini.WriteString("Wallpaper", "Broken", "line\r\nbreak");
  const TMemIniFile again = Parsed(ini.Serialize());
  EXPECT_EQ(again.ReadString("Wallpaper", "LastFileTitle", Absent),
            QString::fromUtf8("/home/ü/Bilder/a=b.jpg"));
  EXPECT_EQ(again.Sections[0].Lines.size(), 2) << "a value never splits into stray lines";
}

TEST(MemIniFile, ALineThatIsNotUtf8IsLatin1AndSpoilsNoOtherLine) {
  TMemIniFile ini;
  const TMemIniFile::TParseNotes notes =
      ini.Parse("[A]\nname=K\xE4se\npath=/home/\xc3\xbc\nnext=\xe2\x82\xac\r\n");
  EXPECT_EQ(ini.ReadString("A", "name", Absent), QString::fromUtf8("K\u00e4se"));
  EXPECT_EQ(ini.ReadString("A", "path", Absent), QString::fromUtf8("/home/\u00fc"));
  EXPECT_EQ(ini.ReadString("A", "next", Absent), QString::fromUtf8("\u20ac"));
  EXPECT_EQ(notes.NonUtf8Lines, QList<int>{2});
  EXPECT_FALSE(notes.CutAtNul);
}
