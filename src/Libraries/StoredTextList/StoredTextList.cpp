#include "StoredTextList/StoredTextList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QWidget>
#include <cerrno>
#include <cmath>

#include "ColorPanel.h"
#include "Error/Error.h"
#include "File/File.h"
#include "Utilities.h"
#include "ValueParsing.h"

namespace {

// A settings file larger than this is not one; its head is all that is read.
constexpr qint64 MaxSettingsFileSize = 64 * 1024 * 1024;

// Reads `fileName` into a new store; an absent file gives an empty store.
std::unique_ptr<TMemIniFile> ReadStore(const QString& fileName) {
  auto store = std::make_unique<TMemIniFile>(fileName);
  QFile file(fileName);
  if (!file.exists()) return store;
  if (!file.open(QIODevice::ReadOnly))
    THROW_ERROR(QStringLiteral("Cannot open file \"%1\": %2").arg(fileName, file.errorString()));
  store->Parse(file.read(MaxSettingsFileSize));
  return store;
}

}  // namespace

TStoredTextList::TStoredTextList(const QString& fileName) : FileName(fileName) {}

TStoredTextList::~TStoredTextList() = default;

TMemIniFile& TStoredTextList::Ini() {
  if (!Store) Store = std::make_unique<TMemIniFile>(FileName);
  return *Store;
}

bool TStoredTextList::Load(uint8_t argument) {
  bool result = false;
  Loading = true;
  {
    TStatusFrame frame(__FILE__, "TStoredTextList::Load", __LINE__, TStatusFrame::Outer,
                       QStringLiteral("Failed to load file."));
    frame.Run([&] {
      Store.reset();
      Store = ReadStore(FileName);
      if (OnLoad) OnLoad(*this, argument);
      result = true;
    });
    if (frame.Failed()) result = false;
  }
  Loading = false;
  return result;
}

bool TStoredTextList::LoadFrom(const QString& fileName, uint8_t argument) {
  FileName = fileName;
  return Load(argument);
}

bool TStoredTextList::Save(bool askOverwrite, uint8_t argument) {
  bool result = false;
  TStatusFrame frame(__FILE__, "TStoredTextList::Save", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to save file."));
  frame.Run([&] {
    if (askOverwrite && QFileInfo::exists(FileName) &&
        !AskQuery(QStringLiteral("File \"") + FileName +
                  QStringLiteral("\"already exists.\nOverwrite it?")))
      return;
    if (OnSave) OnSave(*this, argument);
    if (FileName.isEmpty())
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to save file."),
                  QStringLiteral("The file name is empty."));
    QFile existing(FileName);
    if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner))
      existing.setPermissions(existing.permissions() | QFileDevice::WriteOwner);
    errno = 0;
    if (!WriteFileAtomically(FileName, Ini().Serialize()))
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to save file."), FileName, {},
                  static_cast<uint32_t>(errno));
    result = true;
  });
  return result && !frame.Failed();
}

bool TStoredTextList::SaveAs(const QString& fileName, bool askOverwrite, uint8_t argument) {
  FileName = fileName;
  if (!Store) {
    TStatusFrame frame(__FILE__, "TStoredTextList::SaveAs", __LINE__, TStatusFrame::Outer,
                       QStringLiteral("Failed to save file."));
    frame.Run([&] { Store = ReadStore(fileName); });
    if (!Store) Store = std::make_unique<TMemIniFile>(fileName);
  }
  Store->FileName = fileName;
  return Save(askOverwrite, argument);
}

void TStoredTextList::Clear() {
  Ini().Clear();
}

void TStoredTextList::ReadText(const QString& section, const QString& key, bool allowEmpty,
                               int maxLength, QString& value) {
  const QString text = Ini().ReadString(section, key, value);
  if ((allowEmpty || !text.isEmpty()) && text.size() <= maxLength) value = text;
}

void TStoredTextList::WriteText(const QString& section, const QString& key, const QString& value) {
  Ini().WriteString(section, key, value);
}

void TStoredTextList::ReadComboBox(const QString& section, const QString& key,
                                   const QString& fallback, QComboBox* box) {
  QString text = Ini().ReadString(section, key, fallback);
  if (text.isEmpty()) text = fallback;
  if (box->isEditable()) {
    box->setEditText(text);
    return;
  }
  int index = 0;
  for (int i = 0; i < box->count(); ++i) {
    if (box->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
      index = i;
      break;
    }
  }
  box->setCurrentIndex(box->count() > 0 ? index : -1);
}

void TStoredTextList::WriteComboBox(const QString& section, const QString& key,
                                    const QComboBox* box) {
  Ini().WriteString(section, key, box->currentText());
}

void TStoredTextList::ReadBool(const QString& section, const QString& key, bool& value) {
  value = TextToBool(Ini().ReadString(section, key, BoolToText(value)));
}

