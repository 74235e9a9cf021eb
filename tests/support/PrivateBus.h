// A session bus of the test's own (a real dbus-daemon), which this process's session-bus
// connection uses.
#pragma once

#include <QProcess>
#include <QString>

class TPrivateBus {
 public:
  // Starts the bus and points DBUS_SESSION_BUS_ADDRESS at it.
  TPrivateBus();
  ~TPrivateBus();
  TPrivateBus(const TPrivateBus&) = delete;
  TPrivateBus& operator=(const TPrivateBus&) = delete;

  // Empty when the bus did not start.
  QString Address() const { return BusAddress; }

 private:
  QProcess Bus;
  QString BusAddress;
};
