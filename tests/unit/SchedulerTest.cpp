#include <QDateTime>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <malloc.h>
#include <vector>
#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's own count; GCC ships no header for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "QtPrinters.h"

#include "Scheduler.h"

namespace {

const QDate Today(2024, 5, 17);

// A time `days` after the start of Today.
TDateTime At(int days, int h, int m = 0, int s = 0, int ms = 0) {
  return EncodeDateTime(Today.addDays(days), QTime(h, m, s, ms));
}

QString Text(TDateTime t) {
  return DateTimeToQDateTime(t).toString(QStringLiteral("d hh:mm:ss.zzz"));
}

QStringList Texts(const std::vector<TDateTime>& times) {
  QStringList texts;
  for (TDateTime t : times) texts << Text(t);
  return texts;
}

// The window's side of a tick: it keeps the times the called operations set, and logs the calls.
struct TWindow {
  TTickValues V;
  QStringList Log;
  int PicturesAfterStep = -1;  // -1: the step keeps the list as it is

  TWindow() {
    V.PictureCount = 10;
    V.HasCurrentPicture = true;
    V.AutoChange = true;
    V.WallpaperChangePeriod = 3600;
    V.BroadcastPeriod = 3600;
  }

  TTickResult Tick(TDateTime now) {
    V.Now = now;
    TTickActions a;
    a.Stir = [&] { Log << QStringLiteral("stir"); };
    a.RestartAutoChange = [&](TDateTime t) {
      V.LastAutoChangeTime = t;
      Log << QStringLiteral("restart change");
    };
    a.RestartBroadcast = [&](TDateTime t) {
      V.LastBroadcastTime = t;
      Log << QStringLiteral("restart broadcast");
    };
    a.StepPicture = [&](bool random) {
      V.LastAutoChangeTime = now;
      V.HasCurrentPicture = true;
      if (PicturesAfterStep >= 0) V.PictureCount = PicturesAfterStep;
      Log << (random ? QStringLiteral("random") : QStringLiteral("next"));
      return V.PictureCount;
    };
    a.Broadcast = [&] {
      V.LastBroadcastTime = now;
      Log << QStringLiteral("broadcast");
    };
    a.SetFileAsWallpaper = [&](bool reload) {
      if (V.ShowCalendar) V.LastRedrawTime = now;
      Log << (reload ? QStringLiteral("reload") : QStringLiteral("redraw"));
    };
    return RunTimerTick(V, a);
  }

  struct TEvents {
    std::vector<TDateTime> Changes, Broadcasts, Redraws;
  };

  // One tick a second from `from` for `seconds` ticks.
  TEvents Run(TDateTime from, int seconds) {
    TEvents events;
    for (int i = 0; i < seconds; ++i) {
      const TDateTime now = from + i / SecondsPerDay;
      const TTickResult r = Tick(now);
      if (r.Changed) events.Changes.push_back(now);
      if (r.Broadcast) events.Broadcasts.push_back(now);
      if (r.Redrawn && !r.Reloaded) events.Redraws.push_back(now);
    }
    return events;
  }
};

}  // namespace

TEST(Scheduler, IntervalTextsGiveTheirPeriods) {
  const double seconds[] = {300,   900,   1800,  3600,   7200,   10800, 21600,
                            43200, 72000, 86400, 172800, 259200, 604800};
  ASSERT_EQ(IntervalTexts().size(), 13);
  for (int i = 0; i < 13; ++i)
    EXPECT_EQ(IntervalTextToSeconds(IntervalTexts()[i]), seconds[i])
        << IntervalTexts()[i].toStdString();

  EXPECT_EQ(IntervalTextToSeconds(QStringLiteral("10 seconds")), 10);
  EXPECT_EQ(IntervalTextToSeconds(QStringLiteral("2 weeks")), 1209600);
  EXPECT_EQ(IntervalTextToSeconds(QStringLiteral("5minutes")), 300);
  EXPECT_EQ(IntervalTextToSeconds(QStringLiteral("007 hours")), 25200);
  EXPECT_EQ(IntervalTextToSeconds(QStringLiteral("7 fortnights")), 1);
  EXPECT_EQ(IntervalTextToSeconds(QStringLiteral("hour")), 0);
  EXPECT_EQ(IntervalTextToSeconds(QString()), 0);
  // The unit words are searched in their order, not in the text's.
  EXPECT_EQ(IntervalTextToSeconds(QStringLiteral("3 days or 3 minutes")), 180);
  // The number ends at the first non-digit; one beyond 32 bits reads as 0.
  EXPECT_EQ(IntervalTextToSeconds(QStringLiteral("1.5 hours")), 3600);
  EXPECT_EQ(IntervalTextToSeconds(QStringLiteral("99999999999 days")), 0);
  EXPECT_EQ(IntervalTextToSeconds(QStringLiteral("2147483647 weeks")), 2147483647.0 * 604800);
}

