// Favourites: the adding and deleting rules, the menu and the links of the General tab, the
// options section and its bad input, and a favourite whose file has gone.
#include <gtest/gtest.h>

#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>

#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "FavoritesDialog.h"
#include "File/File.h"
#include "LinkLabel.h"
#include "MainDialog/MainDialog.h"
#include "ModalAnswerer.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"
#include "StoredTextList/StoredTextList.h"

namespace {

QStringList Numbered(int from, int to) {
  QStringList names;
  for (int i = from; i <= to; ++i) names << QStringLiteral("/p/%1.png").arg(i);
  return names;
}

// Captions top to bottom, the bold default item in brackets.
QStringList Captions(QMenu* menu) {
  QStringList captions;
  for (QAction* action : menu->actions())
    captions << (action == menu->defaultAction() ? "[" + action->text() + "]" : action->text());
  return captions;
}

class FavoritesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ErrorForm = &Errors;
    Form.Updating = false;
  }
  void TearDown() override { ErrorForm = nullptr; }
  // Triggers the menu item captioned `caption`.
  void Choose(const QString& caption) {
    for (QAction* action : Form.Favorites->Menu()->actions())
      if (action->text() == caption) return action->trigger();
    ADD_FAILURE() << "no item " << caption;
  }
  TRecordedDesktop Desktop{"MATE"};
  TErrorForm Errors;
  TModalAnswerer Answerer{[](QWidget* w) {
    TModalAnswerer::ClickButton(w, "&Okay") || TModalAnswerer::ClickButton(w, "OK");
  }};
  TMainForm Form;
};

}  // namespace

TEST(FavoritesRules, AddingMovesToTheNewestAndDeletingKeepsTheOrder) {
  struct TCase {
    const char* Name;
    QStringList Steps;  // "+" adds, "-" deletes
    QStringList Expected;
  };
  QStringList twentyOne;
  for (const QString& name : Numbered(0, 20)) twentyOne << "+" + name;
  const QList<TCase> cases = {
      {"A, B, A", {"+/p/A.png", "+/p/B.png", "+/p/A.png"}, {"/p/B.png", "/p/A.png"}},
      {"letter case", {"+/p/A.png", "+/p/a.png"}, {"/p/A.png", "/p/a.png"}},
      {"newest again", {"+/p/A.png", "+/p/B.png", "+/p/B.png"}, {"/p/A.png", "/p/B.png"}},
      {"no file name", {"+", "+/p/", "+x:", "+/p/x:"}, {}},
      {"the oldest goes", twentyOne, Numbered(1, 20)},
      {"delete the newest", {"+/A.png", "+/B.png", "+/C.png", "-/C.png"}, {"/A.png", "/B.png"}},
      {"delete the only one", {"+/A.png", "-/A.png", "-/A.png"}, {}},
  };
  for (const TCase& test : cases) {
    TFavoritesDialog favorites;
    for (const QString& step : test.Steps) {
      if (step.startsWith('+'))
        favorites.AddFavorite(step.mid(1));
      else
        favorites.RemoveFavorite(step.mid(1));
    }
    EXPECT_EQ(favorites.FavoriteNames(), test.Expected) << test.Name;
  }
}

TEST_F(FavoritesTest, TheMenuListsNewestFirstUnderItsLinkAndTheHeaderDoesNothing) {
  Form.show();
  for (const char* name : {"/p/A.png", "/p/B.png", "/p/R&B.png", "/p/A.png"})
    Form.Favorites->AddFavorite(name);
  Form.LastFileTitle = "/p/current.png";
  Form.SetFavoriteWallpaperLabelClick();
  QPointer<QMenu> menu = Form.Favorites->Menu();
  ASSERT_TRUE(menu && menu->isVisible());
  EXPECT_EQ(Captions(menu),
            (QStringList{"[Set favorite wallpaper]", "/p/A.png", "/p/R&&B.png", "/p/B.png"}));
  const QWidget* anchor = Form.SetFavoriteWallpaperLabel;
  EXPECT_GE(menu->pos().y(), anchor->mapToGlobal(QPoint(0, anchor->height())).y());
  Choose("Set favorite wallpaper");
  EXPECT_EQ(Form.LastFileTitle, "/p/current.png");
  EXPECT_EQ(Form.Favorites->Count(), 3);

  Form.DeleteFavoriteLabelClick();
  EXPECT_FALSE(menu) << "the previous menu is released";
  menu = Form.Favorites->Menu();
  EXPECT_EQ(menu->parentWidget(), anchor) << "both menus open under the same link";
  EXPECT_EQ(Captions(menu).first(), "[Delete favorite]");
  Choose("Delete favorite");
  Choose("/p/R&&B.png");
  EXPECT_EQ(Form.Favorites->FavoriteNames(), (QStringList{"/p/B.png", "/p/A.png"}));
  EXPECT_EQ(Form.LastFileTitle, "/p/current.png");
}

