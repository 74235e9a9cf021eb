// Moving the current picture through the picture list: next, previous, random, by index or by
// name, dropping entries whose file has gone. Works on the window's own fields by reference.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "MyTime.h"

using TFileExists = std::function<bool(const QString& path)>;
using TRandomDraw = std::function<int32_t()>;

class TPictureSelection {
 public:
  // fileNames: the picture list; pictureIndex: the current picture's position in it, -1 when it
  // is not there; lastFileTitle: the current picture, empty for none; lastChangeTime: when it
  // was last set.
  TPictureSelection(QStringList& fileNames, int& pictureIndex, QString& lastFileTitle,
                    TDateTime& lastChangeTime, TFileExists fileExists, TRandomDraw nextRandom);

  // Called when a move removed entries, so the count and current-picture labels follow.
  std::function<void()> OnListChanged;

  // Picks the entry after or before the current one (wrapping around) or a random one, removing
  // entries whose file has gone. With commit the pick becomes the current position. Empty when
  // the list is or becomes empty.
  QString ChoosePicture(bool forward, bool random, bool commit);
  // Makes the next, previous or a random entry current; false (and nothing changes) when the
  // list is empty.
  bool StepPicture(bool forward, bool random);
  // Makes entry `index` current, or with a negative index the file `name`, wherever it is.
  // False when both are missing; the current picture is then empty.
  bool SetCurrentPicture(int index, const QString& name);

 private:
  QStringList& FileNames;
  int& PictureIndex;
  QString& LastFileTitle;
  TDateTime& LastChangeTime;
  TFileExists FileExists;
  TRandomDraw NextRandom;
};
