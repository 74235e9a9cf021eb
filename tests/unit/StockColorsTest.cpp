#include <gtest/gtest.h>

#include <set>
#include <string>

#include "StockColors.h"

namespace {
constexpr int32_t Rgb(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}
}  // namespace

TEST(StockColors, TableHasUniqueShortNamesAndColours) {
  std::set<std::string> names;
  std::set<int32_t> colours;
  for (const TStockColor& stock : CStockColors) {
    EXPECT_LE(std::string(stock.Name).size(), 31u) << stock.Name;
    EXPECT_EQ(stock.Color & 0xFF000000, 0) << stock.Name;
    names.insert(stock.Name);
    colours.insert(stock.Color);
  }
  EXPECT_EQ(CStockColors.size(), 133u);
  EXPECT_EQ(names.size(), 133u);
  EXPECT_EQ(colours.size(), 133u);
}

TEST(StockColors, IndexedAccessFollowsTableOrder) {
  EXPECT_STREQ(CStockColors[0].Name, "Black");
  EXPECT_STREQ(CStockColors[7].Name, "Teal");
  EXPECT_EQ(CStockColors[104].Color, Rgb(255, 200, 90));
  EXPECT_STREQ(CStockColors[104].Name, "Cream Yellow");
  EXPECT_STREQ(CStockColors[132].Name, "Light Pastel Green");
  EXPECT_EQ(CStockColors[132].Color, Rgb(200, 255, 200));
  EXPECT_THROW(CStockColors.at(133), std::out_of_range);
}

TEST(StockColors, FindIgnoresAsciiCaseOnly) {
  for (const char* name : {"teal", "TEAL", "Teal"}) {
    int32_t colour = -1;
    ASSERT_TRUE(FindStockColor(QString::fromLatin1(name), colour)) << name;
    EXPECT_EQ(colour, Rgb(0, 130, 130));
  }
  int32_t colour = -1;
  EXPECT_FALSE(FindStockColor(QStringLiteral("Teal "), colour));
  EXPECT_FALSE(FindStockColor(QString(), colour));
  // The long s folds to "s" under Unicode rules; stored names must not depend on them.
  EXPECT_FALSE(FindStockColor(QStringLiteral("\u017Filver"), colour));
  EXPECT_EQ(colour, -1);

  ASSERT_TRUE(FindStockColor(QStringLiteral("Lime"), colour));
  EXPECT_EQ(colour, Rgb(0, 255, 0));
  ASSERT_TRUE(FindStockColor(QStringLiteral("light red"), colour));
  EXPECT_EQ(colour, Rgb(255, 0, 0));
  ASSERT_TRUE(FindStockColor(QStringLiteral("Red"), colour));
  EXPECT_EQ(colour, Rgb(210, 0, 0));
}

TEST(StockColors, NameOfColour) {
  EXPECT_EQ(StockColorName(Rgb(255, 0, 0)), QStringLiteral("Light Red"));
  EXPECT_EQ(StockColorName(Rgb(0, 130, 130)), QStringLiteral("Teal"));
  EXPECT_EQ(StockColorName(Rgb(1, 2, 3)), QString());
  EXPECT_EQ(StockColorName(0x1FFFFFFF), QString());
}
