#include "StoredTextList/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QWidget>
#include <climits>

#include "ColorPanel.h"
#include "StoredTextList/StoredTextList.h"
#include "Utilities.h"

namespace {

int FindItem(const QComboBox* box, const QString& text) {
  for (int i = 0; i < box->count(); ++i)
    if (box->itemText(i).compare(text, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

}  // namespace

void ReadComboBox(TStoredTextList& list, const QString& section, const QString& key,
                  const QString& fallback, QComboBox* box) {
  const std::optional<QString> stored = list.Value(section, key);
  const QString text = stored && !stored->isEmpty() ? *stored : fallback;
  if (box->isEditable()) {
    box->setEditText(text);
    return;
  }
  const int index = FindItem(box, text);
  // Only a stored text is the file's fault; a default missing here is the machine's.
  if (index < 0 && text != fallback && box->count() > 0)
    list.Reject(section, key, QStringLiteral("\"%1\" is not one of the choices.").arg(text.left(80)));
  box->setCurrentIndex(box->count() > 0 ? std::max(index, 0) : -1);
}

void WriteComboBox(TStoredTextList& list, const QString& section, const QString& key,
                   const QComboBox* box) {
  list.WriteText(section, key, box->currentText());
}

void ReadCheckBox(TStoredTextList& list, const QString& section, const QString& key,
                  QCheckBox* box) {
  bool checked = box->isChecked();
  list.ReadBool(section, key, checked);
  box->setChecked(checked);
}

void WriteCheckBox(TStoredTextList& list, const QString& section, const QString& key,
                   const QCheckBox* box) {
  list.WriteBool(section, key, box->isChecked());
}

void ReadPanelColor(TStoredTextList& list, const QString& section, const QString& key,
                    TColorPanel* panel) {
  int32_t color = panel->DefaultColor();
  list.ReadColor(section, key, color);
  panel->SetColor(color);
}

void WritePanelColor(TStoredTextList& list, const QString& section, const QString& key,
                     const TColorPanel* panel) {
  list.WriteColor(section, key, panel->Color());
}

void ReadPosition(TStoredTextList& list, const QString& section, const QString& keyX,
                  const QString& keyY, int& x, int& y) {
  const QRect area = GetWorkAreaRect(0);
  list.ReadInt(section, keyX, x, INT32_MIN, INT32_MAX);
  if (x < area.left() || x > area.width() * 0.9) x = area.left();
  list.ReadInt(section, keyY, y, INT32_MIN, INT32_MAX);
  if (y < area.top() || y > area.height() * 0.9) y = area.top();
}

void ReadFormPosition(TStoredTextList& list, const QString& section, const QString& keyX,
                      const QString& keyY, QWidget* window) {
  int x = window->x();
  int y = window->y();
  ReadPosition(list, section, keyX, keyY, x, y);
  window->move(x, y);
}

void WriteFormPosition(TStoredTextList& list, const QString& section, const QString& keyX,
                       const QString& keyY, const QWidget* window) {
  list.WriteInt(section, keyX, window->x());
  list.WriteInt(section, keyY, window->y());
}
