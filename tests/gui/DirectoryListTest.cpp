// The picture directory list of the main window: adding (chooser, drop, options), its limit and
// duplicate rule, deleting, the mouse and key rules and the drawing of its rows.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "LinkLabel.h"
#include "MainDialog/DirectoryListDelegate.h"
#include "MainDialog/MainDialog.h"
#include "ModalAnswerer.h"
#include "StoredTextList/StoredTextList.h"

namespace {

const QString TooMany = QStringLiteral("Too many directories. Can't add anymore.");
const QString ChooserCaption = QStringLiteral("Choose a directory with picture files");

QStringList Paths(const TMainForm& form) {
  QStringList paths;
  for (int i = 0; i < form.DirectoryCount(); ++i) paths << form.DirectoryPath(i);
  return paths;
}

// "A"/"NA" and "R"/"NR" per entry, to compare flags at a glance.
QStringList Flags(const TMainForm& form) {
  QStringList flags;
  for (int i = 0; i < form.DirectoryCount(); ++i)
    flags << QString::fromLatin1(form.GetDirectoryActive(i) ? "A" : "NA") +
                 QString::fromLatin1(form.GetDirectoryRecurs(i) ? "R" : "NR");
  return flags;
}

int SelectedRow(const TMainForm& form) {
  const QList<QListWidgetItem*> selected = form.DirectoriesListBox->selectedItems();
  return selected.isEmpty() ? -1 : form.DirectoriesListBox->row(selected.first());
}

void Fill(TMainForm& form, int count) {
  for (int i = form.DirectoryCount(); i < count; ++i)
    ASSERT_TRUE(form.AddDirectoryEntry(QStringLiteral("/p/%1").arg(i), true, false));
}

std::unique_ptr<QMimeData> DropOf(const QStringList& paths) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  data->setUrls(urls);
  return data;
}

// Answers the folder chooser by typing `path` into it, as a user would, or cancels it.
class TChooserAnswer {
 public:
  explicit TChooserAnswer(QString path = {})
      : Path(std::move(path)), Answerer([this](QWidget* w) { Answer(w); }) {}
  QStringList Titles() const { return Answerer.Titles; }
  QStringList Texts() const { return Answerer.Texts; }

 private:
  void Answer(QWidget* window) {
    auto* dialog = qobject_cast<QFileDialog*>(window);
    if (!dialog) {
      TModalAnswerer::ClickButton(window, QStringLiteral("OK"));
      return;
    }
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (Path.isEmpty() || !edit) {
      dialog->reject();
      return;
    }
    edit->setText(Path);
    if (!TModalAnswerer::ClickButton(dialog, QStringLiteral("Choose"))) dialog->reject();
  }
  QString Path;
  TModalAnswerer Answerer;
};

class DirectoryListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TMainForm>();
    ErrorReport = std::make_unique<TErrorForm>();
    ErrorForm = ErrorReport.get();
    FunStatContext.Reset(fsPerfect);
  }
  void TearDown() override {
    ErrorForm = nullptr;
    ErrorReport.reset();
    Form.reset();
  }
  QString MakeDirectory(const QString& name) {
    const QString path = Dir.filePath(name);
    QDir().mkpath(path);
    return path;
  }
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;
  std::unique_ptr<TErrorForm> ErrorReport;
};

TEST_F(DirectoryListTest, DuplicatesAreExactlyEqualPathsAndEmptyPathsAreIgnored) {
  EXPECT_TRUE(Form->AddDirectoryEntry(QStringLiteral("/p/Pics"), true, false));
  EXPECT_TRUE(Form->AddDirectoryEntry(QStringLiteral("/p/pics"), false, true))
      << "another letter case is another folder";
  EXPECT_FALSE(Form->AddDirectoryEntry(QStringLiteral("/p/Pics"), false, false));
  EXPECT_TRUE(Form->AddDirectoryEntry(QStringLiteral("/p/Pics/"), true, true))
      << "the text is compared, not the folder";
  EXPECT_FALSE(Form->AddDirectoryEntry(QString(), true, false));
  EXPECT_EQ(Paths(*Form), (QStringList{"/p/Pics", "/p/pics", "/p/Pics/"}));
  EXPECT_EQ(Flags(*Form), (QStringList{"ANR", "NAR", "AR"})) << "the first flags stay";
}

