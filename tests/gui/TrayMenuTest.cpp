// The tray menu of the main window: its entries, the check marks set as it opens, and what its
// entries change. The desktop setter records instead of setting.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>

#include "FormOnPicture.h"
#include "Error/ErrorForm.h"
#include "MainDialog/MainDialog.h"
#include "ModalAnswerer.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"

namespace {

// Captions top to bottom, "-" for a separator, a sub-menu's entries in brackets after it.
QStringList Captions(QMenu* menu) {
  QStringList captions;
  for (QAction* action : menu->actions()) {
    captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    if (action->menu()) captions << "[" + Captions(action->menu()).join(' ') + "]";
  }
  return captions;
}

QString CheckedLevel(QMenu* levels) {
  QString checked;
  for (QAction* action : levels->actions())
    if (action->isChecked()) checked += action->text();
  return checked;
}

class TrayMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ErrorForm = &Errors;
    UsePlainPicture(Form, qRgb(90, 120, 30));
  }
  void TearDown() override { ErrorForm = nullptr; }

  // Opens the menu as the tray does and closes it again.
  void OpenMenu() {
    Form.SystemTrayPopupMenu->popup({});
    Form.SystemTrayPopupMenu->hide();
  }

  TRecordedDesktop Desktop{"MATE"};
  TErrorForm Errors;
  TModalAnswerer Answerer{[](QWidget* w) { TModalAnswerer::ClickButton(w, "&Okay"); }};
  TMainForm Form;
};

}  // namespace

TEST_F(TrayMenuTest, EntriesInTheirOrder) {
  EXPECT_EQ(Captions(Form.SystemTrayPopupMenu).join('|'),
            "Close|-|Add pictures directory|-|Visible calendar|Visible background|"
            "Set calendar position|Load calendar skin|Load calendar colors|-|"
            "Normalize brightness|[None - 80 70 60 50 40 30 25 20 15 10]");
}

TEST_F(TrayMenuTest, CheckMarksFollowTheControlsEachTimeItOpens) {
  struct Case {
    bool normalise;
    const char* level;
    const char* checked;
  };
  for (const Case& c : {Case{true, "50", "50"}, Case{true, "45", "None"}, Case{false, "50", "None"},
                        Case{true, "10", "10"}}) {
    Form.Updating = true;
    Form.UsePictureNormalizeBrightnessCheckBox->setChecked(c.normalise);
    Form.PictureNormalizeBrightnessLevelComboBox->setCurrentText(c.level);
    Form.Updating = false;
    OpenMenu();
    EXPECT_EQ(CheckedLevel(Form.STP_NormalizeBrightnessMenu), c.checked)
        << c.normalise << " " << c.level;
  }
  for (bool shown : {false, true}) {
    Form.ShowCalendarCheckBox->setChecked(shown);
    Form.ShowCalendarBackCheckBox->setChecked(!shown);
    OpenMenu();
    EXPECT_EQ(Form.STP_VisibleCalendarMenu->isChecked(), shown);
    EXPECT_EQ(Form.STP_VisibleCalendarBackMenu->isChecked(), !shown);
  }
}

TEST_F(TrayMenuTest, ALevelTurnsNormalisationOnAndComposesOnce) {
  Form.SetFileAsWallpaper(true);
  const qsizetype perApply = Desktop.Runner->Commands.size();
  ASSERT_GT(perApply, 0);
  const int fitted = Form.PictureFittings;

  Form.findChild<QAction*>("STP_NormalizeBrightness30Menu")->trigger();
  EXPECT_TRUE(Form.UsePictureNormalizeBrightnessCheckBox->isChecked());
  EXPECT_EQ(Form.PictureNormalizeBrightnessLevelComboBox->currentText(), "30");
  EXPECT_EQ(Desktop.Runner->Commands.size(), 2 * perApply) << "one composition";
  EXPECT_NE(Form.PictureFittings, fitted) << "the picture was fitted again";
  EXPECT_FALSE(Form.Updating);

  Form.findChild<QAction*>("STP_NormalizeBrightness_NoneMenu")->trigger();
  EXPECT_FALSE(Form.UsePictureNormalizeBrightnessCheckBox->isChecked());
  EXPECT_EQ(Desktop.Runner->Commands.size(), 3 * perApply);
}

TEST_F(TrayMenuTest, CalendarEntriesInvertTheirBoxesAndRedraw) {
  Form.SetFileAsWallpaper(true);
  const qsizetype perApply = Desktop.Runner->Commands.size();
  const int fitted = Form.PictureFittings;
  for (QCheckBox* box : {Form.ShowCalendarCheckBox, Form.ShowCalendarBackCheckBox}) {
    QAction* entry = box == Form.ShowCalendarCheckBox ? Form.STP_VisibleCalendarMenu
                                                      : Form.STP_VisibleCalendarBackMenu;
    const bool before = box->isChecked();
    OpenMenu();
    entry->trigger();
    EXPECT_NE(box->isChecked(), before) << entry->text();
  }
  EXPECT_EQ(Desktop.Runner->Commands.size(), 3 * perApply) << "one redraw each";
  EXPECT_EQ(Form.PictureFittings, fitted) << "redrawn without fitting again";
}
