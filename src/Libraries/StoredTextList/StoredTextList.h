// A settings file: the in-memory ini store, load/save events for its owner, and typed helpers
// that move values between the file and the window's controls.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "StoredTextList/MemIniFile.h"

class QCheckBox;
class QComboBox;
class QWidget;
class TColorPanel;

class TStoredTextList {
 public:
  using TEvent = std::function<void(TStoredTextList& list, uint8_t argument)>;

  explicit TStoredTextList(const QString& fileName = {});
  ~TStoredTextList();

  bool Load(uint8_t argument = 0);
  bool LoadFrom(const QString& fileName, uint8_t argument = 0);
  bool Save(bool askOverwrite, uint8_t argument = 0);
  bool SaveAs(const QString& fileName, bool askOverwrite, uint8_t argument = 0);
  void Clear();

  QString FileName;
  bool Loading = false;
  TEvent OnLoad;
  TEvent OnSave;
  std::unique_ptr<TMemIniFile> Store;

  // Readers keep the current value when the key is absent or its value is not accepted.
  void ReadText(const QString& section, const QString& key, bool allowEmpty, int maxLength,
                QString& value);
  void WriteText(const QString& section, const QString& key, const QString& value);
  void ReadComboBox(const QString& section, const QString& key, const QString& fallback,
                    QComboBox* box);
  void WriteComboBox(const QString& section, const QString& key, const QComboBox* box);
  void ReadBool(const QString& section, const QString& key, bool& value);
  void WriteBool(const QString& section, const QString& key, bool value);
  void ReadCheckBox(const QString& section, const QString& key, QCheckBox* box);
  void WriteCheckBox(const QString& section, const QString& key, const QCheckBox* box);
  void ReadInt(const QString& section, const QString& key, int32_t& value, int32_t lower,
               int32_t upper);
  void WriteInt(const QString& section, const QString& key, int32_t value);
  // Colour text that is not a colour throws: it aborts the load that reads it.
  void ReadColor(const QString& section, const QString& key, int32_t& value);
  void WriteColor(const QString& section, const QString& key, int32_t value);
  void ReadPanelColor(const QString& section, const QString& key, TColorPanel* panel);
  void WritePanelColor(const QString& section, const QString& key, const TColorPanel* panel);
  void ReadReal(const QString& section, const QString& key, double& value);
  void WriteReal(const QString& section, const QString& key, double value);
  void ReadPosition(const QString& section, const QString& keyX, const QString& keyY, int& x,
                    int& y);
  void ReadFormPosition(const QString& section, const QString& keyX, const QString& keyY,
                        QWidget* window);
  void WriteFormPosition(const QString& section, const QString& keyX, const QString& keyY,
                         const QWidget* window);
  void ReadRelativeRect(const QString& section, const QString& keyLeft, const QString& keyTop,
                        const QString& keyWidth, const QString& keyHeight, double& left,
                        double& top, double& width, double& height);
  void WriteRelativeRect(const QString& section, const QString& keyLeft, const QString& keyTop,
                         const QString& keyWidth, const QString& keyHeight, double left,
                         double top, double width, double height);

 private:
  TMemIniFile& Ini();
};

// Reals in settings files: shortest form with at most 15 significant digits and the user's
// decimal separator.
QString RealToText(double value);
bool TextToReal(const QString& text, double& value);
