#include "Platform/Broadcast.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace Platform {

bool PostWallpaperChangeBroadcast() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  return bus.send(QDBusMessage::createSignal(QString::fromLatin1(BroadcastPath),
                                             QString::fromLatin1(BroadcastInterface),
                                             QString::fromLatin1(BroadcastMember)));
}

}  // namespace Platform
