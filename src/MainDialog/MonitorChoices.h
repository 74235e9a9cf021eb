// The main window's choices for more than one monitor, and the arrangement each stands for.
#pragma once

#include <QStringList>
#include <iterator>

#include "Monitors/MonitorFit.h"

struct TArrangementChoice {
  TArrangement Value;
  const char* Text;  // also the text the options file stores
};

inline constexpr TArrangementChoice ArrangementChoices[] = {
    {TArrangement::Same, "The same picture on every monitor"},  // the default: first
    {TArrangement::Different, "A different picture on each monitor"},
    {TArrangement::Across, "One picture across all monitors"},
};

inline QStringList MonitorArrangementItems() {
  QStringList items;
  for (const TArrangementChoice& choice : ArrangementChoices) items << QLatin1String(choice.Text);
  return items;
}

inline QString PrimaryMonitorItem() {
  return QStringLiteral("The primary monitor");
}
