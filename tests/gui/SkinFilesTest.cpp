// "Load skin", "Load skin colors" and "Save skin" with their dialogs answered as a user would:
// the ".wps" rule, the last skin name, overwriting without a question, cancelling, a name that
// does not exist or cannot be read, and one redraw per load.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>

#include "FormOnPicture.h"
#include "ColorPanel.h"
#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "LinkLabel.h"
#include "MainDialog/MainDialog.h"
#include "ModalAnswerer.h"
#include "ReadOverride.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"
#include "StoredTextList/StoredTextList.h"

namespace {

// What a skin dialog showed when it opened.
struct TDialogSeen {
  QString Title;
  QFileDialog::AcceptMode Mode = QFileDialog::AcceptOpen;
  QFileDialog::FileMode FileMode = QFileDialog::AnyFile;
  QStringList Filters;
  bool ConfirmsOverwrite = true;
  QString Directory;
  QString InitialName;
};

class SkinFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ErrorForm = &Errors;
    UsePlainPicture(Form, 0xFF3C5A78u);
    Form.SetFileAsWallpaper(true);
    PerRedraw = CommandsPerRedraw(Form, Desktop);
  }
  void TearDown() override { ErrorForm = nullptr; }

  qsizetype Commands() const { return Desktop.Runner->Commands.size(); }
  QString At(const QString& name) const { return Dir.filePath(name); }

  // The next skin dialog gets `path` typed into its name field and is accepted as by Enter,
  // which runs the dialog's own checks; an empty path cancels it.
  void Type(const QString& path) {
    Answers.push_back([path](QFileDialog* dialog) {
      if (path.isEmpty()) {
        dialog->reject();
        return;
      }
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
      // Later, so that a message box the check opens is answered by the next poll.
      QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
    });
  }
  // The next skin dialog returns `path` whatever it is, as a dialog that checks nothing would.
  void Return(const QString& path) {
    Answers.push_back([path](QFileDialog* dialog) {
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
      static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
    });
  }

  void Answer(QWidget* window) {
    auto* dialog = qobject_cast<QFileDialog*>(window);
    if (!dialog) {
      Messages << Answerer.Texts.constLast();
      TModalAnswerer::ClickButton(window, QStringLiteral("OK"));
      TModalAnswerer::ClickButton(window, QStringLiteral("&Okay"));
      return;
    }
    if (dialog != LastDialog) {
      LastDialog = dialog;
      TDialogSeen seen;
      seen.Title = dialog->windowTitle();
      seen.Mode = dialog->acceptMode();
      seen.FileMode = dialog->fileMode();
      seen.Filters = dialog->nameFilters();
      seen.ConfirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
      seen.Directory = dialog->directory().absolutePath();
      seen.InitialName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
      Seen << seen;
    }
    if (Answers.empty()) {
      dialog->reject();
      return;
    }
    auto answer = Answers.front();
    Answers.pop_front();
    answer(dialog);
  }

  // Runs a command; returns how many redraws it caused.
  qsizetype Redraws(const std::function<void()>& command) {
    const qsizetype before = Commands();
    command();
    return (Commands() - before) / PerRedraw;
  }

  QString YearColourText() const {
    return QString::number(Form.CalendarYearTextColorPanel->Color());
  }

  QTemporaryDir Dir;
  TRecordedDesktop Desktop{"MATE"};
  TErrorForm Errors;
  std::deque<std::function<void(QFileDialog*)>> Answers;
  QList<TDialogSeen> Seen;
  QStringList Messages;
  QPointer<QFileDialog> LastDialog;
  TModalAnswerer Answerer{[this](QWidget* w) { Answer(w); }};
  TMainForm Form;
  qsizetype PerRedraw = 0;
};

