// The picture list built from the directory list: order within an entry, one block per entry,
// what is skipped, the current picture's index and the two labels that report on the list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "Error/Error.h"
#include "LinkLabel.h"
#include "MainDialog/MainDialog.h"
#include "ModalAnswerer.h"

namespace {

class PictureListTest : public ::testing::Test {
 protected:
  void SetUp() override { Form = std::make_unique<TMainForm>(); }
  void TearDown() override { QLocale::setDefault(QLocale::system()); }

  // A file under the temporary folder, with its folders; returns its full path.
  QString Touch(const QString& relative) {
    const QString path = Root(relative);
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    return path;
  }
  QString Root(const QString& relative = {}) const {
    return relative.isEmpty() ? Dir.path() : Dir.filePath(relative);
  }
  // The picture list with the temporary folder cut off the front.
  QStringList Relative() const {
    QStringList names;
    for (const QString& path : Form->PictureFileNames) names << path.mid(Dir.path().size() + 1);
    return names;
  }

  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;
};

TEST_F(PictureListTest, AnEntrysPicturesAreSortedIgnoringCaseAndOnlyPicturesCount) {
  for (const char* name :
       {"D/b.jpg", "D/A.jpg", "D/a2.JPG", "D/notes.txt", "D/C.PnG", "D/noext", "D/d.gif"})
    Touch(QLatin1String(name));
  Form->AddDirectoryEntry(Root("D"), true, false);
  Form->LoadPictureFileNames();
  EXPECT_EQ(Relative(), (QStringList{"D/A.jpg", "D/a2.JPG", "D/b.jpg", "D/C.PnG", "D/d.gif"}));
}

TEST_F(PictureListTest, CaseIsIgnoredInEveryLocaleAndDecidesOnlyBetweenEqualNames) {
  for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                QLocale(QLocale::German, QLocale::Germany)}) {
    SCOPED_TRACE(locale.name().toStdString());
    QLocale::setDefault(locale);
    QStringList paths = {"/p/b.jpg", "/p/a.jpg", "/p/C.jpg", "/p/A.jpg", "/p/a.jpg", "/p/B.jpg"};
    SortPictureFileNames(paths);
    EXPECT_EQ(paths, (QStringList{"/p/A.jpg", "/p/a.jpg", "/p/B.jpg", "/p/b.jpg", "/p/C.jpg"}))
        << "only exactly equal paths are duplicates";
  }
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QStringList accented = {"/p/f.jpg", "/p/\u00c9t\u00e9.jpg", "/p/e.jpg"};
  SortPictureFileNames(accented);
  EXPECT_EQ(accented, (QStringList{"/p/e.jpg", "/p/\u00c9t\u00e9.jpg", "/p/f.jpg"}))
      << "the locale's order, not the code points'";
}

TEST_F(PictureListTest, EveryActiveEntryHasItsOwnBlockInListOrder) {
  Touch("D/A/top.jpg");
  Touch("D/A/B/inner.png");
  Touch("D/A/B/C/deep.gif");
  Touch("D/Z/z.jpg");
  Touch("D/Off/off.jpg");
  Form->AddDirectoryEntry(Root("D/Z"), true, false);
  Form->AddDirectoryEntry(Root("D/A"), true, true);
  Form->AddDirectoryEntry(Root("D/Off"), false, true);
  Form->AddDirectoryEntry(Root("D/A/B"), true, false);
  Form->LoadPictureFileNames();
  EXPECT_EQ(Relative(), (QStringList{"D/Z/z.jpg", "D/A/B/C/deep.gif", "D/A/B/inner.png",
                                     "D/A/top.jpg", "D/A/B/inner.png"}))
      << "blocks are neither merged nor sorted; B's picture comes twice, C only by recursion";
}

TEST_F(PictureListTest, HiddenFilesAndFoldersAreSkippedAlsoWhenRecursive) {
  Touch("D/shown.jpg");
  Touch("D/.hidden.jpg");
  Touch("D/.cache/inside.jpg");
  Touch("D/sub/.x.png");
  Touch("D/sub/y.png");
  Form->AddDirectoryEntry(Root("D"), true, true);
  Form->LoadPictureFileNames();
  EXPECT_EQ(Relative(), (QStringList{"D/shown.jpg", "D/sub/y.png"}));
}

