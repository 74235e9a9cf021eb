// Comparisons that fold only the ASCII letters, as the file formats require: stored names must
// not match differently depending on the user's locale or Unicode case rules.
#pragma once

#include <QString>

namespace AsciiText {
inline char16_t Lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
}
}  // namespace AsciiText

// Works for any pair of QStringView and QLatin1StringView.
template <typename A, typename B>
bool SameTextAscii(A a, B b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (AsciiText::Lower(a[i].unicode()) != AsciiText::Lower(b[i].unicode())) return false;
  return true;
}
