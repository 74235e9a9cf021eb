#include "PrivateBus.h"

TPrivateBus::TPrivateBus() {
  Bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
  if (!Bus.waitForReadyRead(10000)) return;
  BusAddress = QString::fromLatin1(Bus.readLine()).trimmed();
  if (!BusAddress.isEmpty()) qputenv("DBUS_SESSION_BUS_ADDRESS", BusAddress.toLatin1());
}

TPrivateBus::~TPrivateBus() {
  Bus.kill();
  Bus.waitForFinished();
}