void TStoredTextList::WriteBool(const QString& section, const QString& key, bool value) {
  Ini().WriteString(section, key, BoolToText(value));
}

void TStoredTextList::ReadCheckBox(const QString& section, const QString& key, QCheckBox* box) {
  bool checked = box->isChecked();
  ReadBool(section, key, checked);
  box->setChecked(checked);
}

void TStoredTextList::WriteCheckBox(const QString& section, const QString& key,
                                    const QCheckBox* box) {
  WriteBool(section, key, box->isChecked());
}

void TStoredTextList::ReadInt(const QString& section, const QString& key, int32_t& value,
                              int32_t lower, int32_t upper) {
  int32_t read = 0;
  if (TryTextToInt(Ini().ReadString(section, key, QString::number(value)), read) && read >= lower &&
      read <= upper)
    value = read;
}

void TStoredTextList::WriteInt(const QString& section, const QString& key, int32_t value) {
  Ini().WriteString(section, key, QString::number(value));
}

void TStoredTextList::ReadColor(const QString& section, const QString& key, int32_t& value) {
  value = TextToColor(Ini().ReadString(section, key, QString::number(value)));
}

void TStoredTextList::WriteColor(const QString& section, const QString& key, int32_t value) {
  WriteInt(section, key, value);
}

void TStoredTextList::ReadPanelColor(const QString& section, const QString& key,
                                     TColorPanel* panel) {
  panel->SetColor(
      TextToColor(Ini().ReadString(section, key, QString::number(panel->DefaultColor()))));
}

void TStoredTextList::WritePanelColor(const QString& section, const QString& key,
                                      const TColorPanel* panel) {
  WriteInt(section, key, panel->Color());
}

QString RealToText(double value) {
  QString text = QString::number(value, 'g', 15);
  const QString point = QLocale().decimalPoint();
  if (point != QStringLiteral(".")) text.replace(QLatin1Char('.'), point);
  return text;
}

bool TextToReal(const QString& text, double& value) {
  const QString point = QLocale().decimalPoint();
  QString plain = text;
  if (point != QStringLiteral(".")) {
    if (plain.contains(QLatin1Char('.'))) return false;
    plain.replace(point, QStringLiteral("."));
  }
  bool ok = false;
  const double read = plain.toDouble(&ok);
  if (!ok || !std::isfinite(read)) return false;
  value = read;
  return true;
}

void TStoredTextList::ReadReal(const QString& section, const QString& key, double& value) {
  TextToReal(Ini().ReadString(section, key, RealToText(value)), value);
}

void TStoredTextList::WriteReal(const QString& section, const QString& key, double value) {
  Ini().WriteString(section, key, RealToText(value));
}

void TStoredTextList::ReadPosition(const QString& section, const QString& keyX, const QString& keyY,
                                   int& x, int& y) {
  const QRect area = GetWorkAreaRect(0);
  ReadInt(section, keyX, x, INT32_MIN, INT32_MAX);
  if (x < area.left() || x > area.width() * 0.9) x = area.left();
  ReadInt(section, keyY, y, INT32_MIN, INT32_MAX);
  if (y < area.top() || y > area.height() * 0.9) y = area.top();
}

void TStoredTextList::ReadFormPosition(const QString& section, const QString& keyX,
                                       const QString& keyY, QWidget* window) {
  int x = window->x();
  int y = window->y();
  ReadPosition(section, keyX, keyY, x, y);
  window->move(x, y);
}

void TStoredTextList::WriteFormPosition(const QString& section, const QString& keyX,
                                        const QString& keyY, const QWidget* window) {
  WriteInt(section, keyX, window->x());
  WriteInt(section, keyY, window->y());
}

void TStoredTextList::ReadRelativeRect(const QString& section, const QString& keyLeft,
                                       const QString& keyTop, const QString& keyWidth,
                                       const QString& keyHeight, double& left, double& top,
                                       double& width, double& height) {
  auto readSize = [&](const QString& key, double current) {
    double size = current;
    ReadReal(section, key, size);
    if (!(size > 0)) size = current;
    return std::min(size, 1.0);
  };
  auto readOffset = [&](const QString& key, double current, double size) {
    double offset = current;
    ReadReal(section, key, offset);
    return std::clamp(offset, 0.0, 1.0 - size);
  };
  const double w = readSize(keyWidth, width);
  const double h = readSize(keyHeight, height);
  const double l = readOffset(keyLeft, left, w);
  const double t = readOffset(keyTop, top, h);
  left = l;
  top = t;
  width = w;
  height = h;
}

void TStoredTextList::WriteRelativeRect(const QString& section, const QString& keyLeft,
                                        const QString& keyTop, const QString& keyWidth,
                                        const QString& keyHeight, double left, double top,
                                        double width, double height) {
  WriteReal(section, keyLeft, left);
  WriteReal(section, keyTop, top);
  WriteReal(section, keyWidth, width);
  WriteReal(section, keyHeight, height);
}
