#include "BroadcastListener.h"

#include <QDBusConnection>

#include "Platform/Broadcast.h"

namespace {
const char* const ListenerName = "broadcast-listener";
}

TBroadcastListener::TBroadcastListener() {
  const QString address = Bus.Address();
  if (address.isEmpty()) return;
  QDBusConnection bus = QDBusConnection::connectToBus(address, ListenerName);
  Connected =
      bus.isConnected() && bus.connect({}, Platform::BroadcastPath, Platform::BroadcastInterface,
                                       Platform::BroadcastMember, this, SLOT(Received()));
}

TBroadcastListener::~TBroadcastListener() {
  QDBusConnection::disconnectFromBus(ListenerName);
}
