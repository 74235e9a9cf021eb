// The calendar skin: every parameter with its key, control, kind, item list and default. One
// table builds the controls of the "Calendar" tabs and drives the skin reader, the writer and
// "Default skin".
#pragma once

#include <QStringList>
#include <cstdint>
#include <span>

class QCheckBox;
class QComboBox;
class TColorPanel;
class TMainForm;

// The section of options and skin files that holds the skin.
inline constexpr const char* CalendarSkinSection = "CalendarSkin";

enum class TSkinKind { List, Flag, Colour };

// What a pass over the skin table does with each parameter.
enum class TSkinTransfer { Read, ReadColorsOnly, Write, Default };

enum class TSkinList {
  None,  // flags and colours
  TextEffect,
  OtherMonthsWeeks,
  Percent,
  Spacing,
  Shift,
  SmallThickness,
  LargeTextSize,
  SmallTextSize,
  Eccentricity,
  BandThickness,
  Font,
};

struct TSkinParameter {
  const char* Key;
  const char* Control;
  TSkinKind Kind;
  TSkinList List;
  const char* Default;  // the default item of a list, "TRUE" or "FALSE" for a flag
  int32_t DefaultColor;
  const char* Caption;  // check box caption
  QComboBox* TMainForm::*ListMember;
  QCheckBox* TMainForm::*FlagMember;
  TColorPanel* TMainForm::*ColourMember;
};

// All non-colour keys first, then the colour keys, each in reading and writing order.
std::span<const TSkinParameter> SkinParameters();
const TSkinParameter* FindSkinParameter(const QString& key);

// The items of a list kind; the font list is the installed families (InstalledFontFamilies).
QStringList SkinListItems(TSkinList list);
