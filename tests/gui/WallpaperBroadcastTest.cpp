// The "Broadcast wallpaper change for other programs" label on a real session bus of its own: a
// program listening for the signal hears it, with or without pictures to offer. A process of
// its own, because the session bus connection is made once per process.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QProcess>
#include <QTabWidget>
#include <QTest>

#include "LinkLabel.h"
#include "MainDialog/MainDialog.h"
#include "PictureFiles.h"
#include "Platform/Broadcast.h"
#include "Registry.h"

namespace {

class TListener : public QObject {
  Q_OBJECT
 public:
  int Count = 0;
 public Q_SLOTS:
  void Received() { ++Count; }
};

QString BroadcastValue() {
  return GetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange");
}

}  // namespace

TEST(WallpaperBroadcast, TheLabelWritesThePickAndSignalsEvenWithoutPictures) {
  QProcess bus;
  bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
  ASSERT_TRUE(bus.waitForReadyRead(10000));
  const QString address = QString::fromLatin1(bus.readLine()).trimmed();
  ASSERT_FALSE(address.isEmpty());
  qputenv("DBUS_SESSION_BUS_ADDRESS", address.toLatin1());
  QDBusConnection listenerBus = QDBusConnection::connectToBus(address, "listener");
  ASSERT_TRUE(listenerBus.isConnected());
  TListener listener;
  ASSERT_TRUE(listenerBus.connect({}, Platform::BroadcastPath, Platform::BroadcastInterface,
                                  Platform::BroadcastMember, &listener, SLOT(Received())));

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

  QDBusConnection::disconnectFromBus("listener");
  bus.kill();
  bus.waitForFinished();
}

#include "WallpaperBroadcastTest.moc"
