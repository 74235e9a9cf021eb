#include "PictureSelection.h"

#include <cstdlib>

#include "MyMath.h"

TPictureSelection::TPictureSelection(QStringList& fileNames, int& pictureIndex,
                                     QString& lastFileTitle, TDateTime& lastChangeTime,
                                     TFileExists fileExists, TRandomDraw nextRandom)
    : FileNames(fileNames),
      PictureIndex(pictureIndex),
      LastFileTitle(lastFileTitle),
      LastChangeTime(lastChangeTime),
      FileExists(std::move(fileExists)),
      NextRandom(std::move(nextRandom)) {}

QString TPictureSelection::ChoosePicture(bool forward, bool random, bool commit) {
  int count = static_cast<int>(FileNames.size());
  if (count == 0) return {};
  // A position outside the list means the current picture is not in it.
  if (PictureIndex < -1 || PictureIndex >= count) PictureIndex = -1;
  int candidate = PictureIndex;
  bool changed = false;
  const auto draw = [&] { return std::abs(NextRandom() % count); };
  for (;;) {
    if (random) {
      candidate = draw();
      // One more draw to avoid repeating the current picture; the second is kept as it is.
      if (count > 1 && FileNames.at(candidate) == LastFileTitle) candidate = draw();
    } else if (forward) {
      CycleNext(candidate, 0, count - 1);
    } else {
      CyclePrev(candidate, 0, count - 1);
    }
    if (FileExists(FileNames.at(candidate))) break;
    FileNames.removeAt(candidate);
    if (PictureIndex >= candidate) --PictureIndex;
    candidate = PictureIndex;
    --count;
    changed = true;
    if (count == 0) break;
  }
  if (count > 0 && commit) PictureIndex = candidate;
  if (changed && OnListChanged) OnListChanged();
  return count > 0 ? FileNames.at(candidate) : QString();
}

bool TPictureSelection::StepPicture(bool forward, bool random) {
  if (FileNames.isEmpty()) return false;
  LastChangeTime = Now();
  LastFileTitle = ChoosePicture(forward, random, true);
  return true;
}

bool TPictureSelection::SetCurrentPicture(int index, const QString& name) {
  LastChangeTime = Now();
  if (index >= 0 && index < FileNames.size()) {
    PictureIndex = index;
    LastFileTitle = FileNames.at(index);
    return true;
  }
  // Paths are the file system's: only the exact same path is the same picture.
  LastFileTitle = name;
  PictureIndex = static_cast<int>(FileNames.indexOf(name));
  return !name.isEmpty();
}
