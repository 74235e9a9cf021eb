// Status frames: every operation that can fail reports through FunStatContext.
#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <functional>
#include <stdexcept>

enum TFunStatus : int32_t {
  fsPerfect = 0,
  fsWarning = 1,
  fsError = 2,
  fsBeginError = 3,
  fsPanic = 4,
  fsCatastrophe = 5,
};

inline bool IsFailure(int32_t status) {
  return status >= fsError;
}

class TFunStatContext {
 public:
  int32_t Status = fsPerfect;
  QString File;
  QString Function;
  int32_t Line = 0;
  QString Description;
  QString Parameter1;
  QString Parameter2;
  uint32_t SystemErrorCode = 0;
  QString ShowFile;
  QString ShowFunction;
  int32_t ShowLine = 0;
  int32_t UserCode = 0;
  QString UserText;
  int32_t UserInt = 0;
  double UserReal = 0.0;

  TFunStatContext() = default;
  // A copy starts with an empty show context.
  TFunStatContext(const TFunStatContext& other);
  TFunStatContext& operator=(const TFunStatContext& other);

  void SetBegin(const QString& file, const QString& function, int32_t line);
  void SetRaise(const QString& file, const QString& function, int32_t line, int32_t status,
                const QString& description, const QString& parameter1 = {},
                const QString& parameter2 = {}, uint32_t systemErrorCode = 0);
  void SetShow(const QString& file, const QString& function, int32_t line);
  void Reset(int32_t status);
  void ResetUser();
  // Copies everything but the show context, which stays as it was.
  void Assign(const TFunStatContext& other);

  bool Failed() const { return IsFailure(Status); }

  static QString GetStatusText(int32_t status);
  // `recursiveAttempts`: reports asked for while the report window is on screen.
  QString GetReport(int recursiveAttempts = 0) const;
  bool Show(const QString& description, bool* noErrors = nullptr);
  void OnApplicationException(const QString& message);
};

extern TFunStatContext FunStatContext;

// Where Show hands a report. The report window installs itself here while it exists; it shows
// the report of `context` under `description` and returns true when the user accepted it.
using TReportSink =
    std::function<bool(const TFunStatContext& context, const QString& description, bool* noErrors)>;
// Null removes the sink: Show then writes the report to stderr and says in an error box that
// the window is missing.
void SetReportSink(TReportSink sink);
bool HasReportSink();

// Plain error boxes (caption "Error", stop icon) for code without widgets; the answer is not
// used. The widget library installs the box; until it does, the text goes to stderr.
enum class TErrorBoxButtons { Ok, OkCancel };
using TErrorBoxSink = std::function<void(const QString& text, TErrorBoxButtons buttons)>;
void SetErrorBoxSink(TErrorBoxSink sink);
void ShowErrorBox(const QString& text, TErrorBoxButtons buttons = TErrorBoxButtons::Ok);
// A Yes/No question (caption "Query") for code without widgets, installed with the error box;
// without it nobody can say Yes, so the answer is No.
using TQuestionSink = std::function<bool(const QString& text)>;
void SetQuestionSink(TQuestionSink sink);
bool AskQuestion(const QString& text);

// The time line of a report; tests swap the clock to compare whole reports.
QString ReportTimeText();
void SetReportClock(std::function<class QDateTime()> clock);

// An exception that knows where it was thrown, so frames can report the site.
class TLocatedError : public std::runtime_error {
 public:
  TLocatedError(const QString& message, const char* file, int line);
  const char* ThrowFile() const { return File; }
  int ThrowLine() const { return Line; }

 private:
  const char* File;
  int Line;
};
#define THROW_ERROR(message) throw TLocatedError((message), __FILE__, __LINE__)

// One status frame. Construction records the begin; Run executes the body behind a catch-all;
// destruction hands the final status to the caller through FunStatContext. An outer frame
// shows its report instead and leaves Perfect behind. Frames belong to the user-interface
// thread (asserted): helper threads report through their caller.
//
//   int64_t GetFileSize(const QString& path) {
//     int64_t size = 0;
//     TStatusFrame frame(__FILE__, "GetFileSize", __LINE__);
//     frame.Run([&] {
//       ...
//       if (failed) frame.Raise(__LINE__, fsWarning, "Failed to get file size.", path, {}, errno);
//     });
//     return frame.Failed() ? 0 : size;
//   }
class TStatusFrame {
 public:
  enum Kind { Inner, Outer };
  TStatusFrame(const char* file, const char* function, int line, Kind kind = Inner,
               const QString& description = {});
  ~TStatusFrame();
  TStatusFrame(const TStatusFrame&) = delete;
  TStatusFrame& operator=(const TStatusFrame&) = delete;

  // Runs the body; Raise and Check leave it early, any other exception is recorded.
  void Run(const std::function<void()>& body, int endLine = 0);

  // Records a failure and leaves the body.
  void Raise(int line, int32_t status, const QString& description, const QString& parameter1 = {},
             const QString& parameter2 = {}, uint32_t systemErrorCode = 0);
  // Records a failure without leaving the body.
  void Note(int line, int32_t status, const QString& description, const QString& parameter1 = {},
            const QString& parameter2 = {}, uint32_t systemErrorCode = 0);
  // After a framed call: take over a callee's failure and leave the body.
  void Check();
  // Like Check, but only reports whether the callee failed.
  bool CalleeFailed();

  bool Failed() const { return Local.Failed(); }
  TFunStatContext Local;

 private:
  struct Leave {};
  QString File;
  QString Function;
  int EndLine;
  Kind FrameKind;
  QString Description;
};

// Operating-system error tests over errno (see Error.cpp for what counts as normal here).
bool IsSystemError();
bool IsSystemErrorOnOpen();
bool IsFindResultNormal(int code);
bool IsComFailure(long result);
QString SystemErrorText(uint32_t code);
