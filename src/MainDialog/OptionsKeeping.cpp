// The options are written as they change, within about two seconds and a burst in one write, so
// that a killed program, a lost display or a power cut costs nothing the user set. The close
// writes them once more.
#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QThread>
#include <QTimer>
#include <cstdlib>

#include "ColorPanel.h"
#include "Error/Error.h"
#include "FavoritesDialog.h"
#include "MainDialog.h"
#include "StoredTextList/SettingsWriter.h"
#include "StoredTextList/StoredTextList.h"

namespace {

constexpr int OptionsWriteDelayMs = 2000;

// Qt's X11 plugin ends the process with exit() when the display connection breaks, without
// closing any window. The values are still in the controls; nothing here may reach for the
// display, so no report window either: a failure goes to stderr.
void WriteOptionsAtExit() {
  // The window's values belong to its thread; an exit from any other is not one of these.
  if (!MainForm || !MainForm->OptionsWriter || QThread::currentThread() != MainForm->thread())
    return;
  SetReportSink(nullptr);
  SetErrorBoxSink(nullptr);
  SetQuestionSink(nullptr);
  MainForm->OptionsWriter->FlushQuietly();
}

}  // namespace

void TMainForm::SetUpOptionsWriter() {
  OptionsWriter = std::make_unique<TSettingsWriter>(*OptionsList, OptionsWriteDelayMs);
  // The writer is the receiver: the connections go with it, before the controls do.
  TSettingsWriter* writer = OptionsWriter.get();
  const auto changed = [writer] { writer->Changed(); };
  // Every control of the window is an option.
  for (auto* box : findChildren<QCheckBox*>()) connect(box, &QCheckBox::toggled, writer, changed);
  for (auto* combo : findChildren<QComboBox*>())
    connect(combo, &QComboBox::currentTextChanged, writer, changed);
  for (auto* panel : findChildren<TColorPanel*>())
    connect(panel, &TColorPanel::ColorChanged, writer, changed);
  QAbstractItemModel* folders = DirectoriesListBox->model();
  connect(folders, &QAbstractItemModel::rowsInserted, writer, changed);
  connect(folders, &QAbstractItemModel::rowsRemoved, writer, changed);
  connect(folders, &QAbstractItemModel::rowsMoved, writer, changed);
  connect(folders, &QAbstractItemModel::dataChanged, writer, changed);
  connect(folders, &QAbstractItemModel::modelReset, writer, changed);
  // The other values change in many places; comparing them once a tick costs next to nothing.
  PlainOptionsSeen = PlainOptionValues();
  connect(Timer, &QTimer::timeout, writer, [this, writer] {
    QStringList now = PlainOptionValues();
    if (now == PlainOptionsSeen) return;
    PlainOptionsSeen = std::move(now);
    writer->Changed();
  });
  static const bool registered = std::atexit(WriteOptionsAtExit) == 0;
  Q_UNUSED(registered);
  // What start-up changed (the first run's folder, values the file could not give) is kept too.
  writer->Changed();
}

QStringList TMainForm::PlainOptionValues() const {
  QStringList values{LastFileTitle, LastCalendarSkinName, CalendarMonitor};
  for (double value : {LastAutoChangeTime, LastBroadcastTime, LastRedrawTime, RectLeft, RectTop,
                       RectWidth, RectHeight})
    values << QString::number(value, 'g', 17);
  values << QString::number(x()) << QString::number(y());
  values << Favorites->FavoriteNames();
  return values;
}
