// The error report window.
#pragma once

#include <QDialog>

#include "Error/Error.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TErrorForm : public QDialog {
  Q_OBJECT
 public:
  // Modal results, as the buttons report them.
  enum { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6 };
  static constexpr int HelpContext = 110;

  explicit TErrorForm(QWidget* parent = nullptr);
  ~TErrorForm() override;

  bool Show(const QString& caption, const QString& description, const QString& report,
            bool* noErrors = nullptr);
  bool SaveToLog();
  QString MemoText() const { return Memo; }

  int RecursionCount = 0;
  QPlainTextEdit* MainMemo;
  QPushButton* OkayButton;
  QPushButton* OkayNoErrorsButton;
  QPushButton* CancelButton;
  QPushButton* TerminateButton;
  QPushButton* LogButton;
  QPushButton* HelpButton;
  QLabel* RecursionLabel;

 protected:
  bool event(QEvent* event) override;

 private:
  QString Memo;  // the report exactly as logged (CR LF line breaks)
};

// The one report window of the program; null until start-up creates it.
extern TErrorForm* ErrorForm;
