#include "StoredTextList/SettingsWriter.h"

#include <cstdio>

#include "Error/Error.h"

using TSaveOutcome = TStoredTextList::TSaveOutcome;

TSettingsWriter::TSettingsWriter(TStoredTextList& list, int delayMs) : List(list) {
  Timer.setSingleShot(true);
  Timer.setInterval(delayMs);
  connect(&Timer, &QTimer::timeout, this, [this] { Flush(); });
}

void TSettingsWriter::Changed() {
  // Not restarted: a steady stream of changes must still reach the disk.
  if (!Timer.isActive()) Timer.start();
}

TSaveOutcome TSettingsWriter::Write() {
  Timer.stop();
  // Values half read are not worth keeping.
  if (List.Loading) return TSaveOutcome::Unchanged;
  const TSaveOutcome outcome = List.SaveChanges(0);
  if (outcome == TSaveOutcome::Written) {
    ++WriteCount;
    FailureReported = false;
  }
  return outcome;
}

TSaveOutcome TSettingsWriter::Flush() {
  TSaveOutcome outcome = TSaveOutcome::Failed;
  TStatusFrame frame(__FILE__, "TSettingsWriter::Flush", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to save file."));
  frame.Run([&] {
    outcome = Write();
    // A full disk would otherwise bring the report back every two seconds.
    if (outcome == TSaveOutcome::Failed && !FailureReported) {
      FailureReported = true;
      frame.Check();
    }
  });
  return outcome;
}

void TSettingsWriter::FlushQuietly() {
  {
    TStatusFrame frame(__FILE__, "TSettingsWriter::FlushQuietly", __LINE__);
    frame.Run([&] {
      if (Write() == TSaveOutcome::Failed && frame.CalleeFailed())
        std::fprintf(stderr, "Backdropper: Failed to save file. %s: %s %s\n",
                     qPrintable(frame.Local.Parameter1), qPrintable(frame.Local.Description),
                     qPrintable(SystemErrorText(frame.Local.SystemErrorCode)));
    });
  }
  FunStatContext.Reset(fsPerfect);
}