TEST_F(SkinFilesTest, SaveWritesEverySkinKeyAndOverwritesWithoutAsking) {
  ASSERT_GT(PerRedraw, 0);
  Form.CalendarTextEffectComboBox->setCurrentText("Shadow");
  Form.CalendarYearTextColorPanel->SetColor(0x123456);
  Type(At("Mine"));
  EXPECT_EQ(Redraws([&] { QTest::mouseClick(Form.CalendarSaveSkinLabel, Qt::LeftButton); }), 0);
  ASSERT_EQ(Seen.size(), 1);
  EXPECT_EQ(Seen[0].Title, "Save As") << "no title of its own";
  EXPECT_EQ(Seen[0].Mode, QFileDialog::AcceptSave);
  EXPECT_EQ(Seen[0].Filters, QStringList{"Skins (*.wps)"});
  EXPECT_FALSE(Seen[0].ConfirmsOverwrite);
  EXPECT_EQ(Seen[0].Directory, QDir(SkinDirectory()).absolutePath());
  EXPECT_EQ(Seen[0].InitialName, "") << "no skin yet: the folder's skins are listed";
  EXPECT_EQ(Form.LastCalendarSkinName, "Mine");
  ASSERT_TRUE(QFile::exists(At("Mine.wps")));

  TStoredTextList saved(At("Mine.wps"));
  ASSERT_TRUE(saved.Load());
  for (const char* key :
       {"TextEffect", "DaysVSS", "FirstDayIsMonday", "OtherMonthsWeekendTextColor"})
    EXPECT_TRUE(saved.Value("CalendarSkin", key)) << key;
  EXPECT_EQ(saved.Value("CalendarSkin", "TextEffect"), "Shadow");
  EXPECT_EQ(saved.Value("CalendarSkin", "YearTextColor"), QString::number(0x123456));

  // Again, at the name it offers: the file is replaced without a question.
  Form.CalendarTextEffectComboBox->setCurrentText("None");
  Answers.push_back([](QFileDialog* dialog) {
    QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
  });
  Form.SaveCalendarSkin();
  ASSERT_EQ(Seen.size(), 2);
  EXPECT_EQ(Seen[1].InitialName, "Mine.wps");
  EXPECT_TRUE(Messages.isEmpty()) << Messages.join("\n").toStdString();
  // The offered name lies in the skin folder; the test's own copy there goes afterwards.
  const QString offered = SkinDirectory() + "/Mine.wps";
  TStoredTextList again(offered);
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.Value("CalendarSkin", "TextEffect"), "None");
  QFile::remove(offered);
}