TEST_F(DirectoryListTest, FlagAccessTouchesOnlyItsEntryAndFlag) {
  Fill(*Form, 3);
  Form->SetDirectoryRecurs(1, true);
  Form->InvertDirectoryActive(1);
  Form->InvertDirectoryRecurs(2);
  Form->SetDirectoryActive(0, false);
  EXPECT_EQ(Flags(*Form), (QStringList{"NANR", "NAR", "AR"}));
  Form->InvertDirectoryActive(7);  // no such entry
  EXPECT_FALSE(Form->GetDirectoryActive(-1));
  EXPECT_EQ(Flags(*Form), (QStringList{"NANR", "NAR", "AR"}));
}

TEST_F(DirectoryListTest, TheChooserAddsAnActiveFlatEntryAndSelectsTheFirst) {
  const QString first = MakeDirectory(QStringLiteral("First"));
  const QString second = MakeDirectory(QStringLiteral("Second"));
  {
    TChooserAnswer answer(first);
    Form->AddDirectory(false);
    EXPECT_EQ(answer.Titles(), QStringList{ChooserCaption});
  }
  EXPECT_EQ(Paths(*Form), QStringList{first});
  EXPECT_EQ(Flags(*Form), QStringList{"ANR"});
  EXPECT_EQ(SelectedRow(*Form), 0);
  {
    TChooserAnswer cancel;
    Form->AddDirectory(false);
    EXPECT_EQ(cancel.Titles(), QStringList{ChooserCaption});
  }
  EXPECT_EQ(Paths(*Form), QStringList{first}) << "a cancelled chooser adds nothing";
  {
    // Through the label; with the first entry selected the selection stays where it is.
    TChooserAnswer answer(second);
    QTest::mouseClick(Form->AddDirectoryLabel, Qt::LeftButton);
  }
  EXPECT_EQ(Paths(*Form), (QStringList{first, second}));
  EXPECT_EQ(SelectedRow(*Form), 0);
}

TEST_F(DirectoryListTest, AddingWithReloadRebuildsThePictureListAndSaysSo) {
  const QString folder = MakeDirectory(QStringLiteral("Pics"));
  QFile(folder + QStringLiteral("/one.png")).open(QIODevice::WriteOnly);
  QFile(folder + QStringLiteral("/two.jpg")).open(QIODevice::WriteOnly);
  TChooserAnswer answer(folder);
  Form->AddDirectory(true);
  EXPECT_EQ(Form->PictureFileNames.size(), 2);
  EXPECT_EQ(answer.Titles(), (QStringList{ChooserCaption, "Message"}));
  EXPECT_EQ(answer.Texts().value(1),
            QStringLiteral("There are 2 picture ready to be used as wallpapers."));
}

TEST_F(DirectoryListTest, AHundredEntriesRefuseTheNextFromChooserAndEntry) {
  Fill(*Form, TMainForm::MaxDirectoryCount);
  EXPECT_FALSE(Form->AddDirectoryEntry(QStringLiteral("/p/one more"), true, false));
  TChooserAnswer answer(MakeDirectory(QStringLiteral("More")));
  Form->AddDirectory(false);
  EXPECT_EQ(answer.Titles(), QStringList{"Warning"}) << "no chooser opens";
  EXPECT_EQ(answer.Texts(), QStringList{TooMany});
  EXPECT_EQ(Form->DirectoryCount(), TMainForm::MaxDirectoryCount);
}

TEST_F(DirectoryListTest, ADropAddsFoldersAndTheFoldersOfFilesUpToTheLimit) {
  const QString photos = MakeDirectory(QStringLiteral("Photos"));
  const QString file = photos + QStringLiteral("/x.jpg");
  QFile(file).open(QIODevice::WriteOnly);
  const QString a = MakeDirectory(QStringLiteral("A")), b = MakeDirectory(QStringLiteral("B"));
  const QString c = MakeDirectory(QStringLiteral("C"));

  Form->WallpaperPageControl->setCurrentIndex(0);
  {
    TModalAnswerer none([](QWidget* w) { w->close(); });
    Form->ProcessDroppedFiles(DropOf({file, photos}).get());
    EXPECT_TRUE(none.Titles.isEmpty());
  }
  EXPECT_EQ(Paths(*Form), QStringList{photos}) << "a file adds its folder, once";
  EXPECT_EQ(Flags(*Form), QStringList{"ANR"});
  EXPECT_EQ(Form->WallpaperPageControl->currentWidget(), Form->DirectoriesTab);
  EXPECT_TRUE(Form->PictureFileNames.isEmpty()) << "a drop does not rebuild the picture list";

  Fill(*Form, TMainForm::MaxDirectoryCount - 2);
  TModalAnswerer answer([](QWidget* w) { TModalAnswerer::ClickButton(w, QStringLiteral("OK")); });
  Form->ProcessDroppedFiles(DropOf({a, b, c}).get());
  EXPECT_EQ(answer.Titles, QStringList{"Warning"});
  EXPECT_EQ(answer.Texts, QStringList{TooMany});
  EXPECT_EQ(Form->DirectoryCount(), TMainForm::MaxDirectoryCount);
  EXPECT_EQ(Paths(*Form).mid(98), (QStringList{a, b})) << "the folders before the limit stay";
}

