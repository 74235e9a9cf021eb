#include "Error/ErrorForm.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Application.h"
#include "Error/Error.h"
#include "File/File.h"
#include "Help.h"
#include "Program.h"
#include "Utilities.h"

TErrorForm* ErrorForm = nullptr;

namespace {
// The window that reports go to; the last one made, until it is destroyed.
TErrorForm* ReportWindow = nullptr;
}  // namespace

TErrorForm::TErrorForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ErrorForm"));
  setWindowTitle(QStringLiteral("Error"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(340, 265);
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(9);
  setFont(font);

  MainMemo = new QPlainTextEdit(this);
  MainMemo->setObjectName(QStringLiteral("MainMemo"));
  MainMemo->setReadOnly(true);
  MainMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MainMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  MainMemo->setGeometry(5, 5, 330, 120);

  auto button = [this](const char* name, const QString& caption, int x, int y, int w) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, w, 25);
    b->setAutoDefault(false);
    return b;
  };
  OkayButton = button("OkayButton", QStringLiteral("&Okay"), 5, 135, 95);
  OkayNoErrorsButton =
      button("OkayNoErrorsButton", QStringLiteral("O&kay (no errors)"), 110, 135, 120);
  CancelButton = button("CancelButton", QStringLiteral("&Cancel"), 240, 135, 95);
  TerminateButton =
      button("TerminateButton", QStringLiteral("&Terminate application immediately"), 65, 170, 210);
  LogButton = button("LogButton", QStringLiteral("&Log"), 5, 205, 95);
  HelpButton = button("HelpButton", QStringLiteral("&Help"), 240, 205, 95);
  OkayButton->setDefault(true);

  RecursionLabel = new QLabel(QStringLiteral("Recursion"), this);
  RecursionLabel->setObjectName(QStringLiteral("RecursionLabel"));
  RecursionLabel->setGeometry(5, 240, 330, 20);

  connect(OkayButton, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(OkayNoErrorsButton, &QPushButton::clicked, this, [this] { done(mrYes); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });
  connect(TerminateButton, &QPushButton::clicked, this, [] { std::_Exit(1); });
  connect(LogButton, &QPushButton::clicked, this, [this] {
    if (SaveToLog()) BeepDone();
  });
  connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelp(HelpContext); });

  RecursionCount = 0;
  SetApplicationExceptionHandler(
      [](const QString& message) { FunStatContext.OnApplicationException(message); });
  SetReportSink([this](const TFunStatContext& context, const QString& description, bool* noErrors) {
    // The report is made before Show counts this request.
    return Show(TFunStatContext::GetStatusText(context.Status), description,
                context.GetReport(RecursionCount), noErrors);
  });
  ReportWindow = this;
}

TErrorForm::~TErrorForm() {
  if (ErrorForm == this) ErrorForm = nullptr;
  if (ReportWindow == this) {
    SetReportSink(nullptr);
    ReportWindow = nullptr;
  }
}

bool TErrorForm::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) OkayButton->setFocus();
  return QDialog::event(e);
}

bool TErrorForm::Show(const QString& caption, const QString& description, const QString& report,
                      bool* noErrors) {
  int result = mrNone;
  try {
    setWindowTitle(caption);
    if (RecursionCount > 0) {
      // Called from inside our own modal loop: count it, keep the first report.
      ++RecursionCount;
      RecursionLabel->setText(QStringLiteral("Recursive attempts = ") +
                              QString::number(RecursionCount - 1));
      return true;
    }
    RecursionCount = 1;
    RecursionLabel->setText(QStringLiteral("Recursive attempts = None"));
    Memo = QStringLiteral("DESCRIPTION\r\n") +
           (description.isEmpty() ? QStringLiteral("Failed to perform.") : description) +
           QStringLiteral("\r\n") + report;
    QString shown = Memo;
    shown.remove(QLatin1Char('\r'));
    MainMemo->setPlainText(shown);
    setResult(mrNone);
    if (!isVisible()) result = exec();
  } catch (...) {
  }
  RecursionCount = 0;
  if (noErrors) *noErrors = (result == mrYes);
  return result == mrOk || result == mrYes;
}

bool TErrorForm::SaveToLog() {
  const QByteArray path = (GetProgramWriteDirectory() + QStringLiteral("Errors.log")).toLocal8Bit();
  // Cleared after finding the directory, whose probing may leave errno set.
  errno = 0;
  const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0 || IsSystemErrorOnOpen()) {
    if (fd >= 0) ::close(fd);
    return false;
  }
  bool ok = true;
  if (GetFileSize(QString::fromLocal8Bit(path)) > 10000) ok = ::ftruncate(fd, 0) == 0;
  const QByteArray entry =
      QByteArrayLiteral("**********") + Memo.toUtf8() + QByteArrayLiteral("\r\n**********\r\n");
  ok = ok && ::lseek(fd, 0, SEEK_END) >= 0;
  ok = ok && ::write(fd, entry.constData(), entry.size()) == entry.size();
  ok = (::close(fd) == 0) && ok;
  return ok;
}
