#include "MyGDIPlus/FontFamilies.h"

#include <QCollator>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <algorithm>
#include <array>

namespace {

struct TAlias {
  const char* Name;
  std::array<const char*, 2> Faces;
};

// Well-known names and the installed faces that match their metrics.
constexpr TAlias Aliases[] = {
    {"Arial", {"Liberation Sans", "Arimo"}},
    {"Arial Narrow", {"Liberation Sans Narrow", nullptr}},
    {"Helvetica", {"Liberation Sans", "Nimbus Sans"}},
    {"Times New Roman", {"Liberation Serif", "Tinos"}},
    {"Times", {"Liberation Serif", "Nimbus Roman"}},
    {"Courier New", {"Liberation Mono", "Cousine"}},
    {"Courier", {"Liberation Mono", "Nimbus Mono PS"}},
    {"Comic Sans MS", {"Comic Neue", "Comic Relief"}},
    {"Calibri", {"Carlito", nullptr}},
    {"Cambria", {"Caladea", nullptr}},
    {"Georgia", {"Gelasio", nullptr}},
};

// A family offered by several foundries is listed as "Family [Foundry]"; the family is meant.
QString WithoutFoundry(QString family) {
  const qsizetype foundry = family.indexOf(QLatin1String(" ["));
  if (foundry > 0) family.truncate(foundry);
  return family;
}

bool IsRenderedThrough(const TAlias& alias) {
  const QString rendered = QFontInfo(QFont(QString::fromLatin1(alias.Name))).family();
  return std::any_of(alias.Faces.begin(), alias.Faces.end(), [&](const char* face) {
    return face && rendered.compare(QLatin1String(face), Qt::CaseInsensitive) == 0;
  });
}

}  // namespace

QStringList InstalledFontFamilies() {
  QStringList names;
  for (const QString& family : QFontDatabase::families()) {
    const QString name = WithoutFoundry(family);
    if (!names.contains(name, Qt::CaseInsensitive)) names << name;
  }
  for (const TAlias& alias : Aliases) {
    const QString name = QString::fromLatin1(alias.Name);
    if (!names.contains(name, Qt::CaseInsensitive) && IsRenderedThrough(alias)) names << name;
  }
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::sort(names.begin(), names.end(),
            [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
  return names;
}

bool IsInstalledFontFamily(const QString& name) {
  if (name.trimmed().isEmpty()) return false;
  for (const QString& family : QFontDatabase::families())
    if (WithoutFoundry(family).compare(name, Qt::CaseInsensitive) == 0) return true;
  for (const TAlias& alias : Aliases)
    if (name.compare(QLatin1String(alias.Name), Qt::CaseInsensitive) == 0)
      return IsRenderedThrough(alias);
  return false;
}
