// The broadcast reaches a listener on a real session bus.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include "Platform/Broadcast.h"

namespace {

class TListener : public QObject {
  Q_OBJECT
 public:
  int Count = 0;
 public Q_SLOTS:
  void Received() { ++Count; }
};

}  // namespace

TEST(Broadcast, SignalReachesAListenerOnTheSessionBus) {
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

  EXPECT_TRUE(Platform::PostWallpaperChangeBroadcast());
  EXPECT_TRUE(QTest::qWaitFor([&] { return listener.Count == 1; }, 5000));
  QDBusConnection::disconnectFromBus("listener");
  bus.kill();
  bus.waitForFinished();
}

#include "BroadcastTest.moc"
