// Keeps a settings file in line with its owner's values as they change, so that a killed
// program or a lost display costs nothing the user set.
#pragma once

#include <QObject>
#include <QTimer>

#include "StoredTextList/StoredTextList.h"

class TSettingsWriter : public QObject {
 public:
  // A change is written `delayMs` after it was first told; a burst of changes in one write.
  TSettingsWriter(TStoredTextList& list, int delayMs);

  void Changed();
  // Writes now what differs from the file. A failure is reported once, and again only after
  // a write has succeeded in between.
  TStoredTextList::TSaveOutcome Flush();
  // The same without any window, for a process that is ending: a failure goes to stderr.
  void FlushQuietly();
  // Files written so far.
  int Writes() const { return WriteCount; }

 private:
  TStoredTextList::TSaveOutcome Write();

  TStoredTextList& List;
  QTimer Timer;
  bool FailureReported = false;
  int WriteCount = 0;
};
