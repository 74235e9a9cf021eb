#include "MyTime.h"

#include <QDateTime>
#include <cmath>

#include "Platform/Clock.h"

namespace {

const QDate& Epoch() {
  static const QDate epoch(1899, 12, 30);
  return epoch;
}

// 1 January 0001 and the end of 31 December 9999.
constexpr double FirstDay = -693593.0;
constexpr double LastDay = 2958466.0;

}  // namespace

TDateTime EncodeDateTime(const QDate& date, const QTime& time) {
  if (!date.isValid()) return 0.0;
  const int ms = time.isValid() ? time.msecsSinceStartOfDay() : 0;
  return static_cast<double>(Epoch().daysTo(date)) + ms / MillisecondsPerDay;
}

TDateTime QDateTimeToDateTime(const QDateTime& value) {
  if (!value.isValid()) return 0.0;
  const QDateTime local = value.toLocalTime();
  return EncodeDateTime(local.date(), local.time());
}

QDateTime DateTimeToQDateTime(TDateTime value) {
  if (!std::isfinite(value) || value < FirstDay || value >= LastDay) return {};
  const long long total = std::llround(value * MillisecondsPerDay);
  const long long perDay = static_cast<long long>(MillisecondsPerDay);
  // Floor division, so times before the epoch still count forward from midnight.
  long long days = total / perDay;
  long long ms = total % perDay;
  if (ms < 0) {
    ms += perDay;
    --days;
  }
  return QDateTime(Epoch().addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

TDateTime Now() {
  return QDateTimeToDateTime(Platform::Clock().Now());
}

double DayOf(TDateTime value) {
  return std::trunc(value);
}