TEST_F(DirectoryListTest, AFileInTheRootAddsTheRoot) {
  TModalAnswerer none([](QWidget* w) { w->close(); });
  Form->ProcessDroppedFiles(DropOf({QStringLiteral("/no-such-picture.jpg")}).get());
  EXPECT_EQ(Paths(*Form), QStringList{"/"});
}

TEST_F(DirectoryListTest, AnEmptyDropIsReported) {
  TModalAnswerer answer(
      [](QWidget* w) { TModalAnswerer::ClickButton(w, QStringLiteral("&Okay")); });
  QMimeData remote;
  remote.setUrls({QUrl(QStringLiteral("https://example.org/a.jpg"))});
  Form->ProcessDroppedFiles(&remote);
  ASSERT_EQ(answer.Titles, QStringList{"Error"});
  const QString report = answer.Texts.first();
  EXPECT_TRUE(report.startsWith(QStringLiteral("DESCRIPTION\r\nFailed to drop files.\r\n")))
      << report.toStdString();
  EXPECT_TRUE(report.contains(QStringLiteral("No files are dropped.")));
  EXPECT_EQ(Form->DirectoryCount(), 0);
}

TEST_F(DirectoryListTest, TheWindowTakesDropsOfFilesOverAnyOfItsControls) {
  const QString folder = MakeDirectory(QStringLiteral("Dropped"));
  Form->setAcceptDrops(true);  // as the end of start-up leaves it
  Form->show();
  // Dropped over the list, which hands the drop to its window.
  QWidget* target = Form->DirectoriesListBox->viewport();
  const std::unique_ptr<QMimeData> data = DropOf({folder});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QMimeData text;
  text.setText(QStringLiteral("words"));
  QDragEnterEvent words(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &words);
  EXPECT_FALSE(words.isAccepted()) << "only file drops";
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  EXPECT_EQ(Paths(*Form), QStringList{folder});
}

TEST_F(DirectoryListTest, DeleteAsksThenRemovesTheSelectedEntry) {
  Fill(*Form, 4);
  const auto deleteAnswering = [&](const char* button) {
    TModalAnswerer answer(
        [&](QWidget* w) { TModalAnswerer::ClickButton(w, QLatin1String(button)); });
    QTest::mouseClick(Form->DeleteDirectoryLabel, Qt::LeftButton);
    EXPECT_EQ(answer.Texts, QStringList{"Do you want to delete the focused directory?"});
  };
  Form->DirectoriesListBox->setCurrentRow(1);
  deleteAnswering("&No");
  EXPECT_EQ(Form->DirectoryCount(), 4);
  deleteAnswering("&Yes");
  EXPECT_EQ(Paths(*Form), (QStringList{"/p/0", "/p/2", "/p/3"}));
  EXPECT_EQ(SelectedRow(*Form), 1) << "the entry that took its place";
  Form->DirectoriesListBox->setCurrentRow(2);
  deleteAnswering("&Yes");
  EXPECT_EQ(Paths(*Form), (QStringList{"/p/0", "/p/2"}));
  EXPECT_EQ(SelectedRow(*Form), 1) << "the new last entry";
  Form->DirectoriesListBox->clearSelection();
  deleteAnswering("&Yes");
  EXPECT_EQ(Form->DirectoryCount(), 2) << "nothing is selected, nothing goes";
}

