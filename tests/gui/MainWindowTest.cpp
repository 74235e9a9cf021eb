// The main window as the user meets it: frame, pages, every named control with its caption,
// items and factory state, and the window's close, minimise, help and about behaviour.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "AboutDialog.h"
#include "ColorPanel.h"
#include "LinkLabel.h"
#include "MainDialog/MainDialog.h"
#include "WidgetItems.h"
#include "ModalAnswerer.h"
#include "Platform/Launcher.h"
#include "SystemTray.h"

namespace {

QStringList TabTexts(QTabWidget* tabs) {
  QStringList texts;
  for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
  return texts;
}

const QStringList Intervals = {"5 minutes", "15 minutes", "30 minutes", "1 hour",   "2 hours",
                               "3 hours",   "6 hours",    "12 hours",   "20 hours", "1 day",
                               "2 days",    "3 days",     "1 week"};

struct TCheckBoxCase {
  const char* Name;
  QCheckBox* TMainForm::*Member;
  const char* Caption;
  bool Checked;
};

const TCheckBoxCase CheckBoxes[] = {
    {"AutorunCheckBox", &TMainForm::AutorunCheckBox,
     "Automatically start program when the system starts", true},
    {"HideOnCloseCheckBox", &TMainForm::HideOnCloseCheckBox, "Hide the program when it is closed",
     true},
    {"IsAutoChangeWallpaperCheckBox", &TMainForm::IsAutoChangeWallpaperCheckBox,
     "Automatically change wallpaper every", true},
    {"RandomWallpaperCheckBox", &TMainForm::RandomWallpaperCheckBox, "Randomly", false},
    {"UseAutoChangeWallpaperStartTimeCheckBox", &TMainForm::UseAutoChangeWallpaperStartTimeCheckBox,
     "Automatically change from hour", false},
    {"IsBroadcastWallpaperChangeCheckBox", &TMainForm::IsBroadcastWallpaperChangeCheckBox,
     "Broadcast wallpaper change for other programs every", true},
    {"FitAndCropCheckBox", &TMainForm::FitAndCropCheckBox,
     "then fit the smaller axis and crop the resized bigger axis", false},
    {"StretchPictureCheckBox", &TMainForm::StretchPictureCheckBox, "then stretch picture", true},
    {"FitBeforeTileCheckBox", &TMainForm::FitBeforeTileCheckBox, "then fit before tile", true},
    {"IsTileCheckBox", &TMainForm::IsTileCheckBox, "then tile", true},
    {"UsePictureNormalizeBrightnessCheckBox", &TMainForm::UsePictureNormalizeBrightnessCheckBox,
     "Normalize brightness at level", false},
    {"ShowCalendarCheckBox", &TMainForm::ShowCalendarCheckBox, "Show on wallpaper", true},
};

struct TComboBoxCase {
  const char* Name;
  QComboBox* TMainForm::*Member;
  QStringList Items;
  const char* Current;
  int VisibleRows;  // 0: not fixed
};

std::vector<TComboBoxCase> ComboBoxes() {
  QStringList letters;
  for (char c = 'A'; c <= 'Z'; ++c) letters << QString(QLatin1Char(c));
  return {
      {"HotkeyComboBox", &TMainForm::HotkeyComboBox, letters, "W", 10},
      {"DesktopMarginComboBox", &TMainForm::DesktopMarginComboBox, Numbers(0, 50, 5), "20", 0},
      {"AutoChangeWallpaperIntervalComboBox", &TMainForm::AutoChangeWallpaperIntervalComboBox,
       Intervals, "1 hour", 20},
      {"AutoChangeWallpaperStartTimeComboBox", &TMainForm::AutoChangeWallpaperStartTimeComboBox,
       Numbers(0, 23), "0", 24},
      {"BroadcastWallpaperChangeIntervalComboBox",
       &TMainForm::BroadcastWallpaperChangeIntervalComboBox, Intervals, "1 hour", 20},
      {"PictureMinStretchSizeComboBox", &TMainForm::PictureMinStretchSizeComboBox,
       QStringList{"-1", "100", "150", "200", "250", "300", "350", "400", "450", "500", "600",
                   "700", "800", "900", "1000"},
       "300", 0},
      {"PictureMaxStretchSkewComboBox", &TMainForm::PictureMaxStretchSkewComboBox,
       QStringList{"-1", "105", "110", "115", "120", "125", "130", "135", "140", "145", "150",
                   "160", "170", "180"},
       "120", 0},
      {"GammaPictureComboBox", &TMainForm::GammaPictureComboBox,
       QStringList{"1", "5", "10", "15", "20", "25", "30"} + Numbers(40, 200, 10) +
           QStringList{"250", "300", "350", "400", "450", "500", "600", "700", "800", "900",
                       "1000"},
       "100", 0},
      {"PictureNormalizeBrightnessLevelComboBox",
       &TMainForm::PictureNormalizeBrightnessLevelComboBox, Numbers(5, 95, 5), "50", 0},
      {"PictureNormalizeBrightnessMethodComboBox",
       &TMainForm::PictureNormalizeBrightnessMethodComboBox,
       QStringList{"Anisotropic dampening", "Balanced scaling", "Mirrored scaling"},
       "Balanced scaling", 0},
  };
}

struct TLabelCase {
  const char* Name;
  const char* Caption;
  bool Link;
  bool Enabled;  // links only: false while the action is not available yet
};

const TLabelCase Labels[] = {
    {"AboutLabel", "About", true, true},
    {"HelpLabel", "Help", true, true},
    {"CloseProgramLabel", "Close", true, true},
    {"HotkeyLabel", "Hotkey", false, true},
    {"Label17",
     "(\"Ctrl+Shift\" = next picture; \"Ctrl+Alt\" = previous picture; \"Shift+Alt\" = random "
     "picture)",
     false, true},
    {"Label19", "Desktop margin", false, true},
    {"NextWallpaperLabel", "Next", true, true},
    {"PreviousWallpaperLabel", "Previous", true, true},
    {"FirstWallpaperLabel", "First", true, true},
    {"LastWallpaperLabel", "Last", true, true},
    {"IndexWallpaperLabel", "Index", true, true},
    {"RandomWallpaperLabel", "Random", true, true},
    {"UserWallpaperLabel", "Use user wallpaper", true, true},
    {"Label3", "View picture", true, true},
    {"Label18", "Clip picture file title", true, true},
    {"Label4", "Redraw wallpaper", true, true},
    {"LoadedPicturesCountLabel", "There are 0 picture ready to be used as wallpapers", false, true},
    {"CurrentSkewLabel", "(No current skew available)", false, true},
    {"PictureAppliedNormFactorLabel", "(No applied normalization factor)", false, true},
    {"AddDirectoryLabel", "Add directory", true, true},
    {"DeleteDirectoryLabel", "Delete directory", true, true},
    {"ReloadFileNamesLabel", "Reload file names", true, true},
    {"Label29", "Clip picture file titles", true, true},
    {"BroadcastHelpLabel",
     "\"Broadcasting\" is a process through which Backdropper informs other programs which run "
     "on your system that they should change their wallpaper. They also receive the name of the "
     "picture file they should use as wallpaper. This way, other programs don't have to handle "
     "the module which chooses a picture. Only programs which have been specifically designed "
     "for this function can use it.",
     false, true},
    {"TestBroadcastHelpLabel",
     "If you are developing a program which uses the wallpaper change broadcast function and "
     "you need to test it, click the label bellow to force Backdropper to broadcast this "
     "message.",
     false, true},
    {"Label6", "Broadcast wallpaper change for other programs", true, true},
    {"Label27", "View picture", true, true},
    {"CalendarLoadSkinLabel", "Load skin", true, true},
    {"CalendarLoadSkinColorsLabel", "Load skin colors", true, true},
    {"CalendarSaveSkinLabel", "Save skin", true, true},
    {"CalendarDefaultSkinLabel", "Default skin", true, true},
    {"CalendarSetDesktopPositionLabel", "Set position on wallpaper", true, true},
};

// Records what would be opened in the user's browser.
class TRecordingLauncher : public Platform::ILauncher {
 public:
  explicit TRecordingLauncher(QStringList* opened) : Opened(opened) {}
  bool Open(const QString& target) override {
    *Opened << target;
    return true;
  }
  bool Start(const QString&, const QStringList&, const QString&) override { return true; }