TEST_F(FavoritesTest, AddingTheCurrentPictureStopsWithAWarningAtTwenty) {
  Form.AddPictureToFavoritesLabelClick();  // no current picture
  EXPECT_EQ(Form.Favorites->Count(), 0);
  for (const QString& name : Numbered(1, 20)) {
    Form.LastFileTitle = name;
    Form.AddPictureToFavoritesLabelClick();
  }
  EXPECT_TRUE(Answerer.Titles.isEmpty());
  for (const QString& name : {QStringLiteral("/p/new.png"), QStringLiteral("/p/5.png")}) {
    Form.LastFileTitle = name;
    Form.AddPictureToFavoritesLabelClick();
  }
  EXPECT_EQ(Answerer.Titles, (QStringList{"Warning", "Warning"}));
  EXPECT_EQ(Answerer.Texts,
            (QStringList{"Can't add any more favorites.", "Can't add any more favorites."}));
  EXPECT_EQ(Form.Favorites->FavoriteNames(), Numbered(1, 20));
}

TEST_F(FavoritesTest, AFavoriteWhoseFileHasGoneFailsToApplyAndStays) {
  const QString kept = SavePicture(SolidImage(32, 24, qRgb(10, 200, 10)), "kept.png");
  const QString gone = SavePicture(SolidImage(32, 24, qRgb(200, 10, 10)), "gone.png");
  Form.PictureFileNames = {kept};
  for (const QString& name : {gone, kept}) Form.Favorites->AddFavorite(name);
  Form.SetFavoriteWallpaperLabelClick();
  Choose(kept);
  EXPECT_EQ(Form.LastFileTitle, kept);
  EXPECT_EQ(Form.PictureIndex, 0);
  const QString wallpaper = GetOperatorPath() + "Backdropper_Wallpaper.bmp";
  const QByteArray before = ReadTestFile(wallpaper);
  ASSERT_FALSE(before.isEmpty());

  QFile::remove(gone);
  Form.SetFavoriteWallpaperLabelClick();
  Choose(gone);
  EXPECT_EQ(Form.LastFileTitle, "") << "the apply failed";
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(ReadTestFile(wallpaper), before);
  EXPECT_EQ(Form.Favorites->FavoriteNames(), (QStringList{gone, kept}));
  EXPECT_EQ(Form.PictureFileNames, QStringList{kept});
}

// The section follows the directory list, and the monitors' section, the newest, follows it; a
// bad count still gives the titles that are there.
TEST_F(FavoritesTest, TheOptionsSectionAndItsBadInput) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Backdropper.ini");
  Form.Favorites->AddFavorite("/p/b\u00e4r.png");
  Form.Favorites->AddFavorite("/p/A.png");
  Form.CreateOptionsList(path);
  ASSERT_TRUE(Form.OptionsList->Save(false, 0));
  const QByteArray written = ReadTestFile(path);
  EXPECT_TRUE(
      written.endsWith("[DirectoryList]\r\nCount=0\r\n\r\n[FavoritePictures]\r\nCount=2\r\n"
                       "Title0=/p/b\xc3\xa4r.png\r\nTitle1=/p/A.png\r\n\r\n"
                       "[Monitors]\r\nArrangement=The same picture on every monitor\r\n"
                       "CalendarMonitor=\r\n\r\n"))
      << written.toStdString();

  QByteArray titles;
  for (int i = 0; i <= 20; ++i) titles += QStringLiteral("Title%1=/p/%1.png\r\n").arg(i).toUtf8();
  struct TCase {
    const char* Name;
    QByteArray Section;
    QStringList Expected;
    bool Reported;
  };
  const QList<TCase> cases = {
      {"count 25", "Count=25\r\nTitle0=/p/0.png\r\nTitle1=/p/1.png\r\n", Numbered(0, 1), true},
      {"count -3", "Count=-3\r\nTitle0=/p/0.png\r\n", Numbered(0, 0), true},
      {"count 25 and no titles", "Count=25\r\n", {}, true},
      {"empty title in the middle",
       "Count=3\r\nTitle0=/p/0.png\r\nTitle1=\r\nTitle2=/p/2.png\r\n",
       {"/p/0.png", "/p/2.png"},
       false},
      {"repeated title",
       "Count=3\r\nTitle0=/p/0.png\r\nTitle1=/p/1.png\r\nTitle2=/p/0.png\r\n",
       {"/p/1.png", "/p/0.png"},
       false},
      {"count 20 and 21 titles", "Count=20\r\n" + titles, Numbered(0, 19), false},
      {"count 21 and 21 titles", "Count=21\r\n" + titles, Numbered(1, 20), true},
  };
  for (const TCase& test : cases) {
    WriteTestFile("favorites.ini", "[FavoritePictures]\r\n" + test.Section);
    TFavoritesDialog favorites;
    TStoredTextList list(TestPicturePath("favorites.ini"));
    list.OnLoad = [&](TStoredTextList& l, uint8_t) { favorites.ReadFavorites(l); };
    EXPECT_EQ(list.Load(0), !test.Reported) << test.Name;
    EXPECT_EQ(favorites.FavoriteNames(), test.Expected) << test.Name;
  }
}