TEST(Scheduler, HourlyChangeWithoutStartHour) {
  EXPECT_FALSE(IsChangeDue(3600, At(0, 10), At(0, 10, 59, 59, 999), std::nullopt));
  EXPECT_TRUE(IsChangeDue(3600, At(0, 10), At(0, 11), std::nullopt));
  // Exactly one period, although the day fractions differ by a hair less.
  EXPECT_TRUE(IsChangeDue(3600, At(0, 2), At(0, 3), std::nullopt));

  TWindow w;
  w.V.LastAutoChangeTime = At(0, 10);
  const auto events = w.Run(At(0, 10, 0, 0, 400), 3 * 3600);
  EXPECT_EQ(Texts(events.Changes),
            QStringList({Text(At(0, 11, 0, 0, 400)), Text(At(0, 12, 0, 0, 400))}));
}

TEST(Scheduler, StartHourCountsSlotsFromThatHourToday) {
  EXPECT_FALSE(IsChangeDue(10800, At(-1, 23), At(0, 6, 30), 8));
  // A tick exactly on a slot reaches it.
  EXPECT_TRUE(IsChangeDue(3600, At(0, 0), At(0, 1), 0));
  EXPECT_FALSE(IsChangeDue(3600, At(0, 0), At(0, 0, 59, 59, 999), 0));

  TWindow w;
  w.V.StartHour = 8;
  w.V.WallpaperChangePeriod = 10800;
  w.V.LastAutoChangeTime = At(-1, 23);
  const auto events = w.Run(At(0, 0, 0, 0, 250), 86400);
  QStringList expected;
  for (int h : {8, 11, 14, 17, 20, 23}) expected << Text(At(0, h, 0, 0, 250));
  EXPECT_EQ(Texts(events.Changes), expected);
}

TEST(Scheduler, StartHourWithPeriodsOfDaysActsOnceADay) {
  TWindow w;
  w.V.StartHour = 8;
  w.V.WallpaperChangePeriod = IntervalTextToSeconds(QStringLiteral("2 days"));
  w.V.LastAutoChangeTime = At(0, 8);
  const auto events = w.Run(At(0, 8, 0, 1), 4 * 86400 - 10);
  EXPECT_EQ(Texts(events.Changes), QStringList({Text(At(1, 8)), Text(At(2, 8)), Text(At(3, 8))}));
}

TEST(Scheduler, StartAfterTheStartHourCatchesUpOnce) {
  EXPECT_TRUE(IsChangeDue(3600, At(-1, 22), At(0, 9, 30), 8));
  // Changed after this morning's slot already: the next slot is 10:00.
  EXPECT_FALSE(IsChangeDue(10800, At(0, 8, 0, 5), At(0, 9, 30), 8));

  TWindow w;
  w.V.StartHour = 8;
  w.V.WallpaperChangePeriod = 10800;
  w.V.LastAutoChangeTime = At(-1, 10);
  const auto events = w.Run(At(0, 9, 30), 3600);
  EXPECT_EQ(Texts(events.Changes), QStringList({Text(At(0, 9, 30))}));
}

TEST(Scheduler, BroadcastFollowsTheStartHourToo) {
  TWindow w;
  w.V.AutoChange = false;
  w.V.Broadcast = true;
  w.V.StartHour = 8;
  w.V.BroadcastPeriod = 10800;
  w.V.LastBroadcastTime = At(-1, 23);
  const auto events = w.Run(At(0, 6), 6 * 3600);
  EXPECT_EQ(Texts(events.Broadcasts), QStringList({Text(At(0, 8)), Text(At(0, 11))}));
  EXPECT_TRUE(events.Changes.empty());
}