 private:
  QStringList* Opened;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { Form = std::make_unique<TMainForm>(); }
  std::unique_ptr<TMainForm> Form;
};

TEST_F(MainWindowTest, FrameHasCaptionFixedSizeFontAndPages) {
  EXPECT_EQ(Form->windowTitle(), QStringLiteral("Backdropper"));
  EXPECT_EQ(Form->size(), QSize(465, 380));
  EXPECT_EQ(Form->minimumSize(), Form->maximumSize()) << "the window must not be resizable";
  EXPECT_FALSE(Form->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(Form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(Form->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(Form->font().pixelSize(), 12);

  EXPECT_EQ(TabTexts(Form->PageControl), (QStringList{"Wallpaper", "Calendar", "General"}));
  EXPECT_EQ(Form->PageControl->currentIndex(), 0) << "the Wallpaper page is shown first";
  EXPECT_EQ(TabTexts(Form->WallpaperPageControl),
            (QStringList{"General", "Resize", "Monitors", "Effects", "Directories", "Broadcast"}));
  EXPECT_EQ(TabTexts(Form->CalendarPageControl),
            (QStringList{"General", "Back", "Back colors", "Header", "Year", "Month", "Day of week",
                         "Days"}));
  EXPECT_EQ(Form->Timer->interval(), 1000);
  EXPECT_FALSE(Form->Timer->isActive()) << "the timer starts only at the end of BeforeRun";
  EXPECT_TRUE(Form->Updating);
  EXPECT_FALSE(Form->ExitRequested);
}

TEST_F(MainWindowTest, EveryCheckBoxHasItsCaptionAndFactoryState) {
  for (const TCheckBoxCase& c : CheckBoxes) {
    SCOPED_TRACE(c.Name);
    auto* box = Form->findChild<QCheckBox*>(QLatin1String(c.Name));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box, Form.get()->*c.Member);
    EXPECT_EQ(box->text(), QString::fromUtf8(c.Caption));
    EXPECT_EQ(box->isChecked(), c.Checked);
  }
}

TEST_F(MainWindowTest, EveryComboBoxIsListOnlyWithItsItemsAndFactoryState) {
  for (const TComboBoxCase& c : ComboBoxes()) {
    SCOPED_TRACE(c.Name);
    auto* box = Form->findChild<QComboBox*>(QLatin1String(c.Name));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box, Form.get()->*c.Member);
    EXPECT_FALSE(box->isEditable());
    EXPECT_EQ(Items(box), c.Items);
    EXPECT_EQ(box->currentText(), QString::fromUtf8(c.Current));
    if (c.VisibleRows) {
      EXPECT_EQ(box->maxVisibleItems(), c.VisibleRows);
    }
  }
}

TEST_F(MainWindowTest, EveryLabelHasItsCaptionAndLinksLookLikeLinks) {
  for (const TLabelCase& c : Labels) {
    SCOPED_TRACE(c.Name);
    auto* label = Form->findChild<QLabel*>(QLatin1String(c.Name));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString::fromUtf8(c.Caption));
    auto* link = qobject_cast<TLinkLabel*>(label);
    EXPECT_EQ(link != nullptr, c.Link);
    if (!link) continue;
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->isEnabled(), c.Enabled);
    EXPECT_EQ(link->cursor().shape(), c.Enabled ? Qt::PointingHandCursor : Qt::ArrowCursor);
  }
}

