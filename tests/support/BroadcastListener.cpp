#include "BroadcastListener.h"

#include <QDBusConnection>

#include "Platform/Broadcast.h"

namespace {
const char* const ListenerName = "broadcast-listener";
}

TBroadcastListener::TBroadcastListener() {
  Bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
  if (!Bus.waitForReadyRead(10000)) return;
  const QString address = QString::fromLatin1(Bus.readLine()).trimmed();
  if (address.isEmpty()) return;
  qputenv("DBUS_SESSION_BUS_ADDRESS", address.toLatin1());
  QDBusConnection bus = QDBusConnection::connectToBus(address, ListenerName);
  Connected =
      bus.isConnected() && bus.connect({}, Platform::BroadcastPath, Platform::BroadcastInterface,
                                       Platform::BroadcastMember, this, SLOT(Received()));
}

TBroadcastListener::~TBroadcastListener() {
  QDBusConnection::disconnectFromBus(ListenerName);
  Bus.kill();
  Bus.waitForFinished();
}
