#include "Error/Error.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "Platform/ProcessInfo.h"

TFunStatContext FunStatContext;

namespace {

TReportSink& ReportSink() {
  static TReportSink sink;
  return sink;
}

TErrorBoxSink& ErrorBoxSink() {
  static TErrorBoxSink sink;
  return sink;
}

TQuestionSink& QuestionSink() {
  static TQuestionSink sink;
  return sink;
}

void WriteToStandardError(QString text) {
  text.remove(QLatin1Char('\r'));
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  std::fflush(stderr);
}

// Frames share FunStatContext unguarded, so they belong to the user-interface thread: the
// application's, or without an application (plain code under test) the first frame's thread.
[[maybe_unused]] bool OnUserInterfaceThread() {
  if (const QCoreApplication* application = QCoreApplication::instance())
    return QThread::currentThread() == application->thread();
  static const std::thread::id first = std::this_thread::get_id();
  return std::this_thread::get_id() == first;
}

std::function<QDateTime()>& ReportClock() {
  static std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
  return clock;
}

QString Quoted(const QString& text) {
  return QLatin1Char('"') + text + QLatin1Char('"');
}

QString LastComponent(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  const qsizetype backslash = path.lastIndexOf(QLatin1Char('\\'));
  return path.mid(std::max(slash, backslash) + 1);
}

}  // namespace

TFunStatContext::TFunStatContext(const TFunStatContext& other) {
  Assign(other);
}

TFunStatContext& TFunStatContext::operator=(const TFunStatContext& other) {
  if (this != &other) Assign(other);
  return *this;
}

void TFunStatContext::SetBegin(const QString& file, const QString& function, int32_t line) {
  Status = fsBeginError;
  File = file;
  Function = function;
  Line = line;
  Description.clear();
  Parameter1.clear();
  Parameter2.clear();
  SystemErrorCode = 0;
}

void TFunStatContext::SetRaise(const QString& file, const QString& function, int32_t line,
                               int32_t status, const QString& description,
                               const QString& parameter1, const QString& parameter2,
                               uint32_t systemErrorCode) {
  File = file;
  Function = function;
  Line = line;
  Status = status;
  Description = description;
  Parameter1 = parameter1;
  Parameter2 = parameter2;
  SystemErrorCode = systemErrorCode;
}

void TFunStatContext::SetShow(const QString& file, const QString& function, int32_t line) {
  ShowFile = file;
  ShowFunction = function;
  ShowLine = line;
}

void TFunStatContext::Reset(int32_t status) {
  Status = status;
  File.clear();
  Function.clear();
  Line = 0;
  Description.clear();
  Parameter1.clear();
  Parameter2.clear();
  SystemErrorCode = 0;
}

void TFunStatContext::ResetUser() {
  UserCode = 0;
  UserText.clear();
  UserInt = 0;
  UserReal = 0.0;
}

void TFunStatContext::Assign(const TFunStatContext& other) {
  Status = other.Status;
  File = other.File;
  Function = other.Function;
  Line = other.Line;
  Description = other.Description;
  Parameter1 = other.Parameter1;
  Parameter2 = other.Parameter2;
  SystemErrorCode = other.SystemErrorCode;
  UserCode = other.UserCode;
  UserText = other.UserText;
  UserInt = other.UserInt;
  UserReal = other.UserReal;
}

QString TFunStatContext::GetStatusText(int32_t status) {
  switch (status) {
    case fsPerfect:
      return QStringLiteral("Perfect");
    case fsWarning:
      return QStringLiteral("Warning");
    case fsError:
      return QStringLiteral("Error");
    case fsBeginError:
      return QStringLiteral("Begin function error");
    case fsPanic:
      return QStringLiteral("Panic");
    case fsCatastrophe:
      return QStringLiteral("Catastrophe");
    default:
      return QStringLiteral("Unknown function status");
  }
}

void SetReportClock(std::function<QDateTime()> clock) {
  ReportClock() = clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); };
}

