// Skin files: loading a whole skin or only its colours, and saving the skin the controls hold.
#include <QFileDialog>
#include <QFileInfo>

#include "Error/Error.h"
#include "MainDialog.h"
#include "Program.h"
#include "StoredTextList/StoredTextList.h"
#include "Utilities.h"

namespace {

const QString SkinSuffix = QStringLiteral("wps");
const QString SkinFilter = QStringLiteral("Skins (*.wps)");

// Restores a flag when the scope ends, however it ends.
class TFlagGuard {
 public:
  TFlagGuard(bool& flag, bool value) : Flag(flag), Old(flag) { Flag = value; }
  ~TFlagGuard() { Flag = Old; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

 private:
  bool& Flag;
  bool Old;
};

// The dialog starts in the skin folder at the last skin; with none yet it only lists the skins.
void PrepareSkinDialog(QFileDialog& dialog, const QString& lastName) {
  dialog.setNameFilter(SkinFilter);
  // A name typed without extension means a skin file, also to the dialog's own checks.
  dialog.setDefaultSuffix(SkinSuffix);
  dialog.setDirectory(SkinDirectory());
  if (!lastName.isEmpty()) dialog.selectFile(lastName + QLatin1Char('.') + SkinSuffix);
}

// The file the dialog chose, or empty when it was cancelled.
QString ChosenSkinFile(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return SkinFileName(dialog.selectedFiles().constFirst());
}

}  // namespace

QString SkinDirectory() {
  return GetProgramWriteDirectory() + QStringLiteral("CalendarSkins");
}

QString SkinFileName(const QString& chosen) {
  if (chosen.isEmpty() || QFileInfo(chosen).fileName().contains(QLatin1Char('.'))) return chosen;
  return chosen + QLatin1Char('.') + SkinSuffix;
}

void TMainForm::LoadCalendarSkin(bool allParameters) {
  TStatusFrame frame(__FILE__, "TMainForm::LoadCalendarSkin", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to load calendar skin."));
  frame.Run([&] {
    ReadSkinColorsOnly = !allParameters;
    QFileDialog dialog(this, allParameters ? QStringLiteral("Load calendar skin")
                                           : QStringLiteral("Load calendar colors"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    PrepareSkinDialog(dialog, LastCalendarSkinName);
    const QString file = ChosenSkinFile(dialog);
    if (file.isEmpty()) return;
    // A dialog that does not check (or a file gone meanwhile) must not reset the skin to its
    // defaults: a missing file would read as an empty skin.
    if (!QFileInfo(file).isFile()) {
      ShowWarning(QStringLiteral("File \"%1\" does not exist.").arg(file));
      return;
    }
    {
      // One redraw after the whole skin, not one per control.
      TFlagGuard updating(Updating, true);
      SkinList->LoadFrom(file, 0);
    }
    // A file that could not be read at all changed nothing, its name included.
    if (!SkinList->ReadByLastLoad) return;
    LastCalendarSkinName = QFileInfo(file).completeBaseName();
    RedrawWallpaperOnParamChange();
  });
}

void TMainForm::SaveCalendarSkin() {
  TStatusFrame frame(__FILE__, "TMainForm::SaveCalendarSkin", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to save calendar skin."));
  frame.Run([&] {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    PrepareSkinDialog(dialog, LastCalendarSkinName);
    const QString file = ChosenSkinFile(dialog);
    if (file.isEmpty()) return;
    LastCalendarSkinName = QFileInfo(file).completeBaseName();
    // The save reports its own failure ("Failed to save file.").
    SkinList->SaveAs(file, false, 0);
  });
}
