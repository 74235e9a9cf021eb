#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

#include "QtPrinters.h"

#include "MyRandom.h"
#include "PictureSelection.h"
#include "TestClock.h"

namespace {

// A picture list over real files in a private folder.
struct TPictures {
  QTemporaryDir Dir;
  QStringList FileNames;
  int Index = -1;
  QString Title;
  TDateTime ChangeTime = 0;
  std::deque<int32_t> Draws;  // the random values handed out, in order
  int ListChanges = 0;
  TPictureSelection Selection{FileNames,
                              Index,
                              Title,
                              ChangeTime,
                              [](const QString& path) { return QFileInfo::exists(path); },
                              [this] {
                                const int32_t v = Draws.front();
                                Draws.pop_front();
                                return v;
                              }};

  explicit TPictures(const QStringList& names) {
    Selection.OnListChanged = [this] { ++ListChanges; };
    for (const QString& name : names) {
      const QString path = Path(name);
      QFile file(path);
      EXPECT_TRUE(file.open(QIODevice::WriteOnly));
      FileNames << path;
    }
  }
  QString Path(const QString& name) const { return Dir.path() + QLatin1Char('/') + name; }
  void Remove(const QStringList& names) {
    for (const QString& name : names) EXPECT_TRUE(QFile::remove(Path(name)));
  }
  QString Current() const { return QFileInfo(Title).fileName(); }
  QStringList Names() const {
    QStringList names;
    for (const QString& path : FileNames) names << QFileInfo(path).fileName();
    return names;
  }
};

const QStringList ABCD = {"A.jpg", "B.jpg", "C.jpg", "D.jpg"};

}  // namespace

TEST(PictureSelection, NextAndPreviousWrapAround) {
  TPictures p(ABCD);
  EXPECT_TRUE(p.Selection.SetCurrentPicture(3, {}));
  EXPECT_TRUE(p.Selection.StepPicture(true, false));
  EXPECT_EQ(p.Current(), "A.jpg");
  EXPECT_EQ(p.Index, 0);
  p.Selection.StepPicture(false, false);
  EXPECT_EQ(p.Current(), "D.jpg");
  EXPECT_EQ(p.Index, 3);
  p.Selection.StepPicture(false, false);
  EXPECT_EQ(p.Current(), "C.jpg");
  EXPECT_EQ(p.ListChanges, 0);
}

TEST(PictureSelection, FromAPictureOutsideTheListNextIsFirstAndPreviousIsLast) {
  TPictures p(ABCD);
  QTemporaryDir elsewhere;
  const QString outside = elsewhere.path() + QStringLiteral("/Mine.png");
  EXPECT_TRUE(p.Selection.SetCurrentPicture(-1, outside));
  EXPECT_EQ(p.Index, -1);
  EXPECT_EQ(p.Title, outside);
  p.Selection.StepPicture(true, false);
  EXPECT_EQ(p.Current(), "A.jpg");

  p.Selection.SetCurrentPicture(-1, outside);
  p.Selection.StepPicture(false, false);
  EXPECT_EQ(p.Current(), "D.jpg");
  EXPECT_EQ(p.Index, 3);

  // Paths are compared exactly: another letter case is another file.
  p.Selection.SetCurrentPicture(-1, p.Path("b.jpg"));
  EXPECT_EQ(p.Index, -1);
  p.Selection.SetCurrentPicture(-1, p.Path("B.jpg"));
  EXPECT_EQ(p.Index, 1);

  // A position that no longer fits the list counts as not in it.
  p.Index = 17;
  p.Selection.StepPicture(true, false);
  EXPECT_EQ(p.Current(), "A.jpg");
}

TEST(PictureSelection, SettingThePictureRecordsTheTimeAndRefusesNothingToShow) {
  TTestClock clock(QDateTime(QDate(2024, 5, 17), QTime(12, 0)));
  TPictures p(ABCD);
  p.Selection.SetCurrentPicture(2, {});
  EXPECT_EQ(p.Current(), "C.jpg");
  EXPECT_EQ(p.ChangeTime, Now());

  EXPECT_FALSE(p.Selection.SetCurrentPicture(-1, {}));
  EXPECT_TRUE(p.Title.isEmpty());
  EXPECT_EQ(p.Index, -1);

  clock.Set(QDateTime(QDate(2024, 5, 17), QTime(13, 0)));
  p.Selection.StepPicture(true, false);
  EXPECT_EQ(p.ChangeTime, Now());

  // Nothing to step through: no move and no new time.
  TPictures empty({});
  EXPECT_FALSE(empty.Selection.StepPicture(true, true));
  EXPECT_EQ(empty.ChangeTime, 0.0);
  EXPECT_TRUE(empty.Selection.ChoosePicture(true, true, false).isEmpty());
}