TEST(Scheduler, BatteryPausesEverythingUntilMainsReturns) {
  TWindow w;
  w.V.ShowCalendar = true;
  w.V.Broadcast = true;
  w.V.LastAutoChangeTime = w.V.LastBroadcastTime = w.V.LastRedrawTime = At(-1, 12);
  w.V.OnBattery = true;
  const auto onBattery = w.Run(At(0, 0), 7200);
  EXPECT_TRUE(onBattery.Changes.empty() && onBattery.Broadcasts.empty());
  EXPECT_TRUE(w.Log.isEmpty());  // not even a stir

  w.V.OnBattery = false;
  const TTickResult r = w.Tick(At(0, 2));
  EXPECT_TRUE(r.Stirred && r.Changed && r.Broadcast && r.Redrawn && r.Reloaded);
}

TEST(Scheduler, NewDayRedrawsTheCalendarWithoutAutomaticChange) {
  TWindow w;
  w.V.AutoChange = false;
  w.V.ShowCalendar = true;
  w.V.LastRedrawTime = At(-1, 23, 59, 59);
  const auto events = w.Run(At(-1, 23, 59, 59, 500), 7200);
  EXPECT_EQ(Texts(events.Redraws), QStringList({Text(At(0, 0, 0, 0, 500))}));
  EXPECT_EQ(w.Log.count(QStringLiteral("redraw")), 1);

  // With the calendar hidden there is nothing to redraw.
  TWindow hidden;
  hidden.V.AutoChange = false;
  hidden.V.LastRedrawTime = At(-3, 12);
  EXPECT_FALSE(hidden.Tick(At(0, 9)).Redrawn);
}

TEST(Scheduler, OneTickStirsChangesBroadcastsThenComposes) {
  TWindow w;
  w.V.Broadcast = true;
  w.V.ShowCalendar = true;
  w.V.Randomly = true;
  w.Tick(At(0, 12));
  EXPECT_EQ(w.Log, QStringList({"stir", "random", "broadcast", "reload"}));

  // A change that found every file gone leaves nothing to broadcast.
  TWindow emptied;
  emptied.V.Broadcast = true;
  emptied.PicturesAfterStep = 0;
  emptied.Tick(At(0, 12));
  EXPECT_EQ(emptied.Log, QStringList({"stir", "next", "reload"}));

  // No current picture: a change at once, whatever the interval.
  TWindow noPicture;
  noPicture.V.LastAutoChangeTime = At(0, 11, 59, 59);
  noPicture.V.HasCurrentPicture = false;
  EXPECT_TRUE(noPicture.Tick(At(0, 12)).Changed);
  EXPECT_FALSE(noPicture.Tick(At(0, 12, 0, 1)).Changed);

  // An empty list: neither change nor broadcast, but the new day is still drawn.
  TWindow empty;
  empty.V.PictureCount = 0;
  empty.V.HasCurrentPicture = false;
  empty.V.Broadcast = true;
  empty.V.ShowCalendar = true;
  empty.Tick(At(0, 12));
  EXPECT_EQ(empty.Log, QStringList({"stir", "redraw"}));
}

TEST(Scheduler, DamagedOrZeroLastTimesChangeOnceThenKeepThePeriod) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double last : {0.0, std::nan(""), inf, -inf, -1e300}) {
    TWindow w;
    w.V.LastAutoChangeTime = last;
    const auto events = w.Run(At(0, 9, 0, 0, 100), 2 * 3600 + 10);
    EXPECT_EQ(Texts(events.Changes),
              QStringList({Text(At(0, 9, 0, 0, 100)), Text(At(0, 10, 0, 0, 100)),
                           Text(At(0, 11, 0, 0, 100))}))
        << last;
  }
  // Later than now: the interval starts again from now.
  for (double last : {At(1, 9), 1e300, At(5000, 0)}) {
    for (std::optional<int> startHour : {std::optional<int>(), std::optional<int>(8)}) {
      TWindow w;
      w.V.StartHour = startHour;
      w.V.LastAutoChangeTime = last;
      const auto events = w.Run(At(0, 9, 30), 2 * 3600 + 1);
      const TDateTime next = startHour ? At(0, 10) : At(0, 10, 30);
      EXPECT_EQ(Texts(events.Changes), QStringList({Text(next), Text(next + 1 / 24.0)})) << last;
      EXPECT_EQ(w.Log.count(QStringLiteral("restart change")), 1);
    }
  }
}

