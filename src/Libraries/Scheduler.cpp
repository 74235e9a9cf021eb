#include "Scheduler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

struct TUnit {
  const char16_t* Word;
  double Seconds;
};

// Searched in this order; the first word found anywhere in the text wins.
constexpr TUnit Units[] = {
    {u"second", 1}, {u"minute", 60}, {u"hour", 3600}, {u"day", 86400}, {u"week", 604800},
};

// Date differences are compared in whole milliseconds, so a tick that lands exactly on a period
// boundary counts as reaching it despite rounding in the day fractions. The clamp (about 30,000
// years) keeps damaged values from overflowing.
constexpr double MaxMilliseconds = 1e15;

int64_t Milliseconds(double days) {
  return std::llround(std::clamp(days * MillisecondsPerDay, -MaxMilliseconds, MaxMilliseconds));
}

// A last time after now means the clock was set back (or the stored value is damaged): the
// interval restarts from now instead of waiting for the clock to catch up, however far that is.
TDateTime Restarted(TDateTime last, TDateTime now, const std::function<void(TDateTime)>& restart) {
  if (!std::isfinite(last) || last <= now) return last;
  if (restart) restart(now);
  return now;
}

}  // namespace

const QStringList& IntervalTexts() {
  static const QStringList texts = {
      QStringLiteral("5 minutes"), QStringLiteral("15 minutes"), QStringLiteral("30 minutes"),
      QStringLiteral("1 hour"),    QStringLiteral("2 hours"),    QStringLiteral("3 hours"),
      QStringLiteral("6 hours"),   QStringLiteral("12 hours"),   QStringLiteral("20 hours"),
      QStringLiteral("1 day"),     QStringLiteral("2 days"),     QStringLiteral("3 days"),
      QStringLiteral("1 week"),
  };
  return texts;
}

double IntervalTextToSeconds(const QString& text) {
  if (text.isEmpty()) return 0;
  qsizetype digits = 0;
  while (digits < text.size() && text.at(digits) >= u'0' && text.at(digits) <= u'9') ++digits;
  // No digits, or a number beyond 32 bits, reads as 0.
  bool ok = false;
  const int count = text.left(digits).toInt(&ok, 10);
  const double n = ok ? count : 0;
  for (const TUnit& unit : Units)
    if (text.contains(QStringView(unit.Word))) return n * unit.Seconds;
  return 1;
}

bool IsChangeDue(double period, TDateTime last, TDateTime now, std::optional<int> startHour) {
  if (!std::isfinite(period) || !std::isfinite(now) || period <= 0) return false;
  if (!std::isfinite(last)) last = 0;
  const int64_t periodMs =
      std::max<int64_t>(1, std::llround(std::min(period * 1000.0, MaxMilliseconds)));
  if (!startHour) return Milliseconds(now - last) >= periodMs;

  const TDateTime start = std::floor(now) + *startHour / 24.0;
  const int64_t elapsed = Milliseconds(now - start);
  // Integer division truncates toward zero: before the start hour the slot lies at or after now.
  const int64_t slot = elapsed / periodMs * periodMs;
  return elapsed >= slot && slot > Milliseconds(last - start);
}

bool IsNewDay(TDateTime lastRedraw, TDateTime now) {
  return DayOf(lastRedraw) != DayOf(now);
}

TTickResult RunTimerTick(const TTickValues& values, const TTickActions& actions) {
  TTickResult result;
  if (values.OnBattery) return result;

  if (actions.Stir) actions.Stir();
  result.Stirred = true;

  const TDateTime now = values.Now;
  const TDateTime lastChange = Restarted(values.LastAutoChangeTime, now, actions.RestartAutoChange);
  const TDateTime lastBroadcast =
      Restarted(values.LastBroadcastTime, now, actions.RestartBroadcast);

  bool redraw = false;
  int pictures = values.PictureCount;
  if (values.AutoChange && pictures > 0 &&
      (IsChangeDue(values.WallpaperChangePeriod, lastChange, now, values.StartHour) ||
       !values.HasCurrentPicture)) {
    // Missing files met on the way leave the list, possibly empty.
    if (actions.StepPicture) pictures = actions.StepPicture(values.Randomly);
    result.Changed = true;
    redraw = true;
  }

  if (values.ShowCalendar && IsNewDay(values.LastRedrawTime, now)) redraw = true;

  if (values.Broadcast && pictures > 0 &&
      IsChangeDue(values.BroadcastPeriod, lastBroadcast, now, values.StartHour)) {
    if (actions.Broadcast) actions.Broadcast();
    result.Broadcast = true;
  }

  if (redraw) {
    if (actions.SetFileAsWallpaper) actions.SetFileAsWallpaper(result.Changed);
    result.Redrawn = true;
    result.Reloaded = result.Changed;
  }
  return result;
}
