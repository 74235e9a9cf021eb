// The current picture: moving through the picture list, and the commands of the General tab.
#include <QCursor>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>

#include "Error/Error.h"
#include "File/File.h"
#include "LinkLabel.h"
#include "MainDialog.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "MyRandom.h"
#include "MyTime.h"
#include "PictureSelection.h"
#include "Utilities.h"
#include "ValueParsing/ValueParsing.h"

void TMainForm::SetUpNavigation() {
  Random = std::make_unique<TRandom>(QCursor::pos());
  Pictures = std::make_unique<TPictureSelection>(
      PictureFileNames, PictureIndex, LastFileTitle, LastAutoChangeTime,
      [](const QString& path) { return FileExistsAt(path); }, [this] { return Random->Next(); });
  Pictures->OnListChanged = [this] {
    UpdateLoadedPicturesCount();
    UpdateLastPictureLabel();
  };

  const std::pair<TLinkLabel*, void (TMainForm::*)()> commands[] = {
      {NextWallpaperLabel, &TMainForm::NextWallpaperLabelClick},
      {PreviousWallpaperLabel, &TMainForm::PreviousWallpaperLabelClick},
      {FirstWallpaperLabel, &TMainForm::FirstWallpaperLabelClick},
      {LastWallpaperLabel, &TMainForm::LastWallpaperLabelClick},
      {IndexWallpaperLabel, &TMainForm::IndexWallpaperLabelClick},
      {RandomWallpaperLabel, &TMainForm::RandomWallpaperLabelClick},
      {UserWallpaperLabel, &TMainForm::UserWallpaperLabelClick},
      {Label3, &TMainForm::Label3Click},
      {Label18, &TMainForm::Label18Click},
  };
  for (const auto& [label, handler] : commands) {
    label->setEnabled(true);
    connect(label, &TLinkLabel::clicked, this, handler);
  }
  UpdateLoadedPicturesCount();
  UpdateLastPictureLabel();
}

void TMainForm::SetPictureByName(const QString& name) {
  if (!IsPictureFile(name, PictureExtensions)) return;
  Pictures->SetCurrentPicture(-1, name);
  SetFileAsWallpaper(true);
}

void TMainForm::NextWallpaperLabelClick() {
  Pictures->StepPicture(true, false);
  SetFileAsWallpaper(true);
}

void TMainForm::PreviousWallpaperLabelClick() {
  Pictures->StepPicture(false, false);
  SetFileAsWallpaper(true);
}

void TMainForm::RandomWallpaperLabelClick() {
  Pictures->StepPicture(true, true);
  SetFileAsWallpaper(true);
}

void TMainForm::FirstWallpaperLabelClick() {
  if (PictureFileNames.isEmpty()) return;
  Pictures->SetCurrentPicture(0, {});
  SetFileAsWallpaper(true);
}

void TMainForm::LastWallpaperLabelClick() {
  if (PictureFileNames.isEmpty()) return;
  Pictures->SetCurrentPicture(static_cast<int>(PictureFileNames.size()) - 1, {});
  SetFileAsWallpaper(true);
}

void TMainForm::IndexWallpaperLabelClick() {
  if (PictureFileNames.isEmpty()) return;
  const int current = PictureIndex + 1;
  QInputDialog box(this);
  box.setWindowTitle(QStringLiteral("Input picture index"));
  box.setLabelText(QStringLiteral("Input picture index"));
  box.setTextValue(QString::number(current));
  // Cancelling gives the default back, which changes nothing.
  const bool accepted = box.exec() == QDialog::Accepted;
  const QString answer = accepted ? box.textValue() : QString::number(current);
  int32_t value = current;
  if (CheckIntFromText(answer, 1, static_cast<int32_t>(PictureFileNames.size()), current, value) &&
      value != current) {
    Pictures->SetCurrentPicture(value - 1, {});
    SetFileAsWallpaper(true);
  }
}

void TMainForm::UserWallpaperLabelClick() {
  TStatusFrame frame(__FILE__, "TMainForm::UserWallpaperLabelClick", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to load picture file."));
  frame.Run([&] {
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(
        QStringLiteral("Picture files (") +
        QString(PictureExtensionsFilter).replace(QLatin1Char(';'), QLatin1Char(' ')) +
        QLatin1Char(')'));
    if (!LastFileTitle.isEmpty()) dialog.selectFile(LastFileTitle);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    Pictures->SetCurrentPicture(-1, dialog.selectedFiles().constFirst());
    SetFileAsWallpaper(true);
    frame.Check();
  });
}

void TMainForm::Label3Click() {
  TStatusFrame frame(__FILE__, "TMainForm::Label3Click", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to view picture file."));
  frame.Run([&] {
    RunFile(LastFileTitle);
    frame.Check();
  });
}

void TMainForm::Label18Click() {
  CopyTextToClipboard(LastFileTitle);
}
