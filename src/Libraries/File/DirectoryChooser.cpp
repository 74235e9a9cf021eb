#include "File/DirectoryChooser.h"

#include <QApplication>
#include <QFileDialog>

#include "File/File.h"

namespace {

bool IsBelow(const QString& path, const QString& root) {
  const QString full = FullPathOf(path), top = FullPathOf(root);
  return full == top || full.startsWith(PathWithDelimiter(top));
}

}  // namespace

bool BrowseForDirectory(QString& directory, const QString& root, const QString& caption) {
  QFileDialog dialog(QApplication::activeWindow(), caption);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setOption(QFileDialog::DontUseNativeDialog);  // the root limit needs our own dialog
  const bool limited = !root.isEmpty() && IsDirectoryPath(root);
  if (limited) {
    dialog.setDirectory(root);
    QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, [&](const QString& entered) {
      if (!IsBelow(entered, root)) dialog.setDirectory(root);
    });
  } else if (IsDirectoryPath(directory)) {
    dialog.setDirectory(directory);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  const QString chosen = dialog.selectedFiles().constFirst();
  if (limited && !IsBelow(chosen, root)) return false;
  directory = chosen;
  return true;
}