QString ReportTimeText() {
  const QDateTime now = ReportClock()();
  // The default locale follows the system's unless a test fixes it.
  const QLocale locale;
  QString time = locale.toString(now.time(), QLocale::LongFormat);
  // The report always separates hours, minutes and seconds with ":".
  time.replace(QLatin1Char('.'), QLatin1Char(':'));
  // Units of 100 seconds, in integers: the day fraction times 864 in floating point truncates
  // some exact multiples (6100 s) one unit short.
  const int hundreds = now.time().msecsSinceStartOfDay() / 100000;
  return locale.toString(now.date(), QLocale::LongFormat) + QStringLiteral(" (") +
         QString::number(now.date().dayOfYear()) + QStringLiteral(") | ") + time +
         QStringLiteral(" (") + QString::number(hundreds) + QLatin1Char(')');
}

QString TFunStatContext::GetReport(int recursiveAttempts) const {
  const QString nl = QStringLiteral("\r\n");
  QString r;
  try {
    r += nl + QStringLiteral("RAISE CONTEXT");
    r += nl + QStringLiteral("* Status: ") + GetStatusText(Status);
    if (Status == fsCatastrophe)
      r += QStringLiteral(
          ": CATASTROPHIC FAILURE!!! It is highly recommended to terminate the program "
          "immediately!");
    r += nl + QStringLiteral("* File: ") + Quoted(LastComponent(File));
    r += nl + QStringLiteral("* Function: ") + Quoted(Function);
    r += nl + QStringLiteral("* Line: ") + QString::number(Line);
    r += nl + QStringLiteral("* Description: ") + Quoted(Description);
    if (!Parameter1.isEmpty()) r += nl + QStringLiteral("* Parameter 1: ") + Quoted(Parameter1);
    if (!Parameter2.isEmpty()) r += nl + QStringLiteral("* Parameter 2: ") + Quoted(Parameter2);
    if (SystemErrorCode != 0) {
      r += nl + QStringLiteral("* System error code: ") + QString::number(SystemErrorCode);
      r += nl + QStringLiteral("* System error description: ") +
           Quoted(SystemErrorText(SystemErrorCode));
    }
    r += nl + nl + QStringLiteral("SHOW CONTEXT");
    r += nl + QStringLiteral("* File: ") + Quoted(LastComponent(ShowFile));
    r += nl + QStringLiteral("* Function: ") + Quoted(ShowFunction);
    r += nl + QStringLiteral("* Line: ") + QString::number(ShowLine);
    r += nl + nl + QStringLiteral("INFO");
    r += nl + QStringLiteral("* Time: ") + ReportTimeText();
    r += nl + QStringLiteral("* Program: ") + Platform::ExecutablePath();
    r += nl + QStringLiteral("* Recursive attempts: ") + QString::number(recursiveAttempts);
    r += nl + nl + QStringLiteral("USER INFO");
    r += nl + QStringLiteral("* UserCode: ") + QString::number(UserCode);
    r += nl + QStringLiteral("* UserText: ") + UserText;
    r += nl + QStringLiteral("* UserInt: ") + QString::number(UserInt);
    r += nl + QStringLiteral("* UserReal: ") + QString::number(UserReal, 'g', 15);
  } catch (...) {
    // A report cut short is still worth showing.
  }
  return r;
}

void SetReportSink(TReportSink sink) {
  ReportSink() = std::move(sink);
}

bool HasReportSink() {
  return static_cast<bool>(ReportSink());
}

void SetErrorBoxSink(TErrorBoxSink sink) {
  ErrorBoxSink() = std::move(sink);
}

void ShowErrorBox(const QString& text, TErrorBoxButtons buttons) {
  if (ErrorBoxSink())
    ErrorBoxSink()(text, buttons);
  else
    WriteToStandardError(QStringLiteral("Error: ") + text);
}

void SetQuestionSink(TQuestionSink sink) {
  QuestionSink() = std::move(sink);
}

bool AskQuestion(const QString& text) {
  if (QuestionSink()) return QuestionSink()(text);
  WriteToStandardError(QStringLiteral("Query (answered No): ") + text);
  return false;
}

bool TFunStatContext::Show(const QString& description, bool* noErrors) {
  if (!HasReportSink()) {
    if (noErrors) *noErrors = false;
    // The box cannot carry the report; a terminal still gets it.
    try {
      WriteToStandardError(description + GetReport());
    } catch (...) {
    }
    ShowErrorBox(QStringLiteral("The error-dialog form is not created. You must create it."));
    return false;
  }
  try {
    return ReportSink()(*this, description, noErrors);
  } catch (...) {
    return false;
  }
}