TEST_F(MainWindowTest, FillingColourAndDirectoryList) {
  auto* panel = Form->findChild<TColorPanel*>(QStringLiteral("FillingPictureColorPanel"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel, Form->FillingPictureColorPanel);
  EXPECT_EQ(panel->Color(), 0);
  EXPECT_EQ(panel->DefaultColor(), 0);
  auto* list = Form->findChild<QListWidget*>(QStringLiteral("DirectoriesListBox"));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), 0);

  Form->ShowDirectoriesTab();
  EXPECT_EQ(Form->PageControl->currentWidget(), Form->WallpaperPageControl);
  EXPECT_EQ(Form->WallpaperPageControl->currentWidget(), Form->DirectoriesTab);
}

TEST_F(MainWindowTest, PeriodsFollowTheirIntervalBoxes) {
  EXPECT_DOUBLE_EQ(Form->WallpaperChangePeriod, 3600);
  EXPECT_DOUBLE_EQ(Form->BroadcastPeriod, 3600);
  Form->AutoChangeWallpaperIntervalComboBox->setCurrentText(QStringLiteral("2 days"));
  EXPECT_DOUBLE_EQ(Form->WallpaperChangePeriod, 172800);
  Form->BroadcastWallpaperChangeIntervalComboBox->setCurrentText(QStringLiteral("5 minutes"));
  EXPECT_DOUBLE_EQ(Form->BroadcastPeriod, 300);
  EXPECT_DOUBLE_EQ(Form->WallpaperChangePeriod, 172800);
}

