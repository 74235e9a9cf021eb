// The timer's schedule: interval texts, the due rule with its optional start hour, and what one
// tick does. The window gathers its settings into TTickValues and acts through TTickActions.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "MyTime.h"

// The items of both interval combo boxes, in their order.
const QStringList& IntervalTexts();

// The period of an interval text in seconds: the leading number times the first unit word found
// ("second", "minute", "hour", "day", "week"); 1 without a unit word, 0 for the empty text.
double IntervalTextToSeconds(const QString& text);

// Whether `period` seconds have passed since `last`. With a start hour the periods are counted
// in slots from that hour of the current day, and a slot is due once `now` has reached it and it
// is later than `last`. A period that is not a positive number never falls due; a `last` that is
// not a finite number counts as never (0).
bool IsChangeDue(double period, TDateTime last, TDateTime now, std::optional<int> startHour);

// Whether the calendar was last painted on another day than `now`.
bool IsNewDay(TDateTime lastRedraw, TDateTime now);

// The settings and times one tick works from.
struct TTickValues {
  bool OnBattery = false;
  TDateTime Now = 0;
  // The hour of "Automatically change from hour" when that box is checked.
  std::optional<int> StartHour;
  int PictureCount = 0;
  bool HasCurrentPicture = false;  // LastFileTitle is not empty

  bool AutoChange = false;
  bool Randomly = false;
  double WallpaperChangePeriod = 0;
  TDateTime LastAutoChangeTime = 0;

  bool ShowCalendar = false;
  TDateTime LastRedrawTime = 0;

  bool Broadcast = false;
  double BroadcastPeriod = 0;
  TDateTime LastBroadcastTime = 0;
};

// What a tick asks of the window, called in this order. A missing function is skipped.
struct TTickActions {
  std::function<void()> Stir;
  // LastAutoChangeTime or LastBroadcastTime := the given time. Used when a last time lies
  // after now, which only a clock set back (or a damaged options file) produces.
  std::function<void(TDateTime)> RestartAutoChange;
  std::function<void(TDateTime)> RestartBroadcast;
  // StepPicture(forward, random); returns how many pictures the list holds afterwards.
  std::function<int(bool random)> StepPicture;
  std::function<void()> Broadcast;
  std::function<void(bool reload)> SetFileAsWallpaper;
};

// What a tick did.
struct TTickResult {
  bool Stirred = false;
  bool Changed = false;
  bool Broadcast = false;
  bool Redrawn = false;
  bool Reloaded = false;
};

TTickResult RunTimerTick(const TTickValues& values, const TTickActions& actions);
