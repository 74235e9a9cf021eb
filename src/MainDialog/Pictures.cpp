// The picture directories and the picture list built from them.
#include <QCollator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <algorithm>
#include <climits>

#include "DirectoryListDelegate.h"
#include "Error/Error.h"
#include "File/DirectoryChooser.h"
#include "File/File.h"
#include "LinkLabel.h"
#include "MainDialog.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "StoredTextList/StoredTextList.h"
#include "Utilities.h"
#include "ValueParsing/ValueParsing.h"

namespace {

using TDelegate = TDirectoryListDelegate;

const QString DirectorySection = QStringLiteral("DirectoryList");
const QString TooManyDirectories = QStringLiteral("Too many directories. Can't add anymore.");

// The folder a dropped file or folder puts into the list.
QString DroppedDirectory(const QString& path) {
  if (IsDirectoryPath(path)) return path;
  QString folder = PathOfFile(path);
  // The root keeps its only delimiter: it is the whole path.
  if (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
  return folder;
}

// The length of the folder part ("/a/b/") that every path of the list starts with.
qsizetype CommonFolderLength(const QStringList& paths) {
  if (paths.isEmpty()) return 0;
  QStringView common(paths.constFirst());
  for (const QString& path : paths) {
    const qsizetype most = std::min(common.size(), path.size());
    qsizetype same = 0;
    while (same < most && common[same] == path[same]) ++same;
    common.truncate(same);
  }
  return common.lastIndexOf(QLatin1Char('/')) + 1;
}

}  // namespace

void SortPictureFileNames(QStringList& paths) {
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  // The folder part that all paths share orders nothing, and comparing it again and again
  // costs more than everything else; the cut is at a "/", which no collation element spans.
  const qsizetype common = CommonFolderLength(paths);
  std::sort(paths.begin(), paths.end(), [&](const QString& a, const QString& b) {
    const int order = collator.compare(QStringView(a).mid(common), QStringView(b).mid(common));
    return order != 0 ? order < 0 : a < b;
  });
  paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
}

void TMainForm::SetUpPictures() {
  GetPictureExtensions(PictureExtensions);
  PictureExtensionsFilter = GetPictureExtensionsAsFilter();

  DirectoriesListDelegate = new TDirectoryListDelegate(DirectoriesListBox);
  connect(DirectoriesListDelegate, &TDirectoryListDelegate::MousePressed, this,
          &TMainForm::DirectoriesListBoxMouseDown);
  DirectoriesListDelegate->FocusListWhenShown(DirectoriesTab);

  const std::pair<TLinkLabel*, void (TMainForm::*)()> actions[] = {
      {AddDirectoryLabel, &TMainForm::AddDirectoryLabelClick},
      {DeleteDirectoryLabel, &TMainForm::DeleteDirectoryLabelClick},
      {ReloadFileNamesLabel, &TMainForm::ReloadFileNamesLabelClick},
      {Label29, &TMainForm::Label29Click},
  };
  for (const auto& [label, action] : actions) {
    label->setEnabled(true);
    connect(label, &TLinkLabel::clicked, this, action);
  }
}

// ---- The directory list ----

int TMainForm::DirectoryCount() const {
  return DirectoriesListBox->count();
}

QString TMainForm::DirectoryPath(int index) const {
  const QListWidgetItem* item = DirectoriesListBox->item(index);
  return item ? item->text() : QString();
}

bool TMainForm::AddDirectoryEntry(const QString& path, bool active, bool recurs) {
  if (path.isEmpty() || DirectoryCount() >= MaxDirectoryCount) return false;
  // Paths are the file system's: letter case makes a different folder.
  for (int i = 0; i < DirectoryCount(); ++i)
    if (DirectoryPath(i) == path) return false;
  auto* item = new QListWidgetItem(path);
  item->setData(TDelegate::FlagsRole,
                (active ? TDelegate::ActiveFlag : 0) | (recurs ? TDelegate::RecursFlag : 0));
  DirectoriesListBox->addItem(item);
  return true;
}

void TMainForm::AddDirectory(bool reload) {
  if (DirectoryCount() >= MaxDirectoryCount) {
    ShowWarning(TooManyDirectories);
    return;
  }
  QString directory;
  if (!BrowseForDirectory(directory, {}, QStringLiteral("Choose a directory with picture files")))
    return;
  AddDirectoryEntry(directory, true, false);
  if (DirectoryCount() == 1) DirectoriesListBox->setCurrentRow(0);
  if (reload) ReloadFileNamesLabelClick();
}

namespace {

bool GetFlag(const QListWidget* list, int index, int flag) {
  const QListWidgetItem* item = list->item(index);
  return item && (item->data(TDelegate::FlagsRole).toInt() & flag) != 0;
}

void SetFlag(QListWidget* list, int index, int flag, bool on) {
  QListWidgetItem* item = list->item(index);
  if (!item) return;
  const int flags = item->data(TDelegate::FlagsRole).toInt();
  item->setData(TDelegate::FlagsRole, on ? flags | flag : flags & ~flag);
}

}  // namespace

bool TMainForm::GetDirectoryActive(int index) const {
  return GetFlag(DirectoriesListBox, index, TDelegate::ActiveFlag);
}

void TMainForm::SetDirectoryActive(int index, bool active) {
  SetFlag(DirectoriesListBox, index, TDelegate::ActiveFlag, active);
}

void TMainForm::InvertDirectoryActive(int index) {
  SetDirectoryActive(index, !GetDirectoryActive(index));
}

bool TMainForm::GetDirectoryRecurs(int index) const {
  return GetFlag(DirectoriesListBox, index, TDelegate::RecursFlag);
}

void TMainForm::SetDirectoryRecurs(int index, bool recurs) {
  SetFlag(DirectoriesListBox, index, TDelegate::RecursFlag, recurs);
}

void TMainForm::InvertDirectoryRecurs(int index) {
  SetDirectoryRecurs(index, !GetDirectoryRecurs(index));
}

void TMainForm::DirectoriesListBoxMouseDown(Qt::MouseButton button, QPoint position) {
  const int row = SelectListItemAt(DirectoriesListBox, position.x(), position.y());
  if (row < 0 || button != Qt::LeftButton) return;
  switch (TDelegate::CellAt(position.x(), DirectoriesListDelegate->RowHeight())) {
    case TDelegate::ActiveCell:
      InvertDirectoryActive(row);
      break;
    case TDelegate::RecursCell:
      InvertDirectoryRecurs(row);
      break;
    case TDelegate::PathCell:
      break;
  }
}

// ---- The "Directories" tab's commands ----

void TMainForm::AddDirectoryLabelClick() {
  AddDirectory(false);
}

void TMainForm::DeleteDirectoryLabelClick() {
  if (!AskQuery(QStringLiteral("Do you want to delete the focused directory?"))) return;
  const QList<QListWidgetItem*> selected = DirectoriesListBox->selectedItems();
  if (selected.isEmpty()) return;
  const int row = DirectoriesListBox->row(selected.constFirst());
  delete DirectoriesListBox->takeItem(row);
  if (DirectoryCount() > 0) DirectoriesListBox->setCurrentRow(std::min(row, DirectoryCount() - 1));
}

void TMainForm::ReloadFileNamesLabelClick() {
  LoadPictureFileNames();
  ShowInfo(LoadedPicturesCountLabel->text() + QLatin1Char('.'));
}

void TMainForm::Label29Click() {
  QString text;
  for (const QString& path : PictureFileNames) text += path + QStringLiteral("\r\n");
  CopyTextToClipboard(text);
}

// ---- The picture list ----

void TMainForm::LoadPictureFileNames() {
  TStatusFrame frame(__FILE__, "TMainForm::LoadPictureFileNames", __LINE__);
  frame.Run([&] {
    PictureFileNames.clear();
    QStringList entry;
    for (int i = 0; i < DirectoryCount(); ++i) {
      if (!GetDirectoryActive(i)) continue;
      // A folder that cannot be read gives what was found before the failure, and the user
      // is not told: the list is rebuilt from whatever is there.
      LoadFilesList(DirectoryPath(i), PictureExtensionsFilter, entry, GetDirectoryRecurs(i));
      SortPictureFileNames(entry);
      PictureFileNames += entry;
      entry.clear();
    }
    PictureIndex =
        LastFileTitle.isEmpty() ? -1 : static_cast<int>(PictureFileNames.indexOf(LastFileTitle));
    UpdateLoadedPicturesCount();
    UpdateLastPictureLabel();
  });
}

void TMainForm::UpdateLoadedPicturesCount() {
  LoadedPicturesCountLabel->setText(QStringLiteral("There are ") +
                                    IntToGroupedText(PictureFileNames.size()) +
                                    QStringLiteral(" picture ready to be used as wallpapers"));
}

void TMainForm::UpdateLastPictureLabel() {
  const QString index =
      PictureIndex < 0 ? QStringLiteral("not in list") : IntToGroupedText(PictureIndex + 1);
  LastPictureLabel->setText(QStringLiteral("Current picture (index ") + index +
                            QStringLiteral(") \"") + NameOfFile(LastFileTitle) +
                            QStringLiteral("\" in \"") + PathOfFile(LastFileTitle) +
                            QLatin1Char('"'));
}

// ---- Dropped files ----

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  ProcessDroppedFiles(event->mimeData());
}

