// The "Broadcast wallpaper change for other programs" label on a real session bus of its own: a
// program listening for the signal hears it, with or without pictures to offer. A process of
// its own, because the session bus connection is made once per process.
#include <gtest/gtest.h>

#include <QTabWidget>
#include <QTest>

#include "BroadcastListener.h"
#include "LinkLabel.h"
#include "MainDialog/MainDialog.h"
#include "PictureFiles.h"
#include "Registry.h"

namespace {

QString BroadcastValue() {
  return GetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange");
}

}  // namespace

TEST(WallpaperBroadcast, TheLabelWritesThePickAndSignalsEvenWithoutPictures) {
  TBroadcastListener listener;
  ASSERT_TRUE(listener.Listening());

  TMainForm form;
  form.Updating = false;
  form.show();
  form.WallpaperPageControl->setCurrentWidget(form.BroadcastTab);
  SetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange", "/stale/pick.png");

  // No pictures: the value is emptied and the signal still goes out.
  QTest::mouseClick(form.Label6, Qt::LeftButton);
  EXPECT_EQ(BroadcastValue(), "");
  EXPECT_TRUE(QTest::qWaitFor([&] { return listener.Count == 1; }, 5000));
  EXPECT_GT(form.LastBroadcastTime, 0);

  // With pictures: one of them, and a second signal.
  const QString picture = SavePicture(SolidImage(8, 8, qRgb(1, 2, 3)), "offered.png");
  form.PictureFileNames = {picture};
  QTest::mouseClick(form.Label6, Qt::LeftButton);
  EXPECT_EQ(BroadcastValue(), picture);
  EXPECT_TRUE(QTest::qWaitFor([&] { return listener.Count == 2; }, 5000));
  EXPECT_EQ(form.LastFileTitle, "") << "the broadcast pick is not made the current picture";
}
