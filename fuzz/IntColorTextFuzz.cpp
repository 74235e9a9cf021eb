// Integer and colour text as users write it in options and skin files: the readers must never
// crash, must agree with each other, and what they accept must read back the same.
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "Error/Error.h"
#include "ValueParsing/ValueParsing.h"

namespace {
void Require(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  int32_t value = 0;
  const bool isInt = TryTextToInt(text, value);
  if (isInt) {
    int32_t again = ~value;
    Require(TryTextToInt(QString::number(value), again) && again == value);
  }

  int32_t color = 0;
  const bool isColor = TryTextToColor(text, color);
  Require(!isInt || isColor);
  int32_t thrown = 0;
  bool threw = false;
  try {
    thrown = TextToColor(text);
  } catch (const TLocatedError&) {
    threw = true;
  }
  Require(threw != isColor && (threw || thrown == color));

  // The framed readers give the default exactly when the text is not an integer (or is empty).
  const int32_t fromText = GetIntFromText(text, IntMin, IntMax, 7);
  Require(fromText == (isInt ? value : 7));
  Require(FunStatContext.Failed() == (!isInt && !text.isEmpty()));
  int32_t checked = 0;
  Require(CheckIntFromText(text, -100, 100, 3, checked) ==
          (text.isEmpty() || (isInt && value >= -100 && value <= 100)));
  FunStatContext.Reset(fsPerfect);
  return 0;
}
