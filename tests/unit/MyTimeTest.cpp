#include <QDateTime>
#include <cmath>
#include <gtest/gtest.h>

#include "QtPrinters.h"
#include <limits>

#include "MyTime.h"
#include "TestClock.h"

namespace {

QDateTime Local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

}  // namespace

TEST(MyTime, DaysCountFromTheEndOf1899) {
  EXPECT_EQ(QDateTimeToDateTime(Local(1899, 12, 30)), 0.0);
  EXPECT_EQ(QDateTimeToDateTime(Local(1900, 1, 1, 12)), 2.5);
  EXPECT_EQ(QDateTimeToDateTime(Local(1899, 12, 29, 18)), -0.25);
  // A value as the options file stores it.
  EXPECT_EQ(DateTimeToQDateTime(39021.5738425926), Local(2006, 10, 31, 13, 46, 20));
  EXPECT_EQ(DateTimeToQDateTime(-0.25), Local(1899, 12, 29, 18));
  EXPECT_EQ(DateTimeToQDateTime(45000.999999999), Local(2023, 3, 16));
}

TEST(MyTime, RoundTripsToTheMillisecond) {
  for (const QDateTime& t :
       {Local(2024, 2, 29, 23, 59, 59, 999), Local(2000, 1, 1, 0, 0, 0, 1), Local(1, 1, 1),
        Local(9999, 12, 31, 23, 59, 59, 999), Local(1850, 7, 4, 6, 7, 8, 9)}) {
    EXPECT_EQ(DateTimeToQDateTime(QDateTimeToDateTime(t)), t)
        << t.toString(Qt::ISODateWithMs).toStdString();
  }
  EXPECT_EQ(EncodeDateTime(QDate(2024, 5, 17), QTime(6, 0)),
            QDateTimeToDateTime(Local(2024, 5, 17, 6)));
}

TEST(MyTime, DamagedValuesGiveNoDate) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {std::nan(""), inf, -inf, 1e300, -1e300, 3e6, -7e5})
    EXPECT_FALSE(DateTimeToQDateTime(bad).isValid()) << bad;
  EXPECT_EQ(QDateTimeToDateTime(QDateTime()), 0.0);
  EXPECT_EQ(EncodeDateTime(QDate(), QTime(12, 0)), 0.0);
}

TEST(MyTime, DayOfTruncatesTowardZero) {
  EXPECT_EQ(DayOf(45000.9999), 45000.0);
  EXPECT_EQ(DayOf(45001.0), 45001.0);
  EXPECT_EQ(DayOf(-0.5), 0.0);
}

TEST(MyTime, NowComesFromThePlatformClock) {
  {
    TTestClock clock(Local(2024, 5, 17, 9, 30));
    EXPECT_EQ(Now(), QDateTimeToDateTime(Local(2024, 5, 17, 9, 30)));
    clock.Set(Local(2030, 1, 1));
    EXPECT_EQ(Now(), QDateTimeToDateTime(Local(2030, 1, 1)));
  }
  // The system clock is back: its time is the local time of day.
  const double before = QDateTimeToDateTime(QDateTime::currentDateTime());
  const double now = Now();
  EXPECT_GE(now, before);
  EXPECT_LT((now - before) * SecondsPerDay, 5.0);
}

TEST(MyTime, SystemTickCountAdvancesInMilliseconds) {
  Platform::IClock& clock = Platform::Clock();
  const uint32_t first = clock.TickCount();
  QDateTime until = QDateTime::currentDateTime().addMSecs(30);
  while (QDateTime::currentDateTime() < until) {
  }
  const uint32_t elapsed = clock.TickCount() - first;
  EXPECT_GE(elapsed, 25u);
  EXPECT_LT(elapsed, 5000u);
}