TEST(Scheduler, ClockJumpsNeitherStopNorRepeatTheSchedule) {
  // Forward (a suspended machine, a time zone further east): one change, then the period.
  TWindow forward;
  forward.V.Broadcast = true;
  forward.V.LastAutoChangeTime = forward.V.LastBroadcastTime = At(0, 9);
  forward.Run(At(0, 9, 30), 60);
  auto events = forward.Run(At(3, 14, 0, 0, 500), 3600);
  EXPECT_EQ(Texts(events.Changes), QStringList({Text(At(3, 14, 0, 0, 500))}));
  EXPECT_EQ(Texts(events.Broadcasts), QStringList({Text(At(3, 14, 0, 0, 500))}));

  // Back by an hour, a day or years: the next change is one period after the jump.
  for (TDateTime to : {At(0, 9, 10), At(-1, 9, 10), At(-2000, 9, 10)}) {
    TWindow back;
    back.V.Broadcast = true;
    back.V.LastAutoChangeTime = back.V.LastBroadcastTime = At(0, 10);
    events = back.Run(to, 2 * 3600);
    EXPECT_EQ(Texts(events.Changes), QStringList({Text(to + 1 / 24.0)}));
    EXPECT_EQ(Texts(events.Broadcasts), QStringList({Text(to + 1 / 24.0)}));
  }

  // With a start hour the slots go on from wherever the clock now stands.
  TWindow slots;
  slots.V.StartHour = 8;
  slots.V.WallpaperChangePeriod = 10800;
  slots.V.LastAutoChangeTime = At(0, 14, 0, 1);
  events = slots.Run(At(0, 9), 3 * 3600);
  EXPECT_EQ(Texts(events.Changes), QStringList({Text(At(0, 11))}));
}

TEST(Scheduler, PeriodsThatCannotElapseNeverFallDue) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double period : {0.0, -60.0, std::nan(""), inf}) {
    EXPECT_FALSE(IsChangeDue(period, 0, At(0, 12), std::nullopt)) << period;
    EXPECT_FALSE(IsChangeDue(period, 0, At(0, 12), 8)) << period;
  }
  EXPECT_TRUE(IsChangeDue(1, At(0, 12), At(0, 12, 0, 1), std::nullopt));
}

namespace {

// Bytes the allocator hands out at the moment (the sanitizer's count when it owns the heap).
size_t AllocatedBytes() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

}  // namespace

// A week of ticks, one a second: every due slot changes once, every day redraws once, and the
// memory a tick uses is given back.
TEST(Scheduler, AWeekOfTicksActsOnEverySlotOnceAndHoldsNoMemory) {
  TWindow w;
  w.V.StartHour = 8;
  w.V.WallpaperChangePeriod = 10800;  // "3 hours"
  w.V.LastAutoChangeTime = At(-1, 23);
  w.V.Broadcast = true;
  w.V.BroadcastPeriod = 7200;
  w.V.LastBroadcastTime = At(-1, 22);
  w.V.ShowCalendar = true;
  w.V.LastRedrawTime = At(-1, 23);

  QStringList changes, broadcasts, redraws, expectedChanges, expectedBroadcasts, expectedRedraws;
  size_t afterFirstDay = 0;
  for (int day = 0; day < 7; ++day) {
    const auto events = w.Run(At(day, 0, 0, 0, 250), 86400);
    changes << Texts(events.Changes);
    broadcasts << Texts(events.Broadcasts);
    redraws << Texts(events.Redraws);
    w.Log.clear();
    if (day == 0) afterFirstDay = AllocatedBytes();

    for (int h : {8, 11, 14, 17, 20, 23}) expectedChanges << Text(At(day, h, 0, 0, 250));
    for (int h = 8; h <= 22; h += 2) expectedBroadcasts << Text(At(day, h, 0, 0, 250));
    expectedRedraws << Text(At(day, 0, 0, 0, 250));
  }
  EXPECT_EQ(changes, expectedChanges);
  EXPECT_EQ(broadcasts, expectedBroadcasts);
  EXPECT_EQ(redraws, expectedRedraws);
  // Six more days of ticks leave at most the few event texts gathered meanwhile.
  EXPECT_LT(AllocatedBytes(), afterFirstDay + 64 * 1024);
}
