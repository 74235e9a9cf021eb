// A session bus of the test's own (a real dbus-daemon) that this process posts to, and a second
// connection to it that counts the "WallpaperChange" signals heard.
#pragma once

#include <QObject>
#include "PrivateBus.h"

class TBroadcastListener : public QObject {
  Q_OBJECT
 public:
  // Starts the bus, points DBUS_SESSION_BUS_ADDRESS at it and starts listening.
  TBroadcastListener();
  ~TBroadcastListener() override;

  // Whether the bus runs and the listener is connected to it.
  bool Listening() const { return Connected; }
  int Count = 0;

 private Q_SLOTS:
  void Received() { ++Count; }

 private:
  TPrivateBus Bus;
  bool Connected = false;
};