void TFunStatContext::OnApplicationException(const QString& message) {
  const int savedErrno = errno;
  const QString description = QStringLiteral("Unhandled error.\r\n") + message;
  SetRaise(QStringLiteral(__FILE__), QStringLiteral("TFunStatContext::OnApplicationException"),
           __LINE__, fsError, description, {}, {}, static_cast<uint32_t>(savedErrno));
  SetShow(QStringLiteral(__FILE__), QStringLiteral("TFunStatContext::OnApplicationException"),
          __LINE__);
  Show(description);
  Reset(fsPerfect);
}

TLocatedError::TLocatedError(const QString& message, const char* file, int line)
    : std::runtime_error(message.toStdString()), File(file), Line(line) {}

TStatusFrame::TStatusFrame(const char* file, const char* function, int line, Kind kind,
                           const QString& description)
    : File(QString::fromUtf8(file)),
      Function(QString::fromUtf8(function)),
      EndLine(line),
      FrameKind(kind),
      Description(description) {
  Q_ASSERT_X(OnUserInterfaceThread(), function,
             "a status frame was opened off the user-interface thread");
  FunStatContext.SetBegin(File, Function, line);
}

void TStatusFrame::Run(const std::function<void()>& body, int endLine) {
  if (endLine > 0) EndLine = endLine;
  try {
    body();
  } catch (const Leave&) {
  } catch (const TLocatedError& e) {
    Local.SetRaise(File, Function, EndLine, fsError,
                   QStringLiteral("Unhandled exception: ") + QString::fromUtf8(e.what()),
                   LastComponent(QString::fromUtf8(e.ThrowFile())), QString::number(e.ThrowLine()),
                   0);
  } catch (const std::exception& e) {
    Local.SetRaise(File, Function, EndLine, fsError,
                   QStringLiteral("Unhandled exception: ") + QString::fromUtf8(e.what()), {},
                   QStringLiteral("0"), 0);
  } catch (...) {
    Local.SetRaise(File, Function, EndLine, fsError, QStringLiteral("Unhandled generic exception."),
                   {}, QStringLiteral("0"), 0);
  }
}

void TStatusFrame::Note(int line, int32_t status, const QString& description,
                        const QString& parameter1, const QString& parameter2,
                        uint32_t systemErrorCode) {
  Local.SetRaise(File, Function, line, status, description, parameter1, parameter2,
                 systemErrorCode);
}

void TStatusFrame::Raise(int line, int32_t status, const QString& description,
                         const QString& parameter1, const QString& parameter2,
                         uint32_t systemErrorCode) {
  Note(line, status, description, parameter1, parameter2, systemErrorCode);
  throw Leave{};
}

bool TStatusFrame::CalleeFailed() {
  if (!FunStatContext.Failed()) return false;
  Local.Assign(FunStatContext);
  return true;
}

void TStatusFrame::Check() {
  if (CalleeFailed()) throw Leave{};
}

TStatusFrame::~TStatusFrame() {
  if (FrameKind == Outer) {
    try {
      if (Local.Failed()) {
        Local.SetShow(File, QString(), EndLine);
        Local.Show(Description);
      }
    } catch (...) {
      // A failure while reporting is not reported again.
    }
    Local.Reset(fsPerfect);
  }
  FunStatContext.Assign(Local);
}

// Linux has no twins of the Windows codes that the original tests skip (out of memory on a
// partial read, a request aborted by the user, "already exists" after an open-always):
// ENOMEM is a real failure here, and open(O_CREAT) without O_EXCL never reports EEXIST.
// So every non-zero errno counts; EINTR is treated as normal because it only means "retry".
bool IsSystemError() {
  return errno != 0 && errno != EINTR;
}

bool IsSystemErrorOnOpen() {
  return IsSystemError() && errno != EEXIST;
}

// A directory scan that ends, or a folder that does not exist, is not a failure of the scan.
bool IsFindResultNormal(int code) {
  return code == 0 || code == ENOENT;
}

// Linux calls return -1 with errno; ECANCELED stands for a cancellation by the user.
bool IsComFailure(long result) {
  return result < 0 && errno != ECANCELED;
}

QString SystemErrorText(uint32_t code) {
  return QString::fromLocal8Bit(strerror(static_cast<int>(code)));
}
