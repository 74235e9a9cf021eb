#include "ValueParsing/ValueParsing.h"

#include <QLocale>
#include <array>

#include "AsciiText.h"
#include "Error/Error.h"
#include "StockColors.h"

namespace {

struct TNamedColor {
  const char* Name;
  int32_t Color;
};

// Written blue-green-red, as the toolkit defines them.
constexpr std::array<TNamedColor, 17> ToolkitColors = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clNone", 0x1FFFFFFF},
}};

// A system colour is the top bit plus its position in this list.
constexpr std::array<const char*, 25> SystemColors = {
    "clScrollBar",    "clBackground",  "clActiveCaption", "clInactiveCaption",
    "clMenu",         "clWindow",      "clWindowFrame",   "clMenuText",
    "clWindowText",   "clCaptionText", "clActiveBorder",  "clInactiveBorder",
    "clAppWorkSpace", "clHighlight",   "clHighlightText", "clBtnFace",
    "clBtnShadow",    "clGrayText",    "clBtnText",       "clInactiveCaptionText",
    "clBtnHighlight", "cl3DDkShadow",  "cl3DLight",       "clInfoText",
    "clInfoBk",
};

bool FindToolkitColor(QStringView text, int32_t& color) {
  for (const TNamedColor& named : ToolkitColors) {
    if (SameTextAscii(text, QLatin1StringView(named.Name))) {
      color = named.Color;
      return true;
    }
  }
  for (size_t i = 0; i < SystemColors.size(); ++i) {
    if (SameTextAscii(text, QLatin1StringView(SystemColors[i]))) {
      color = static_cast<int32_t>(0x80000000u + i);
      return true;
    }
  }
  return false;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Hexadecimal digits to the end of the text, at most 32 bits of value.
bool ReadHex(QStringView digits, int32_t& value) {
  if (digits.isEmpty()) return false;
  uint64_t result = 0;
  for (QChar c : digits) {
    const int digit = HexDigit(c.unicode());
    if (digit < 0) return false;
    result = result * 16 + digit;
    if (result > UINT32_MAX) return false;
  }
  value = static_cast<int32_t>(static_cast<uint32_t>(result));
  return true;
}

// Optional sign, then decimal digits to the end of the text, within the signed 32-bit range.
bool ReadDecimal(QStringView text, int32_t& value) {
  bool negative = false;
  if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
    negative = text[0] == u'-';
    text = text.mid(1);
  }
  if (text.isEmpty()) return false;
  const int64_t limit = negative ? -int64_t{INT32_MIN} : INT32_MAX;
  int64_t result = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') return false;
    result = result * 10 + (c.unicode() - u'0');
    if (result > limit) return false;
  }
  value = static_cast<int32_t>(negative ? -result : result);
  return true;
}

// The conversion inside the framed readers: a located error names the text it rejects.
int32_t ConvertInt(const QString& text) {
  int32_t value = 0;
  if (!TryTextToInt(text, value))
    THROW_ERROR(QStringLiteral("\"%1\" is not a valid integer value.").arg(text));
  return value;
}

}  // namespace

bool TryTextToInt(const QString& text, int32_t& value) {
  QStringView rest(text);
  while (!rest.isEmpty() && rest[0] == u' ') rest = rest.mid(1);
  for (QStringView prefix : {u"0x", u"0X", u"$", u"x", u"X"})
    if (rest.startsWith(prefix)) return ReadHex(rest.mid(prefix.size()), value);
  return ReadDecimal(rest, value);
}

bool TryTextToColor(const QString& text, int32_t& color) {
  if (text.isEmpty()) {
    color = 0;
    return true;
  }
  return FindStockColor(text, color) || FindToolkitColor(text, color) || TryTextToInt(text, color);
}

bool CheckIntFromText(const QString& text, int32_t min, int32_t max, int32_t def, int32_t& value) {
  bool result = true;
  TStatusFrame frame(__FILE__, "CheckIntFromText", __LINE__);
  frame.Run([&] {
    value = text.isEmpty() ? def : ConvertInt(text);
    if (value < min || value > max) {
      value = def;
      result = false;
    }
  });
  if (frame.Failed()) {
    value = def;
    result = false;
  }
  return result;
}

int32_t GetIntFromText(const QString& text, int32_t min, int32_t max, int32_t def) {
  int32_t value = def;
  TStatusFrame frame(__FILE__, "GetIntFromText", __LINE__);
  frame.Run([&] {
    value = text.isEmpty() ? def : ConvertInt(text);
    if (value < min || value > max) value = def;
  });
  return frame.Failed() ? def : value;
}

int32_t TextToInt(const QString& text) {
  return GetIntFromText(text, IntMin, IntMax, 0);
}

QString BoolToText(bool value) {
  return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

bool TextToBool(const QString& text) {
  return text == QLatin1StringView("TRUE");
}

int32_t TextToColor(const QString& text) {
  int32_t color = 0;
  if (!TryTextToColor(text, color))
    THROW_ERROR(QStringLiteral("\"%1\" is not a valid color value.").arg(text));
  return color;
}

QString IntToGroupedText(int64_t value) {
  // The default locale is the user's, unless the program chose another.
  QLocale locale;
  // Group even where the locale would leave it out by default (the C locale).
  locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
  return locale.toString(static_cast<qlonglong>(value));
}
