// The favourite links of the "General" tab.
#include "FavoritesDialog.h"
#include "LinkLabel.h"
#include "MainDialog.h"
#include "Utilities.h"

void TMainForm::SetUpFavorites() {
  Favorites = std::make_unique<TFavoritesDialog>();
  Favorites->OnSetFavorite = [this](const QString& name) { SetPictureByName(name); };
  connect(SetFavoriteWallpaperLabel, &TLinkLabel::clicked, this,
          &TMainForm::SetFavoriteWallpaperLabelClick);
  connect(AddPictureToFavoritesLabel, &TLinkLabel::clicked, this,
          &TMainForm::AddPictureToFavoritesLabelClick);
  connect(DeleteFavoriteLabel, &TLinkLabel::clicked, this, &TMainForm::DeleteFavoriteLabelClick);
}

void TMainForm::SetFavoriteWallpaperLabelClick() {
  Favorites->Dialog(SetFavoriteWallpaperLabel, true);
}

void TMainForm::AddPictureToFavoritesLabelClick() {
  // A full list refuses even a picture that is already in it.
  if (Favorites->Count() >= TFavoritesDialog::MaxCount) {
    ShowWarning(QStringLiteral("Can't add any more favorites."));
    return;
  }
  Favorites->AddFavorite(LastFileTitle);
}

void TMainForm::DeleteFavoriteLabelClick() {
  // Both menus open below the start of the row of links.
  Favorites->Dialog(SetFavoriteWallpaperLabel, false);
}