TEST_F(MainWindowTest, LinkLabelEmitsClickedOnlyForAFullLeftClick) {
  TLinkLabel link(QStringLiteral("Go"));
  link.resize(40, 16);
  link.show();
  QSignalSpy clicked(&link, &TLinkLabel::clicked);
  QTest::mouseClick(&link, Qt::LeftButton);
  EXPECT_EQ(clicked.count(), 1);
  QTest::mouseClick(&link, Qt::RightButton);
  EXPECT_EQ(clicked.count(), 1);
  // Pressed on the link but released outside it: no click.
  QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(200, 5));
  EXPECT_EQ(clicked.count(), 1);
  QTest::keyClick(&link, Qt::Key_Space);
  EXPECT_EQ(clicked.count(), 2);
  link.setEnabled(false);
  QTest::mouseClick(&link, Qt::LeftButton);
  EXPECT_EQ(clicked.count(), 2);
}

TEST_F(MainWindowTest, CloseButtonHidesWhileHideOnCloseIsChecked) {
  Form->show();
  ASSERT_TRUE(Form->HideOnCloseCheckBox->isChecked());
  EXPECT_FALSE(Form->close()) << "hide-on-close refuses the close";
  EXPECT_FALSE(Form->isVisible());
  EXPECT_FALSE(Form->ExitRequested);

  Form->show();
  Form->HideOnCloseCheckBox->setChecked(false);
  EXPECT_TRUE(Form->close()) << "without hide-on-close the window really closes";
}

TEST_F(MainWindowTest, CloseLabelClosesEvenWithHideOnClose) {
  Form->show();
  ASSERT_TRUE(Form->HideOnCloseCheckBox->isChecked());
  QTest::mouseClick(Form->CloseProgramLabel, Qt::LeftButton);
  EXPECT_TRUE(Form->ExitRequested);
  EXPECT_FALSE(Form->isVisible());
  // Once really closing, a further close is not refused.
  Form->show();
  EXPECT_TRUE(Form->close());
}

TEST_F(MainWindowTest, MinimisingHidesToTheTrayAndTheTrayRestores) {
  Form->show();
  Form->setWindowState(Qt::WindowMinimized);
  QTRY_VERIFY(!Form->isVisible());
  EXPECT_EQ(Form->SystemTray->Owner(), Form.get());
  EXPECT_EQ(Form->SystemTray->Tip(), QStringLiteral("Backdropper"));
  EXPECT_FALSE(Form->SystemTray->Icon()->icon().isNull());
  Form->SystemTray->OnTrayNotification(TSystemTray::LeftButtonUp);
  EXPECT_TRUE(Form->isVisible());
  EXPECT_FALSE(Form->isMinimized());
}

TEST_F(MainWindowTest, HelpOpensTheMainWindowContext) {
  QStringList opened;
  Platform::SetLauncher(std::make_unique<TRecordingLauncher>(&opened));
  QTest::mouseClick(Form->HelpLabel, Qt::LeftButton);
  Platform::SetLauncher(nullptr);
  ASSERT_EQ(opened.size(), 1);
  EXPECT_TRUE(opened.first().endsWith(QStringLiteral("Help.html#context-100")))
      << opened.first().toStdString();
}

TEST_F(MainWindowTest, AboutShowsTheAboutWindowAndItsButtonClosesIt) {
  TAboutForm about;
  AboutForm = &about;
  TModalAnswerer answerer(
      [](QWidget* window) { TModalAnswerer::ClickButton(window, QStringLiteral("Okay")); });
  QTest::mouseClick(Form->AboutLabel, Qt::LeftButton);
  AboutForm = nullptr;
  ASSERT_EQ(answerer.Titles.size(), 1);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.ProgramNameLabel->text(), QStringLiteral("Backdropper"));
  EXPECT_FALSE(about.ProgramVersionLabel->text().isEmpty());
  EXPECT_FALSE(about.DescriptionLabel->text().isEmpty());
}

}  // namespace
