// The broadcast reaches a listener on a real session bus.
#include <gtest/gtest.h>

#include <QTest>

#include "BroadcastListener.h"
#include "Platform/Broadcast.h"

TEST(Broadcast, SignalReachesAListenerOnTheSessionBus) {
  TBroadcastListener listener;
  ASSERT_TRUE(listener.Listening());
  EXPECT_TRUE(Platform::PostWallpaperChangeBroadcast());
  EXPECT_TRUE(QTest::qWaitFor([&] { return listener.Count == 1; }, 5000));
}