TEST_F(SkinFilesTest, LoadReadsTheWholeSkinOrOnlyItsColoursWithOneRedraw) {
  Form.CalendarTextEffectComboBox->setCurrentText("Shadow");
  Form.CalendarOvalBackCheckBox->setChecked(true);
  Form.CalendarYearTextColorPanel->SetColor(0x123456);
  Form.CalendarTodayBackColorPanel->SetColor(0x00FF00);
  Type(At("Mine.wps"));
  Form.SaveCalendarSkin();
  {
    QFile other(At("Other.wps"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("[CalendarSkin]\r\nTextEffect=None\r\nOvalBack=FALSE\r\nYearTextColor=255\r\n");
  }
  QTest::mouseClick(Form.CalendarDefaultSkinLabel, Qt::LeftButton);

  // A name typed without extension is the skin file.
  Type(At("Mine"));
  EXPECT_EQ(Redraws([&] { QTest::mouseClick(Form.CalendarLoadSkinLabel, Qt::LeftButton); }), 1);
  ASSERT_EQ(Seen.size(), 2);
  EXPECT_EQ(Seen[1].Title, "Load calendar skin");
  EXPECT_EQ(Seen[1].FileMode, QFileDialog::ExistingFile);
  EXPECT_EQ(Seen[1].Filters, QStringList{"Skins (*.wps)"});
  EXPECT_EQ(Seen[1].InitialName, "Mine.wps");
  EXPECT_EQ(Form.LastCalendarSkinName, "Mine");
  EXPECT_EQ(Form.CalendarTextEffectComboBox->currentText(), "Shadow");
  EXPECT_TRUE(Form.CalendarOvalBackCheckBox->isChecked());
  EXPECT_EQ(YearColourText(), QString::number(0x123456));
  EXPECT_FALSE(Form.Updating);

  // Colours only: every colour from the file, a missing one at its default; the rest stays.
  Type(At("Other.wps"));
  EXPECT_EQ(Redraws([&] { QTest::mouseClick(Form.CalendarLoadSkinColorsLabel, Qt::LeftButton); }),
            1);
  EXPECT_EQ(Seen.constLast().Title, "Load calendar colors");
  EXPECT_EQ(Form.LastCalendarSkinName, "Other");
  EXPECT_EQ(YearColourText(), "255");
  EXPECT_EQ(Form.CalendarTodayBackColorPanel->Color(),
            Form.CalendarTodayBackColorPanel->DefaultColor());
  EXPECT_EQ(Form.CalendarTextEffectComboBox->currentText(), "Shadow");
  EXPECT_TRUE(Form.CalendarOvalBackCheckBox->isChecked());

  // A whole load after it reads everything again.
  Type(At("Other.wps"));
  EXPECT_EQ(Redraws([&] { Form.LoadCalendarSkin(true); }), 1);
  EXPECT_EQ(Form.CalendarTextEffectComboBox->currentText(), "None");
  EXPECT_FALSE(Form.CalendarOvalBackCheckBox->isChecked());
  EXPECT_TRUE(Messages.isEmpty()) << Messages.join("\n").toStdString();
}

TEST_F(SkinFilesTest, CancelAndNamesThatDoNotExistChangeNothing) {
  Form.CalendarTextEffectComboBox->setCurrentText("Shadow");
  Form.CalendarYearTextColorPanel->SetColor(0x123456);
  for (const bool all : {true, false}) {
    Type({});
    EXPECT_EQ(Redraws([&] { Form.LoadCalendarSkin(all); }), 0);
    EXPECT_EQ(Form.LastCalendarSkinName, "") << "the dialog's \"*\" is not kept";
  }
  Type({});
  Form.SaveCalendarSkin();
  EXPECT_EQ(Form.LastCalendarSkinName, "");
  EXPECT_TRUE(QDir(Dir.path()).isEmpty());

  Form.LastCalendarSkinName = "Earlier";
  // The dialog refuses the name and stays open; then the user cancels.
  Type(At("Nope"));
  Type({});
  EXPECT_EQ(Redraws([&] { Form.LoadCalendarSkin(true); }), 0);
  ASSERT_EQ(Messages.size(), 1);
  EXPECT_TRUE(Messages[0].contains("Nope.wps")) << Messages[0].toStdString();
  // A dialog that lets it through: refused all the same, before any key is read.
  Return(At("Gone.wps"));
  EXPECT_EQ(Redraws([&] { Form.LoadCalendarSkin(false); }), 0);
  ASSERT_EQ(Messages.size(), 2);
  EXPECT_EQ(Messages[1], QString("File \"%1\" does not exist.").arg(At("Gone.wps")));

  // One that cannot be read: reported, and not a single control reset to its default.
  {
    QFile locked(At("Locked.wps"));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.write("[CalendarSkin]\r\nTextEffect=None\r\n");
    locked.close();
    ASSERT_TRUE(locked.setPermissions({}));
    TWithoutReadOverride asAUser;
    Return(At("Locked.wps"));
    EXPECT_EQ(Redraws([&] { Form.LoadCalendarSkin(true); }), 0);
  }
  ASSERT_EQ(Messages.size(), 3);
  EXPECT_TRUE(Messages[2].contains(At("Locked.wps")) && Messages[2].contains("Permission denied"))
      << Messages[2].toStdString();

  EXPECT_EQ(Form.LastCalendarSkinName, "Earlier");
  EXPECT_EQ(Form.CalendarTextEffectComboBox->currentText(), "Shadow");
  EXPECT_EQ(YearColourText(), QString::number(0x123456));
  EXPECT_FALSE(QFile::exists(At("Nope.wps")));
  EXPECT_FALSE(QFile::exists(At("Gone.wps")));
}

TEST(SkinFileName, AnExtensionIsAddedOnlyToANameWithoutOne) {
  const struct {
    const char* Chosen;
    const char* File;
  } cases[] = {{"/s/Blue", "/s/Blue.wps"},     {"/s/Blue.wps", "/s/Blue.wps"},
               {"/s/Blue.ini", "/s/Blue.ini"}, {"/s.d/Blue", "/s.d/Blue.wps"},
               {"/s/my.skin", "/s/my.skin"},   {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(SkinFileName(c.Chosen), c.File) << c.Chosen;
}

}  // namespace