TEST(PictureSelection, RandomDrawAvoidsTheCurrentPictureOnce) {
  TPictures one({"A.jpg"});
  for (int32_t draw : {0, 7, -3, INT32_MIN, INT32_MAX}) {
    one.Draws = {draw};
    one.Selection.StepPicture(true, true);
    EXPECT_EQ(one.Current(), "A.jpg");
    EXPECT_TRUE(one.Draws.empty());  // with one picture there is no second draw
  }

  TPictures two({"A.jpg", "B.jpg"});
  two.Selection.SetCurrentPicture(0, {});
  two.Draws = {1};
  two.Selection.StepPicture(true, true);
  EXPECT_EQ(two.Current(), "B.jpg");
  two.Draws = {1, 0};  // hits B again, the second draw gives A
  two.Selection.StepPicture(true, true);
  EXPECT_EQ(two.Current(), "A.jpg");
  two.Draws = {-4, -2};  // both draws hit A (the remainder's absolute value), and A stays
  two.Selection.StepPicture(true, true);
  EXPECT_EQ(two.Current(), "A.jpg");
  EXPECT_EQ(two.Index, 0);
  two.Draws = {-3};
  two.Selection.StepPicture(true, true);
  EXPECT_EQ(two.Current(), "B.jpg");
}

TEST(PictureSelection, RandomWithTheRealSourceMostlyGivesTheOtherPicture) {
  TPictures two({"A.jpg", "B.jpg"});
  TRandom random(QPoint(1, 2));
  TPictureSelection selection(
      two.FileNames, two.Index, two.Title, two.ChangeTime,
      [](const QString& path) { return QFileInfo::exists(path); }, [&] { return random.Next(); });
  int other = 0;
  for (int i = 0; i < 400; ++i) {
    selection.SetCurrentPicture(0, {});
    selection.StepPicture(true, true);
    if (two.Index == 1) ++other;
  }
  // The other picture unless both draws hit the current one: three times in four.
  EXPECT_GT(other, 250);
  EXPECT_LT(other, 350);
}

TEST(PictureSelection, NextDropsVanishedFiles) {
  TPictures p(ABCD);
  p.Selection.SetCurrentPicture(0, {});
  p.Remove({"B.jpg", "C.jpg"});
  p.Selection.StepPicture(true, false);
  EXPECT_EQ(p.Current(), "D.jpg");
  EXPECT_EQ(p.Index, 1);
  EXPECT_EQ(p.Names(), QStringList({"A.jpg", "D.jpg"}));
  EXPECT_EQ(p.ListChanges, 1);
}

TEST(PictureSelection, PreviousDropsVanishedFilesKeepingTheIndexInStep) {
  TPictures p(ABCD);
  p.Remove({"B.jpg", "C.jpg"});
  // Each file test sees where D's position stands at that moment.
  QStringList seen;
  TPictureSelection selection(p.FileNames, p.Index, p.Title, p.ChangeTime,
                              [&](const QString& path) {
                                seen << QFileInfo(path).fileName() + QLatin1Char('@') +
                                            QString::number(p.Index);
                                return QFileInfo::exists(path);
                              },
                              {});
  selection.OnListChanged = [&] { ++p.ListChanges; };
  selection.SetCurrentPicture(3, {});
  selection.StepPicture(false, false);
  EXPECT_EQ(seen, QStringList({"C.jpg@3", "B.jpg@2", "A.jpg@1"}));
  EXPECT_EQ(p.Current(), "A.jpg");
  EXPECT_EQ(p.Index, 0);
  EXPECT_EQ(p.Names(), QStringList({"A.jpg", "D.jpg"}));
  EXPECT_EQ(p.ListChanges, 1);
}

TEST(PictureSelection, EveryFileGoneEmptiesTheCurrentPicture) {
  TPictures p(ABCD);
  p.Selection.SetCurrentPicture(1, {});
  p.Remove(ABCD);
  EXPECT_TRUE(p.Selection.StepPicture(true, false));
  EXPECT_TRUE(p.Title.isEmpty());
  EXPECT_EQ(p.Index, -1);
  EXPECT_TRUE(p.FileNames.isEmpty());

  TPictures r(ABCD);
  r.Selection.SetCurrentPicture(2, {});
  r.Remove(ABCD);
  r.Draws = {2, 0, 5, 1, 0};
  r.Selection.StepPicture(true, true);
  EXPECT_TRUE(r.Title.isEmpty());
  EXPECT_EQ(r.Index, -1);
  EXPECT_TRUE(r.FileNames.isEmpty());
}

TEST(PictureSelection, BroadcastPickLowersTheIndexButKeepsTheCurrentPicture) {
  TPictures p({"A.jpg", "B.jpg", "C.jpg", "D.jpg", "E.jpg"});
  p.Selection.SetCurrentPicture(3, {});
  p.Remove({"B.jpg", "C.jpg"});
  p.Draws = {1, 1, 2};  // B, then C (now at 1), then E (now at 2)
  const QString pick = p.Selection.ChoosePicture(true, true, false);
  EXPECT_EQ(QFileInfo(pick).fileName(), "E.jpg");
  EXPECT_EQ(p.Current(), "D.jpg");
  EXPECT_EQ(p.Index, 1);
  EXPECT_EQ(p.FileNames.at(p.Index), p.Title);
  EXPECT_EQ(p.ListChanges, 1);
}
