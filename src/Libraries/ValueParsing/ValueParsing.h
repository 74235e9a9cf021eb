// Turning texts typed by the user or stored in files into values, with limits and defaults.
#pragma once

#include <QString>
#include <cstdint>

class QComboBox;
class QWidget;

inline constexpr int32_t IntMin = INT32_MIN;
inline constexpr int32_t IntMax = INT32_MAX;

// The integer text rule of the options and skin files: optional leading blanks, then an
// optional sign and decimal digits within the signed 32-bit range, or a hexadecimal number
// after "$", "x", "X", "0x" or "0X" (no sign) using all 32 bits, so "$FFFFFFFF" is -1. Nothing
// may follow. False, with `value` untouched, for anything else.
bool TryTextToInt(const QString& text, int32_t& value);
// The colour text rule: empty is black, then a stock colour name, a toolkit colour identifier
// ("clRed", the system colours, "clNone"), then an integer; all names ignore ASCII case.
bool TryTextToColor(const QString& text, int32_t& color);

// Framed conversions: a text that is not an integer records Error in FunStatContext and gives
// the default; so does a value outside [min, max]. Nothing is shown to the user.
bool CheckIntFromText(const QString& text, int32_t min, int32_t max, int32_t def, int32_t& value);
int32_t GetIntFromText(const QString& text, int32_t min, int32_t max, int32_t def);
int32_t TextToInt(const QString& text);
// Like GetIntFromText, but a bad value warns the user, focuses the box and puts the default in
// (ControlValues.cpp, with the widgets).
int32_t GetIntFromComboBox(QComboBox* box, int32_t min, int32_t max, int32_t def);
int32_t GetIntFromComboBox(QComboBox* box);

QString BoolToText(bool value);
// Only exactly "TRUE" is true.
bool TextToBool(const QString& text);
// Throws a located error for text that is no colour.
int32_t TextToColor(const QString& text);

void FocusControl(QWidget* control);
// Thousands separators of the user's locale, no decimals.
QString IntToGroupedText(int64_t value);
