// Small factories for the main window's controls: each sets the object name, caption, items and
// factory state in one call.
#pragma once

#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QWidget;
class TColorPanel;
class TLinkLabel;

// "from", "from + step", ... up to "to" as decimal texts.
QStringList NumberItems(int from, int to, int step = 1);

QCheckBox* NewCheckBox(QWidget* parent, const char* name, const QString& caption, bool checked);
// A list-only combo box with `selected` as its current item (the first item when absent).
QComboBox* NewComboBox(QWidget* parent, const char* name, const QStringList& items,
                       const QString& selected, int visibleRows = 10);
QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption, bool wrap = false);
TLinkLabel* NewLinkLabel(QWidget* parent, const char* name, const QString& caption,
                         bool enabled = true);
TColorPanel* NewColorPanel(QWidget* parent, const char* name, int defaultColor);
