// The main window composing a plain picture for a desktop that records its commands, so that a
// test can count the compositions a change costs.
#pragma once

#include <QCheckBox>

#include "MainDialog/MainDialog.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"

// A 64 x 48 picture of `colour` as the current one; automatic changes and the broadcast off, so
// only the test composes; start-up over.
inline void UsePlainPicture(TMainForm& form, QRgb colour) {
  form.LastFileTitle = SavePicture(SolidImage(64, 48, colour), "plain.png");
  form.IsAutoChangeWallpaperCheckBox->setChecked(false);
  form.IsBroadcastWallpaperChangeCheckBox->setChecked(false);
  form.Updating = false;
}

// The commands the desktop is given for one redraw.
inline qsizetype CommandsPerRedraw(TMainForm& form, const TRecordedDesktop& desktop) {
  const qsizetype before = desktop.Runner->Commands.size();
  form.RedrawWallpaperOnParamChange();
  return desktop.Runner->Commands.size() - before;
}
