// Date-times as the program keeps and stores them: local wall-clock time as a real number of
// days since 30 December 1899 00:00, the fraction being the time of day.
#pragma once

class QDate;
class QDateTime;
class QTime;

using TDateTime = double;

inline constexpr double SecondsPerDay = 86400.0;
inline constexpr double MillisecondsPerDay = 86400000.0;

// The date-time of a calendar date and a time of day.
TDateTime EncodeDateTime(const QDate& date, const QTime& time);
// `value` as local time; an invalid value gives 0.
TDateTime QDateTimeToDateTime(const QDateTime& value);
// The local date-time `value` stands for, to the millisecond; invalid when `value` is not a
// finite number between the years 1 and 9999.
QDateTime DateTimeToQDateTime(TDateTime value);

// The current local date-time, from the platform clock.
TDateTime Now();

// The calendar day of `value`: its whole days, truncated toward zero.
double DayOf(TDateTime value);
