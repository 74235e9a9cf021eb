// The picture types: what the toolkit's decoders can read, as file-name patterns.
#include <QCollator>
#include <QImageReader>
#include <QMimeDatabase>
#include <QMimeType>
#include <algorithm>

#include "Error/Error.h"
#include "MyGDIPlus/MyGDIPlus.h"

namespace {

// One pattern text per decoder ("*.jpeg;*.jpg;*.jpe"), in the decoders' order.
QStringList DecoderPatterns() {
  QStringList patterns;
  const QMimeDatabase mimes;
  for (const QByteArray& name : QImageReader::supportedMimeTypes()) {
    const QStringList globs = mimes.mimeTypeForName(QString::fromLatin1(name)).globPatterns();
    if (!globs.isEmpty()) patterns << globs.join(QLatin1Char(';'));
  }
  return patterns;
}

}  // namespace

void GetPictureExtensions(QStringList& extensions) {
  TStatusFrame frame(__FILE__, "GetPictureExtensions", __LINE__);
  frame.Run([&] {
    extensions.clear();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (const QString& decoder : DecoderPatterns()) {
      for (QString pattern : decoder.split(QLatin1Char(';'))) {
        if (pattern.startsWith(QLatin1Char('*'))) pattern.remove(0, 1);
        const auto at = std::lower_bound(
            extensions.begin(), extensions.end(), pattern,
            [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
        if (at == extensions.end() || collator.compare(*at, pattern) != 0)
          extensions.insert(at, pattern);
      }
    }
  });
}

QString GetPictureExtensionsAsFilter() {
  QString filter;
  TStatusFrame frame(__FILE__, "GetPictureExtensionsAsFilter", __LINE__);
  frame.Run([&] { filter = DecoderPatterns().join(QLatin1Char(';')).toLower(); });
  return filter;
}

bool IsPictureFile(const QString& fileName, const QStringList& extensions) {
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot < 0 ? QString() : fileName.mid(dot);
  return std::any_of(extensions.begin(), extensions.end(), [&](const QString& known) {
    return known.compare(extension, Qt::CaseInsensitive) == 0;
  });
}