TEST_F(DirectoryListTest, ALeftPressTogglesTheFlagOfItsCellAndAnyPressSelects) {
  Fill(*Form, 3);
  Form->ShowDirectoriesTab();
  Form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
  QListWidget* list = Form->DirectoriesListBox;
  const int h = list->fontMetrics().height() + 4;
  const QRect row = list->visualItemRect(list->item(1));
  ASSERT_EQ(row.height(), h);
  const auto click = [&](Qt::MouseButton button, int x) {
    QTest::mouseClick(list->viewport(), button, Qt::NoModifier, QPoint(x, row.center().y()));
  };
  click(Qt::LeftButton, 0);
  EXPECT_EQ(SelectedRow(*Form), 1);
  EXPECT_EQ(Flags(*Form), (QStringList{"ANR", "NANR", "ANR"}));
  click(Qt::LeftButton, 2 * h - 1);
  EXPECT_EQ(Flags(*Form), (QStringList{"ANR", "ANR", "ANR"}));
  click(Qt::LeftButton, 2 * h);
  EXPECT_EQ(Flags(*Form), (QStringList{"ANR", "AR", "ANR"}));
  click(Qt::LeftButton, h * 9 / 2 - 1);
  EXPECT_EQ(Flags(*Form), (QStringList{"ANR", "ANR", "ANR"}));
  click(Qt::LeftButton, h * 9 / 2);
  click(Qt::LeftButton, row.width() - 2);
  EXPECT_EQ(Flags(*Form), (QStringList{"ANR", "ANR", "ANR"})) << "the path cell only selects";
  EXPECT_EQ(SelectedRow(*Form), 1);

  Form->DirectoriesListBox->setCurrentRow(0);
  click(Qt::RightButton, 1);
  EXPECT_EQ(SelectedRow(*Form), 1) << "the right button selects";
  EXPECT_EQ(Flags(*Form), (QStringList{"ANR", "ANR", "ANR"})) << "but toggles nothing";
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(1, list->visualItemRect(list->item(2)).bottom() + 10));
  EXPECT_EQ(SelectedRow(*Form), 1) << "a press below the last row keeps the selection";
  EXPECT_EQ(Flags(*Form), (QStringList{"ANR", "ANR", "ANR"}));
}

TEST_F(DirectoryListTest, CharacterKeysAreDroppedAndTheTabFocusesTheList) {
  Form->AddDirectoryEntry(QStringLiteral("/a/one"), true, false);
  Form->AddDirectoryEntry(QStringLiteral("/a/two"), true, false);
  Form->AddDirectoryEntry(QStringLiteral("t"), true, false);
  Form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
  Form->PageControl->setCurrentIndex(2);
  Form->ShowDirectoriesTab();
  EXPECT_EQ(Form->focusWidget(), Form->DirectoriesListBox);
  Form->AddDirectoryLabel->setFocus();
  Form->hide();
  Form->show();
  EXPECT_EQ(Form->focusWidget(), Form->DirectoriesListBox) << "also when the window comes back";
  Form->DirectoriesListBox->setCurrentRow(0);
  QTest::keyClicks(Form->DirectoriesListBox, QStringLiteral("/t"));
  EXPECT_EQ(SelectedRow(*Form), 0) << "no search by typing";
  QTest::keyClick(Form->DirectoriesListBox, Qt::Key_Down);
  EXPECT_EQ(SelectedRow(*Form), 1) << "the arrow keys still move";
}

TEST_F(DirectoryListTest, RowsAreDrawnInThreeCellsWithSelectionColours) {
  QPalette palette = Form->palette();
  palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
  palette.setColor(QPalette::Base, QColor(255, 255, 255));
  palette.setColor(QPalette::Text, QColor(0, 0, 0));
  palette.setColor(QPalette::Highlight, QColor(0, 0, 200));
  palette.setColor(QPalette::Button, QColor(200, 200, 0));
  Form->setPalette(palette);
  Form->AddDirectoryEntry(QStringLiteral("/p"), true, false);
  Form->AddDirectoryEntry(QStringLiteral("/q"), false, true);
  Form->ShowDirectoriesTab();
  Form->show();
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  QListWidget* list = Form->DirectoriesListBox;
  list->setFocus();
  list->setCurrentRow(0);
  const int h = list->fontMetrics().height() + 4;
  const QRect row = list->visualItemRect(list->item(0));
  EXPECT_EQ(row.height(), h);
  EXPECT_EQ(row.left(), 0);
  EXPECT_EQ(row.width(), list->viewport()->width()) << "rows span the list";

  const auto pixel = [&](int x, int y) {
    return list->viewport()->grab().toImage().pixelColor(x, y).rgb() & 0xFFFFFF;
  };
  // The style may tint the focused row inside its focus frame, so exact colours are read from
  // the other row.
  const QColor focusedPath =
      list->viewport()->grab().toImage().pixelColor(row.right() - 3, row.top() + 2);
  EXPECT_LT(focusedPath.red(), 60);
  EXPECT_GT(focusedPath.blue(), 160) << "selected and focused: highlight";
  const QRect second = list->visualItemRect(list->item(1));
  const int y = second.top() + 2;
  EXPECT_EQ(pixel(1, y), 0xFFFFFFu) << "window colour";
  EXPECT_EQ(pixel(2 * h - 1, y), 0xFFFFFFu);
  EXPECT_EQ(pixel(2 * h, y), 0xFF0000u) << "separator after the Active cell";
  EXPECT_EQ(pixel(h * 9 / 2, y), 0xFF0000u) << "separator after the Recurs cell";
  EXPECT_EQ(pixel(second.width() / 2, second.bottom()), 0xFF0000u) << "line under the row";
  EXPECT_EQ(pixel(second.right() - 3, y), 0xFFFFFFu) << "not selected";

  Form->AddDirectoryLabel->setFocus();
  EXPECT_EQ(pixel(row.right() - 3, row.top() + 2), 0xC8C800u)
      << "selected without focus: button face";
  EXPECT_EQ(pixel(2 * h, row.top() + 2), 0xFF0000u);

  // The flag texts differ in width: "Active" covers more of its cell than "NA".
  const auto inked = [&](const QRect& area) {
    const QImage image = list->viewport()->grab().toImage().copy(area);
    int count = 0;
    for (int py = 0; py < image.height(); ++py)
      for (int px = 0; px < image.width(); ++px)
        if (qGray(image.pixel(px, py)) < 128) ++count;
    return count;
  };
  const QRect activeText(3, row.top() + 2, 2 * h - 6, h - 4);
  const QRect naText(3, second.top() + 2, 2 * h - 6, h - 4);
  EXPECT_GT(inked(activeText), inked(naText));
  EXPECT_GT(inked(naText), 0);
}