TEST_F(PictureListTest, AMissingFolderGivesNothingAndTheRestIsStillLoaded) {
  Touch("D/one.jpg");
  Form->AddDirectoryEntry(Root("Gone"), true, false);
  Form->AddDirectoryEntry(Root("D"), true, false);
  TModalAnswerer answer([](QWidget* w) { w->close(); });
  Form->LoadPictureFileNames();
  EXPECT_EQ(Relative(), QStringList{"D/one.jpg"});
  EXPECT_TRUE(answer.Titles.isEmpty()) << "the failure is not shown";
  EXPECT_FALSE(FunStatContext.Failed());
}

TEST_F(PictureListTest, TheCurrentPictureKeepsItsIndexWhileItIsListed) {
  const QString current = Touch("D/m.jpg");
  Touch("D/z.jpg");
  Form->AddDirectoryEntry(Root("D"), true, false);
  Form->LastFileTitle = current;
  Form->LoadPictureFileNames();
  EXPECT_EQ(Form->PictureIndex, 0);
  const QString folder = Root("D") + QLatin1Char('/');
  EXPECT_EQ(Form->LastPictureLabel->text(),
            QStringLiteral("Current picture (index 1) \"m.jpg\" in \"") + folder + '"');

  Touch("D/a.jpg");
  Form->LoadPictureFileNames();
  EXPECT_EQ(Form->PictureIndex, 1) << "found again after a new file came before it";
  EXPECT_EQ(Form->LastPictureLabel->text(),
            QStringLiteral("Current picture (index 2) \"m.jpg\" in \"") + folder + '"');

  Form->LastFileTitle = Root("D/M.jpg");
  Form->LoadPictureFileNames();
  EXPECT_EQ(Form->PictureIndex, -1) << "another letter case is another file";
  QFile::remove(current);
  Form->LastFileTitle = current;
  Form->LoadPictureFileNames();
  EXPECT_EQ(Form->PictureIndex, -1);
  EXPECT_EQ(Form->LastPictureLabel->text(),
            QStringLiteral("Current picture (index not in list) \"m.jpg\" in \"") + folder + '"');

  Form->LastFileTitle.clear();
  Form->LoadPictureFileNames();
  EXPECT_EQ(Form->PictureIndex, -1);
  EXPECT_EQ(Form->LastPictureLabel->text(),
            QStringLiteral("Current picture (index not in list) \"\" in \"\""));
}

TEST_F(PictureListTest, LabelsGroupLargeNumbersTheLocalesWay) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  Form->PictureFileNames = QStringList(1234567, QStringLiteral("/p/x.jpg"));
  Form->UpdateLoadedPicturesCount();
  EXPECT_EQ(Form->LoadedPicturesCountLabel->text(),
            QStringLiteral("There are 1.234.567 picture ready to be used as wallpapers"));
  Form->LastFileTitle = QStringLiteral("/p/x.jpg");
  Form->PictureIndex = 1233;
  Form->UpdateLastPictureLabel();
  EXPECT_EQ(Form->LastPictureLabel->text(),
            QStringLiteral("Current picture (index 1.234) \"x.jpg\" in \"/p/\""));

  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  Form->UpdateLoadedPicturesCount();
  EXPECT_EQ(Form->LoadedPicturesCountLabel->text(),
            QStringLiteral("There are 1,234,567 picture ready to be used as wallpapers"));
}

TEST_F(PictureListTest, ReloadLabelReportsTheCountAndClipLabelCopiesEveryPath) {
  const QString a = Touch("D/a.jpg"), b = Touch("D/b.png");
  Form->AddDirectoryEntry(Root("D"), true, false);
  {
    TModalAnswerer answer([](QWidget* w) { TModalAnswerer::ClickButton(w, QStringLiteral("OK")); });
    QTest::mouseClick(Form->ReloadFileNamesLabel, Qt::LeftButton);
    EXPECT_EQ(answer.Titles, QStringList{"Message"});
    EXPECT_EQ(answer.Texts, QStringList{"There are 2 picture ready to be used as wallpapers."});
  }
  EXPECT_EQ(Form->LoadedPicturesCountLabel->text(),
            QStringLiteral("There are 2 picture ready to be used as wallpapers"));

  QApplication::clipboard()->setText(QStringLiteral("before"));
  QTest::mouseClick(Form->Label29, Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(), a + "\r\n" + b + "\r\n");

  Form->PictureFileNames.clear();
  TModalAnswerer answer([](QWidget* w) { TModalAnswerer::ClickButton(w, QStringLiteral("OK")); });
  QTest::mouseClick(Form->Label29, Qt::LeftButton);
  EXPECT_EQ(answer.Texts, QStringList{"There is no text to copy to clipboard."});
  EXPECT_EQ(QApplication::clipboard()->text(), a + "\r\n" + b + "\r\n");
}

}  // namespace
