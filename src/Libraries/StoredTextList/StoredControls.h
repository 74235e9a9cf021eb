// Settings readers and writers that move values between a settings file and controls.
#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class QWidget;
class TColorPanel;
class TStoredTextList;

// A list-only box selects the item equal to the text ignoring case; a text that is none of them
// is rejected and the first item is selected.
void ReadComboBox(TStoredTextList& list, const QString& section, const QString& key,
                  const QString& fallback, QComboBox* box);
void WriteComboBox(TStoredTextList& list, const QString& section, const QString& key,
                   const QComboBox* box);
void ReadCheckBox(TStoredTextList& list, const QString& section, const QString& key,
                  QCheckBox* box);
void WriteCheckBox(TStoredTextList& list, const QString& section, const QString& key,
                   const QCheckBox* box);
// An absent or bad value gives the panel its default colour.
void ReadPanelColor(TStoredTextList& list, const QString& section, const QString& key,
                    TColorPanel* panel);
void WritePanelColor(TStoredTextList& list, const QString& section, const QString& key,
                     const TColorPanel* panel);
void ReadPosition(TStoredTextList& list, const QString& section, const QString& keyX,
                  const QString& keyY, int& x, int& y);
void ReadFormPosition(TStoredTextList& list, const QString& section, const QString& keyX,
                      const QString& keyY, QWidget* window);
void WriteFormPosition(TStoredTextList& list, const QString& section, const QString& keyX,
                       const QString& keyY, const QWidget* window);
