// Item lists of combo boxes, for comparing a window's controls with the lists they must hold.
#pragma once

#include <QComboBox>
#include <QStringList>

inline QStringList Numbers(int from, int to, int step = 1) {
  QStringList items;
  for (int i = from; i <= to; i += step) items << QString::number(i);
  return items;
}

inline QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}
