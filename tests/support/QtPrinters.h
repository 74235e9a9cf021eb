// Readable GoogleTest failure messages for Qt texts.
#pragma once

#include <QDateTime>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* os) {
  *os << '{';
  for (qsizetype i = 0; i < texts.size(); ++i) {
    if (i) *os << ", ";
    PrintTo(texts[i], os);
  }
  *os << '}';
}

inline void PrintTo(const QDateTime& time, std::ostream* os) {
  *os << (time.isValid() ? time.toString(Qt::ISODateWithMs).toStdString() : "invalid");
}

inline void PrintTo(const QDate& date, std::ostream* os) {
  *os << (date.isValid() ? date.toString(Qt::ISODate).toStdString() : "invalid");
}

inline void PrintTo(const QPoint& p, std::ostream* os) {
  *os << '(' << p.x() << ", " << p.y() << ')';
}

inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << '(' << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ')';
}
