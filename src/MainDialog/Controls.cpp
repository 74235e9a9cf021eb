#include "Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "ColorPanel.h"
#include "LinkLabel.h"
#include "Utilities.h"

namespace {
// Enough for the widest item of the numeric lists; text lists size themselves to their content.
constexpr int NumberBoxWidth = 58;
constexpr int ColorPanelWidth = 36;
constexpr int ColorPanelHeight = 18;

bool AllNumbers(const QStringList& items) {
  for (const QString& item : items) {
    bool ok = false;
    item.toInt(&ok);
    if (!ok) return false;
  }
  return true;
}
}  // namespace

QStringList NumberItems(int from, int to, int step) {
  QStringList items;
  for (int value = from; value <= to; value += step) items << QString::number(value);
  return items;
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, const QString& caption, bool checked) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QLatin1String(name));
  box->setChecked(checked);
  return box;
}

QComboBox* NewComboBox(QWidget* parent, const char* name, const QStringList& items,
                       const QString& selected, int visibleRows) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setEditable(false);
  box->addItems(items);
  box->setMaxVisibleItems(visibleRows);
  if (AllNumbers(items)) {
    box->setFixedWidth(NumberBoxWidth);
  } else {
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  }
  SelectComboItem(box, selected, {});
  return box;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption, bool wrap) {
  auto* label = new QLabel(caption, parent);
  if (name) label->setObjectName(QLatin1String(name));
  label->setWordWrap(wrap);
  return label;
}

TLinkLabel* NewLinkLabel(QWidget* parent, const char* name, const QString& caption, bool enabled) {
  auto* label = new TLinkLabel(caption, parent);
  label->setObjectName(QLatin1String(name));
  label->setEnabled(enabled);
  return label;
}

TColorPanel* NewColorPanel(QWidget* parent, const char* name, int defaultColor) {
  auto* panel = new TColorPanel(parent);
  panel->setObjectName(QLatin1String(name));
  panel->SetDefaultColor(defaultColor);
  panel->SetColor(defaultColor);
  panel->setFixedSize(ColorPanelWidth, ColorPanelHeight);
  return panel;
}