TEST_F(DirectoryListTest, TheListSurvivesTheOptionsFileInOrder) {
  const QString path = Dir.filePath(QStringLiteral("Backdropper.ini"));
  Form->AddDirectoryEntry(QStringLiteral("/b/Second"), true, true);
  Form->AddDirectoryEntry(QStringLiteral("/a/First"), false, false);
  Form->AddDirectoryEntry(QStringLiteral("/a/first"), true, false);
  Form->CreateOptionsList(path);
  ASSERT_TRUE(Form->OptionsList->Save(false, 0));

  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(
      text.contains("[DirectoryList]\r\nCount=3\r\nTitle0=/b/Second\r\nActive0=TRUE\r\n"
                    "Recurs0=TRUE\r\nTitle1=/a/First\r\nActive1=FALSE\r\nRecurs1=FALSE\r\n"
                    "Title2=/a/first\r\nActive2=TRUE\r\nRecurs2=FALSE\r\n"))
      << text.toStdString();

  TMainForm read;
  read.CreateOptionsList(path);
  ASSERT_TRUE(read.OptionsList->Load(0));
  EXPECT_EQ(Paths(read), Paths(*Form));
  EXPECT_EQ(Flags(read), Flags(*Form));
  EXPECT_EQ(SelectedRow(read), 0);
}

TEST_F(DirectoryListTest, ReadingDropsEmptyAndRepeatedTitlesAndKeepsEntriesOfABadCount) {
  const QString path = Dir.filePath(QStringLiteral("Backdropper.ini"));
  const auto readWith = [&](const QByteArray& section) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[DirectoryList]\r\n" + section);
    file.close();
    auto form = std::make_unique<TMainForm>();
    form->CreateOptionsList(path);
    form->OptionsList->Load(0);
    return form;
  };
  auto form = readWith(
      "Count=5\r\nTitle0=/x\r\nActive0=TRUE\r\nTitle1=\r\nActive1=TRUE\r\nTitle2=/x\r\n"
      "Recurs2=TRUE\r\nTitle3=/y\r\nRecurs3=TRUE\r\nActive3=yes\r\n");
  EXPECT_EQ(Paths(*form), (QStringList{"/x", "/y"})) << "the fifth entry has no title either";
  EXPECT_EQ(Flags(*form), (QStringList{"ANR", "NAR"}));
  EXPECT_EQ(SelectedRow(*form), 0);
  EXPECT_EQ(SelectedRow(*readWith("Count=0\r\n")), -1);
  // A count that cannot be right is reported; the entries that are there are kept.
  TModalAnswerer okay([](QWidget* w) { TModalAnswerer::ClickButton(w, "&Okay"); });
  for (const QByteArray count : {"101", "-1", "two"})
    EXPECT_EQ(Paths(*readWith("Count=" + count + "\r\nTitle0=/x\r\nTitle1=/y\r\nTitle3=/z\r\n")),
              (QStringList{"/x", "/y"})) << count.constData();
  EXPECT_EQ(okay.Texts.size(), 3);
}

}  // namespace
