// The favourite pictures: up to 20 full paths, oldest first, kept apart from the directory list
// and offered in a pop-up menu to set one as wallpaper or to delete one.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QWidget;
class TStoredTextList;

class TFavoritesDialog {
 public:
  static constexpr int MaxCount = 20;

  TFavoritesDialog() = default;
  ~TFavoritesDialog();
  TFavoritesDialog(const TFavoritesDialog&) = delete;
  TFavoritesDialog& operator=(const TFavoritesDialog&) = delete;

  int Count() const { return static_cast<int>(Names.size()); }
  // Full paths, oldest first.
  const QStringList& FavoriteNames() const { return Names; }

  // Appends `name` as the newest favourite, moving it there if it was already listed; the oldest
  // goes when the list is full. Empty names, names without a file part and the newest entry
  // itself change nothing. Paths compare exactly: the file system tells letter cases apart.
  void AddFavorite(const QString& name);
  // Removes every entry equal to `name`; the others keep their order.
  void RemoveFavorite(const QString& name);

  // Shows the menu just below `anchor`, at the pointer's horizontal position: a bold header that
  // does nothing, then the favourites newest first. Choosing one sets it as wallpaper
  // (`setMode`) or deletes it.
  void Dialog(QWidget* anchor, bool setMode);
  // The menu of the last Dialog, while it exists.
  QMenu* Menu() const;
  bool SetMode() const { return Mode; }

  // Called with the chosen path in set mode; without it, choosing does nothing at all.
  std::function<void(const QString& name)> OnSetFavorite;

  // The "FavoritePictures" section of the options file.
  void ReadFavorites(TStoredTextList& list);
  void WriteFavorites(TStoredTextList& list) const;

 private:
  void ChooseItem(int position);
  void ReleaseMenu();

  QStringList Names;
  QPointer<QMenu> PopupMenu;
  bool Mode = true;
};
