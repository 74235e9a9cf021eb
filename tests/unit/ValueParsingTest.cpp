#include <gtest/gtest.h>

#include <QLocale>

#include "Error/Error.h"
#include "ValueParsing/ValueParsing.h"

namespace {

bool Int(const char* text, int32_t& value) {
  return TryTextToInt(QString::fromUtf8(text), value);
}

}  // namespace

TEST(IntegerText, AcceptedSpellings) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {
      {"0", 0},
      {"42", 42},
      {"+42", 42},
      {"-5", -5},
      {"  -5", -5},
      {"007", 7},
      {"$10", 16},
      {"x10", 16},
      {"X1f", 31},
      {"0x10", 16},
      {"0XfF", 255},
      {" $10", 16},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"$000000000001", 1},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"-0", 0},
  };
  for (const auto& c : cases) {
    int32_t value = 12345;
    EXPECT_TRUE(Int(c.text, value)) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(IntegerText, RejectedSpellingsKeepTheValue) {
  for (const char* text : {"",
                           " ",
                           "-",
                           "+",
                           "$",
                           "0x",
                           "x",
                           "12 ",
                           "1 2",
                           "12a",
                           "abc",
                           "2147483648",
                           "-2147483649",
                           "$100000000",
                           "-$10",
                           "+0x10",
                           "$-1",
                           "0x 1",
                           "\t5",
                           "1.5",
                           "1e3",
                           "99999999999999999999",
                           "\xd9\xa3" /* Arabic-Indic three */,
                           "\xef\xbc\x95" /* full-width five */}) {
    int32_t value = 12345;
    EXPECT_FALSE(Int(text, value)) << text;
    EXPECT_EQ(value, 12345) << text;
  }
}

TEST(ColorText, EveryForm) {
  const struct {
    const char* text;
    int32_t color;
  } cases[] = {
      {"", 0},
      {"teal", 0x828200},
      {"TEAL", 0x828200},
      {"cream yellow", 0x5AC8FF},
      {"clRed", 0x0000FF},
      {"CLRED", 0x0000FF},
      {"clWhite", 0xFFFFFF},
      {"clNavy", 0x800000},
      {"clScrollBar", static_cast<int32_t>(0x80000000)},
      {"clbtnface", static_cast<int32_t>(0x8000000F)},
      {"clInfoBk", static_cast<int32_t>(0x80000018)},
      {"clNone", 0x1FFFFFFF},
      {"255", 255},
      {"$FF", 255},
      {"-16777201", -16777201},
      {"536870911", 0x1FFFFFFF},
      // Stock names win over the toolkit's: "Lime" is a stock colour too.
      {"Lime", 0x00FF00},
      {"Red", 210},
  };
  for (const auto& c : cases) {
    int32_t color = 12345;
    EXPECT_TRUE(TryTextToColor(QString::fromUtf8(c.text), color)) << c.text;
    EXPECT_EQ(color, c.color) << c.text;
    EXPECT_EQ(TextToColor(QString::fromUtf8(c.text)), c.color) << c.text;
  }
}

TEST(ColorText, BadTextFailsOrThrowsALocatedError) {
  for (const char* text : {"reddish", "clRedd", "cl", "Teal ", " teal", "#FF0000", "12 "}) {
    int32_t color = 12345;
    EXPECT_FALSE(TryTextToColor(QString::fromUtf8(text), color)) << text;
    EXPECT_EQ(color, 12345);
    EXPECT_THROW(TextToColor(QString::fromUtf8(text)), TLocatedError) << text;
  }
}

TEST(IntFromText, LimitsAndDefaults) {
  FunStatContext.Reset(fsPerfect);
  EXPECT_EQ(GetIntFromText(QString(), 1, 10, 5), 5);
  // The default is returned even when it lies outside the limits.
  EXPECT_EQ(GetIntFromText(QString(), 1, 10, 50), 50);
  EXPECT_EQ(GetIntFromText(QStringLiteral("12"), 1, 10, 5), 5);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(GetIntFromText(QStringLiteral("10"), 1, 10, 5), 10);
  EXPECT_EQ(GetIntFromText(QStringLiteral("$A"), 1, 10, 5), 10);
  EXPECT_EQ(TextToInt(QStringLiteral("-7")), -7);
  EXPECT_EQ(TextToInt(QStringLiteral("seven")), 0);
}

TEST(IntFromText, BadTextLeavesALocatedError) {
  FunStatContext.Reset(fsPerfect);
  EXPECT_EQ(GetIntFromText(QStringLiteral("abc"), 1, 10, 5), 5);
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.Function, QStringLiteral("GetIntFromText"));
  EXPECT_TRUE(FunStatContext.Description.startsWith(QStringLiteral("Unhandled exception: ")))
      << FunStatContext.Description.toStdString();
  EXPECT_TRUE(FunStatContext.Description.contains(QStringLiteral("\"abc\"")));
  EXPECT_EQ(FunStatContext.Parameter1, QStringLiteral("ValueParsing.cpp"));
  EXPECT_GT(FunStatContext.Parameter2.toInt(), 0);
  // A good conversion afterwards leaves Perfect again.
  EXPECT_EQ(GetIntFromText(QStringLiteral("3"), 1, 10, 5), 3);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST(IntFromText, CheckReportsWhetherTheTextWasTaken) {
  int32_t value = -1;
  EXPECT_FALSE(CheckIntFromText(QStringLiteral("0"), 1, 10, 3, value));
  EXPECT_EQ(value, 3);
  EXPECT_TRUE(CheckIntFromText(QStringLiteral("7"), 1, 10, 3, value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(CheckIntFromText(QString(), 1, 10, 3, value));
  EXPECT_EQ(value, 3);
  EXPECT_FALSE(CheckIntFromText(QString(), 1, 10, 30, value));
  EXPECT_EQ(value, 30);
  FunStatContext.Reset(fsPerfect);
  EXPECT_FALSE(CheckIntFromText(QStringLiteral("7x"), 1, 10, 3, value));
  EXPECT_EQ(value, 3);
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.Function, QStringLiteral("CheckIntFromText"));
}

TEST(BoolText, OnlyExactUpperCaseTrue) {
  EXPECT_EQ(BoolToText(true), QStringLiteral("TRUE"));
  EXPECT_EQ(BoolToText(false), QStringLiteral("FALSE"));
  EXPECT_TRUE(TextToBool(QStringLiteral("TRUE")));
  for (const char* text : {"true", "True", "", "TRUE ", "1", "FALSE"})
    EXPECT_FALSE(TextToBool(QString::fromLatin1(text))) << text;
}

TEST(GroupedText, LocaleSeparatorEveryThreeDigitsNoDecimals) {
  const QLocale locale = QLocale::system();
  const QString sep = locale.groupSeparator();
  ASSERT_FALSE(sep.isEmpty());
  EXPECT_EQ(IntToGroupedText(0), locale.zeroDigit());
  EXPECT_EQ(IntToGroupedText(999), locale.toString(999));
  EXPECT_EQ(IntToGroupedText(1234567),
            QStringLiteral("1") + sep + QStringLiteral("234") + sep + QStringLiteral("567"));
  EXPECT_EQ(IntToGroupedText(-1000),
            locale.negativeSign() + QStringLiteral("1") + sep + QStringLiteral("000"));
  EXPECT_FALSE(IntToGroupedText(100000).contains(locale.decimalPoint()));
}
