#include "FavoritesDialog.h"

#include <QCursor>
#include <QMenu>
#include <QWidget>
#include <climits>

#include "Error/Error.h"
#include "File/File.h"
#include "StoredTextList/StoredTextList.h"

namespace {

const QString Section = QStringLiteral("FavoritePictures");
const QString CountKey = QStringLiteral("Count");

QString TitleKey(int index) {
  return QStringLiteral("Title") + QString::number(index);
}

// A menu caption shows "&" as itself instead of taking it for a mnemonic.
QString MenuCaption(const QString& path) {
  return QString(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

TFavoritesDialog::~TFavoritesDialog() {
  ReleaseMenu();
}

void TFavoritesDialog::AddFavorite(const QString& name) {
  if (name.isEmpty() || name.endsWith(QLatin1Char(':')) || NameOfFile(name).isEmpty()) return;
  if (!Names.isEmpty() && Names.constLast() == name) return;
  RemoveFavorite(name);
  if (Names.size() >= MaxCount) Names.removeFirst();
  Names.append(name);
}

void TFavoritesDialog::RemoveFavorite(const QString& name) {
  Names.removeAll(name);
}

QMenu* TFavoritesDialog::Menu() const {
  return PopupMenu.data();
}

void TFavoritesDialog::ReleaseMenu() {
  delete PopupMenu.data();
  PopupMenu = nullptr;
}

void TFavoritesDialog::Dialog(QWidget* anchor, bool setMode) {
  TStatusFrame frame(__FILE__, "TFavoritesDialog::Dialog", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to show favorites."));
  frame.Run([&] {
    Mode = setMode;
    ReleaseMenu();
    if (!anchor) frame.Raise(__LINE__, fsError, QStringLiteral("No anchor for the menu."));
    // Owned by its anchor, so it goes with the window even if this object outlives it.
    PopupMenu = new QMenu(anchor);
    PopupMenu->setObjectName(QStringLiteral("FavoritesPopupMenu"));
    QAction* header = PopupMenu->addAction(setMode ? QStringLiteral("Set favorite wallpaper")
                                                   : QStringLiteral("Delete favorite"));
    PopupMenu->setDefaultAction(header);
    for (int position = Count() - 1; position >= 0; --position) {
      QAction* item = PopupMenu->addAction(MenuCaption(Names[position]));
      item->setData(position);
      QObject::connect(item, &QAction::triggered, PopupMenu,
                       [this, position] { ChooseItem(position); });
    }
    const QPoint below = anchor->mapToGlobal(QPoint(0, anchor->height() + 1));
    PopupMenu->popup(QPoint(QCursor::pos().x(), below.y()));
  });
  if (frame.Failed()) ReleaseMenu();
}

void TFavoritesDialog::ChooseItem(int position) {
  if (!OnSetFavorite || position < 0 || position >= Count()) return;
  const QString name = Names[position];
  if (Mode)
    OnSetFavorite(name);
  else
    RemoveFavorite(name);
}

void TFavoritesDialog::ReadFavorites(TStoredTextList& list) {
  int32_t count = 0;
  if (!list.ReadInt(Section, CountKey, count, 0, MaxCount) && list.Value(Section, CountKey)) {
    // A bad count must not cost the favourites: take the titles that are there. Adding them
    // in order keeps the newest when there are too many.
    count = 0;
    while (list.Value(Section, TitleKey(count))) ++count;
  }
  for (int i = 0; i < count; ++i) {
    QString title;
    if (list.ReadText(Section, TitleKey(i), false, PATH_MAX, title)) AddFavorite(title);
  }
}

void TFavoritesDialog::WriteFavorites(TStoredTextList& list) const {
  list.WriteInt(Section, CountKey, Count());
  for (int i = 0; i < Count(); ++i) list.WriteText(Section, TitleKey(i), Names[i]);
}
