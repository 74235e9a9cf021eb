// Answers the modal windows a test provokes (message boxes, the error report, choosers).
#pragma once

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

class TModalAnswerer {
 public:
  // `answer` gets each new modal window once and closes it (for example by clicking a button).
  explicit TModalAnswerer(std::function<void(QWidget*)> answer);
  ~TModalAnswerer();

  // Titles of the modal windows seen, in order.
  QStringList Titles;
  // Their main text: a message box's text, or the error report's memo.
  QStringList Texts;

  // Clicks the button of a QMessageBox or dialog whose text is `caption` (mnemonic "&" ignored).
  static bool ClickButton(QWidget* window, const QString& caption);

 private:
  void Poll();
  std::function<void(QWidget*)> Answer;
  QPointer<QWidget> Last;
  QTimer Timer;
};
