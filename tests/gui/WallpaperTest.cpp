// The main window composing and applying the wallpaper, moving through the pictures, the
// broadcast and the timer, on real picture files; the desktop setter records instead of setting.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QScreen>

#include "ColorPanel.h"
#include "Error.h"
#include "ErrorForm.h"
#include "File.h"
#include "MainDialog/MainDialog.h"
#include "ModalAnswerer.h"
#include "MyGDIPlus.h"
#include "MyTime.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"
#include "Registry.h"

namespace {

QString WallpaperPath() {
  return GetOperatorPath() + "Backdropper_Wallpaper.bmp";
}

class WallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ErrorForm = &Errors;
    QFile::remove(WallpaperPath());
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
      Paths << SavePicture(SolidImage(64, 48, qRgb(200, 40, 40)), name);
    Form.PictureFileNames = Paths;
    Form.UpdateLoadedPicturesCount();
    Form.Updating = false;
  }
  void TearDown() override { ErrorForm = nullptr; }

  TRecordedDesktop Desktop{"MATE"};
  TErrorForm Errors;
  // Reports and message boxes are closed; the input box is each test's own business.
  TModalAnswerer Answerer{[](QWidget* w) {
    if (qobject_cast<QInputDialog*>(w)) return;
    TModalAnswerer::ClickButton(w, "&Okay") || TModalAnswerer::ClickButton(w, "OK");
  }};
  TMainForm Form;
  QStringList Paths;
};

}  // namespace

TEST_F(WallpaperTest, NextAppliesAScreenSizedWallpaperAndUpdatesTheLabels) {
  Form.NextWallpaperLabelClick();
  EXPECT_EQ(Form.LastFileTitle, Paths[0]);
  EXPECT_EQ(Form.PictureIndex, 0);
  const QImage wallpaper(WallpaperPath());
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  ASSERT_FALSE(wallpaper.isNull());
  EXPECT_EQ(wallpaper.size(), screen);
  EXPECT_EQ(Form.LastPictureLabel->text(),
            "Current picture (index 1) \"a.png\" in \"" + PathOfFile(Paths[0]) + "\"");
  EXPECT_TRUE(Form.CurrentSkewLabel->text().startsWith("(Current full skew "));
  EXPECT_EQ(Form.PictureAppliedNormFactorLabel->text(), "(Applied normalization factor 0)");
  EXPECT_FALSE(Desktop.Runner->Commands.isEmpty()) << "the desktop was told";
}

TEST_F(WallpaperTest, GuardSkipsUpdatingNonPicturesAndTheWallpaperItself) {
  Form.LastFileTitle = Paths[0];
  Form.Updating = true;
  Form.SetFileAsWallpaper(true);
  EXPECT_FALSE(QFile::exists(WallpaperPath()));
  Form.Updating = false;

  const QString text = TestPicturePath("notes.txt");
  QFile(text).open(QIODevice::WriteOnly);
  Form.LastFileTitle = text;
  Form.SetFileAsWallpaper(true);
  EXPECT_FALSE(QFile::exists(WallpaperPath()));

  Form.LastFileTitle = Paths[0];
  Form.SetFileAsWallpaper(true);
  ASSERT_TRUE(QFile::exists(WallpaperPath()));
  Form.LastFileTitle = PathOfFile(WallpaperPath()) + "BACKDROPPER_WALLPAPER.bmp";
  const auto before = QFileInfo(WallpaperPath()).lastModified();
  Form.SetFileAsWallpaper(true);
  EXPECT_EQ(QFileInfo(WallpaperPath()).lastModified(), before);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST_F(WallpaperTest, RedrawKeepsTheFittedPictureAndReloadFitsAgain) {
  Form.NextWallpaperLabelClick();
  const qint64 fitted = Form.FittedPicture.cacheKey();
  Form.CalendarYearTextColorPanel->SetColor(0x00FF00);  // a calendar setting: redraw only
  EXPECT_EQ(Form.FittedPicture.cacheKey(), fitted);
  Form.GammaPictureComboBox->setCurrentText("200");  // an effect: fitted again
  EXPECT_NE(Form.FittedPicture.cacheKey(), fitted);
}

TEST_F(WallpaperTest, AnUnreadablePictureEmptiesTheTitleAndKeepsTheOldWallpaper) {
  Form.NextWallpaperLabelClick();
  const QByteArray before = [] {
    QFile f(WallpaperPath());
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  QFile broken(Paths[1]);
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
  broken.write("not a picture");
  broken.close();
  Form.NextWallpaperLabelClick();
  EXPECT_EQ(Form.LastFileTitle, "");
  EXPECT_EQ(FunStatContext.Status, fsError);
  QFile after(WallpaperPath());
  after.open(QIODevice::ReadOnly);
  EXPECT_EQ(after.readAll(), before);
}

TEST_F(WallpaperTest, NextDropsVanishedPicturesAndTheCountFollows) {
  Form.NextWallpaperLabelClick();
  QFile::remove(Paths[1]);
  QFile::remove(Paths[2]);
  Form.NextWallpaperLabelClick();
  EXPECT_EQ(Form.LastFileTitle, Paths[3]);
  EXPECT_EQ(Form.PictureIndex, 1);
  EXPECT_EQ(Form.LoadedPicturesCountLabel->text(),
            "There are 2 picture ready to be used as wallpapers");
}

TEST_F(WallpaperTest, IndexBoxMovesToTheTypedEntryAndRefusesBadInput) {
  auto type = [](const QString& text) {
    return [text](QWidget* w) {
      if (auto* box = qobject_cast<QInputDialog*>(w)) {
        box->setTextValue(text);
        box->accept();
      }
    };
  };
  {
    TModalAnswerer typed(type("3"));
    Form.IndexWallpaperLabelClick();
  }
  EXPECT_EQ(Form.PictureIndex, 2);
  EXPECT_EQ(Form.LastFileTitle, Paths[2]);
  for (const char* refused : {"9", "0", "-1", "two"}) {
    TModalAnswerer typed(type(refused));
    Form.IndexWallpaperLabelClick();
    EXPECT_EQ(Form.PictureIndex, 2) << refused;
  }
}

TEST_F(WallpaperTest, BroadcastWritesThePickAndSwitchingItOffEmptiesIt) {
  Form.BroadcastWallpaperChange();
  EXPECT_TRUE(
      Paths.contains(GetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange")));
  EXPECT_GT(Form.LastBroadcastTime, 0);
  Form.IsBroadcastWallpaperChangeCheckBox->setChecked(false);
  EXPECT_EQ(GetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange"), "");

  Form.PictureFileNames.clear();
  SetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange", "x");
  Form.BroadcastWallpaperChange();
  EXPECT_EQ(GetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange"), "");
}

TEST_F(WallpaperTest, AFirstTickWithAFreshScheduleChangesThePicture) {
  Form.LastAutoChangeTime = 0;
  Form.TimerTimer();
  EXPECT_EQ(Form.LastFileTitle, Paths[0]);
  EXPECT_TRUE(QFile::exists(WallpaperPath()));
  EXPECT_NEAR(Form.LastAutoChangeTime, Now(), 1.0 / 86400 * 5);
  const QString first = Form.LastFileTitle;
  Form.TimerTimer();
  EXPECT_EQ(Form.LastFileTitle, first) << "not due again within the hour";
}