void TMainForm::ProcessDroppedFiles(const QMimeData* data) {
  TStatusFrame frame(__FILE__, "TMainForm::ProcessDroppedFiles", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to drop files."));
  frame.Run([&] {
    const QStringList paths = DroppedFilesToList(data);
    frame.Check();
    if (paths.isEmpty()) frame.Raise(__LINE__, fsError, QStringLiteral("No files are dropped."));
    ShowDirectoriesTab();
    for (const QString& path : paths) {
      if (DirectoryCount() >= MaxDirectoryCount) {
        ShowWarning(TooManyDirectories);
        break;
      }
      AddDirectoryEntry(DroppedDirectory(path), true, false);
    }
  });
}

// ---- Options ----

void TMainForm::ReadDirectoryList(TStoredTextList& list) {
  const QString countKey = QStringLiteral("Count");
  int32_t count = 0;
  if (!list.ReadInt(DirectorySection, countKey, count, 0, MaxDirectoryCount) &&
      list.Value(DirectorySection, countKey)) {
    // A bad count must not cost the folders: take the entries that are there.
    count = 0;
    while (count < MaxDirectoryCount &&
           list.Value(DirectorySection, QStringLiteral("Title") + QString::number(count)))
      ++count;
  }
  for (int32_t i = 0; i < count; ++i) {
    const QString number = QString::number(i);
    QString title;
    bool active = false, recurs = false;
    list.ReadText(DirectorySection, QStringLiteral("Title") + number, false, PATH_MAX, title);
    list.ReadBool(DirectorySection, QStringLiteral("Active") + number, active);
    list.ReadBool(DirectorySection, QStringLiteral("Recurs") + number, recurs);
    AddDirectoryEntry(title, active, recurs);
  }
  if (DirectoryCount() > 0) DirectoriesListBox->setCurrentRow(0);
}

void TMainForm::WriteDirectoryList(TStoredTextList& list) {
  list.WriteInt(DirectorySection, QStringLiteral("Count"), DirectoryCount());
  for (int i = 0; i < DirectoryCount(); ++i) {
    const QString number = QString::number(i);
    list.WriteText(DirectorySection, QStringLiteral("Title") + number, DirectoryPath(i));
    list.WriteBool(DirectorySection, QStringLiteral("Active") + number, GetDirectoryActive(i));
    list.WriteBool(DirectorySection, QStringLiteral("Recurs") + number, GetDirectoryRecurs(i));
  }
}
