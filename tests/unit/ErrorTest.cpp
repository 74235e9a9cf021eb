#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <ctime>
#include <stdexcept>
#include <thread>
#include <vector>

#include "Error/Error.h"
#include "Program.h"
#include "Utilities.h"

namespace {

constexpr int CalleeRaiseLine = 1234;

void Callee(int32_t status) {
  TStatusFrame frame("/src/Libraries/Callee.cpp", "Callee", 10);
  frame.Run([&] {
    frame.Raise(CalleeRaiseLine, status, QStringLiteral("Failed to call."),
                QStringLiteral("detail"));
  });
}

// Calls Callee and, as a caller does, takes over its failure; returns whether it went on.
bool Caller(int32_t calleeStatus) {
  bool wentOn = false;
  TStatusFrame frame("/src/Caller.cpp", "Caller", 20);
  frame.Run([&] {
    Callee(calleeStatus);
    frame.Check();
    wentOn = true;
  });
  return wentOn;
}

template <typename Body>
TFunStatContext RunFramed(Body body) {
  {
    TStatusFrame frame(__FILE__, "Thrower", 30);
    frame.Run(body, 40);
  }
  return FunStatContext;
}

class Report : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("TZ", "UTC");
    tzset();
    QLocale::setDefault(QLocale::c());
    SetReportClock([] { return QDateTime(QDate(2006, 10, 30), QTime(13, 45, 10)); });
  }
  void TearDown() override {
    SetReportClock(nullptr);
    QLocale::setDefault(QLocale::system());
  }
};

const QString Nl = QStringLiteral("\r\n");

QString Tail(int recursive = 0) {
  return Nl + Nl + "INFO" + Nl + "* Time: Monday, 30 October 2006 (303) | 13:45:10 UTC (495)" + Nl +
         "* Program: " + GetProgramFilePath() + Nl +
         "* Recursive attempts: " + QString::number(recursive) + Nl + Nl + "USER INFO" + Nl +
         "* UserCode: 0" + Nl + "* UserText: " + Nl + "* UserInt: 0" + Nl + "* UserReal: 0";
}

}  // namespace

TEST(StatusFrameDeathTest, OnlyTheUserInterfaceThreadOpensFrames) {
#ifdef QT_NO_DEBUG
  GTEST_SKIP() << "assertions are compiled out";
#endif
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(std::thread([] { TStatusFrame frame(__FILE__, "Helper", __LINE__); }).join(),
               "Helper.*off the user-interface thread");
}

TEST(StatusFrame, SuccessLeavesPerfectAndRunningShowsBegin) {
  FunStatContext.Reset(fsError);
  int32_t during = -1;
  QString function;
  {
    TStatusFrame frame(__FILE__, "Working", 50);
    frame.Run([&] {
      during = FunStatContext.Status;
      function = FunStatContext.Function;
    });
  }
  EXPECT_EQ(during, fsBeginError);
  EXPECT_EQ(function, QStringLiteral("Working"));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST(StatusFrame, CalleeErrorReachesTheCallerWithItsRaiseContext) {
  EXPECT_FALSE(Caller(fsError));
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.File, QStringLiteral("/src/Libraries/Callee.cpp"));
  EXPECT_EQ(FunStatContext.Function, QStringLiteral("Callee"));
  EXPECT_EQ(FunStatContext.Line, CalleeRaiseLine);
  EXPECT_EQ(FunStatContext.Description, QStringLiteral("Failed to call."));
  EXPECT_EQ(FunStatContext.Parameter1, QStringLiteral("detail"));
}

TEST(StatusFrame, CalleeWarningDoesNotFailTheCaller) {
  Callee(fsWarning);
  EXPECT_EQ(FunStatContext.Status, fsWarning);
  EXPECT_TRUE(Caller(fsWarning));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST(StatusFrame, ExceptionsAreRecordedWithTheirSite) {
  TFunStatContext c = RunFramed([] { THROW_ERROR(QStringLiteral("Bad value.")); });
  EXPECT_EQ(c.Status, fsError);
  EXPECT_EQ(c.Function, QStringLiteral("Thrower"));
  EXPECT_EQ(c.Line, 40);
  EXPECT_EQ(c.Description, QStringLiteral("Unhandled exception: Bad value."));
  EXPECT_EQ(c.Parameter1, QStringLiteral("ErrorTest.cpp"));
  EXPECT_GT(c.Parameter2.toInt(), 0);

  c = RunFramed([] { throw std::runtime_error("plain"); });
  EXPECT_EQ(c.Description, QStringLiteral("Unhandled exception: plain"));
  EXPECT_EQ(c.Parameter1, QString());
  EXPECT_EQ(c.Parameter2, QStringLiteral("0"));

  c = RunFramed([] { throw 42; });
  EXPECT_EQ(c.Description, QStringLiteral("Unhandled generic exception."));
  EXPECT_EQ(c.SystemErrorCode, 0u);
}

TEST(StatusContext, CopiesLeaveTheShowContextOut) {
  TFunStatContext a;
  a.SetRaise("f.cpp", "F", 3, fsError, "D", "p1", "p2", 5);
  a.SetShow("s.cpp", "S", 9);
  a.UserText = "user";
  const TFunStatContext copy(a);
  EXPECT_EQ(copy.Description, QStringLiteral("D"));
  EXPECT_EQ(copy.UserText, QStringLiteral("user"));
  EXPECT_EQ(copy.ShowFile, QString());
  EXPECT_EQ(copy.ShowLine, 0);
  TFunStatContext b;
  b.SetShow("keep.cpp", "K", 7);
  b.Assign(a);
  EXPECT_EQ(b.SystemErrorCode, 5u);
  EXPECT_EQ(b.ShowFile, QStringLiteral("keep.cpp"));
  EXPECT_EQ(b.ShowLine, 7);
}

TEST(StatusContext, StatusTexts) {
  const char* texts[] = {"Perfect", "Warning",    "Error", "Begin function error",
                         "Panic",   "Catastrophe"};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(TFunStatContext::GetStatusText(i), QString::fromLatin1(texts[i]));
  EXPECT_EQ(TFunStatContext::GetStatusText(7), QStringLiteral("Unknown function status"));
  EXPECT_EQ(TFunStatContext::GetStatusText(-1), QStringLiteral("Unknown function status"));
}

TEST_F(Report, WholeTextWithSystemErrorLines) {
  TFunStatContext c;
  c.SetRaise("/home/dev/src/Libraries/File.cpp", "GetFileSize", 21, fsError,
             "Failed to get file size.", "/tmp/x", {}, 2);
  c.SetShow("/home/dev/src/MainDialog/MainDialog.cpp", {}, 99);
  EXPECT_EQ(c.GetReport(), Nl + "RAISE CONTEXT" + Nl + "* Status: Error" + Nl +
                               "* File: \"File.cpp\"" + Nl + "* Function: \"GetFileSize\"" + Nl +
                               "* Line: 21" + Nl + "* Description: \"Failed to get file size.\"" +
                               Nl + "* Parameter 1: \"/tmp/x\"" + Nl + "* System error code: 2" +
                               Nl + "* System error description: \"No such file or directory\"" +
                               Nl + Nl + "SHOW CONTEXT" + Nl + "* File: \"MainDialog.cpp\"" + Nl +
                               "* Function: \"\"" + Nl + "* Line: 99" + Tail());
}

TEST_F(Report, EmptyDetailsGiveNoLinesAndCatastropheWarns) {
  TFunStatContext c;
  c.SetRaise("a.cpp", "A", 1, fsCatastrophe, "D");
  EXPECT_EQ(c.GetReport(),
            Nl + "RAISE CONTEXT" + Nl +
                "* Status: Catastrophe: CATASTROPHIC FAILURE!!! It is highly recommended to "
                "terminate the program immediately!" +
                Nl + "* File: \"a.cpp\"" + Nl + "* Function: \"A\"" + Nl + "* Line: 1" + Nl +
                "* Description: \"D\"" + Nl + Nl + "SHOW CONTEXT" + Nl + "* File: \"\"" + Nl +
                "* Function: \"\"" + Nl + "* Line: 0" + Tail());
  c.Status = 7;
  c.Parameter2 = "12";
  const QString report = c.GetReport();
  EXPECT_TRUE(report.contains(Nl + "* Status: Unknown function status" + Nl));
  EXPECT_TRUE(
      report.contains(Nl + "* Description: \"D\"" + Nl + "* Parameter 2: \"12\"" + Nl + Nl));
  EXPECT_FALSE(report.contains("Parameter 1"));
}

TEST_F(Report, UserInfoIsReported) {
  TFunStatContext c;
  c.UserCode = -3;
  c.UserText = "note";
  c.UserInt = 9;
  c.UserReal = 0.7;
  EXPECT_TRUE(c.GetReport().endsWith(Nl + "USER INFO" + Nl + "* UserCode: -3" + Nl +
                                     "* UserText: note" + Nl + "* UserInt: 9" + Nl +
                                     "* UserReal: 0.7"));
}

TEST_F(Report, TimeTextCountsDayOfYearAndHundredsOfSeconds) {
  const auto at = [](QDate date, QTime time) {
    SetReportClock([=] { return QDateTime(date, time); });
    return ReportTimeText();
  };
  EXPECT_EQ(at(QDate(2007, 1, 1), QTime(0, 0, 0)), "Monday, 1 January 2007 (1) | 00:00:00 UTC (0)");
  EXPECT_EQ(at(QDate(2008, 12, 31), QTime(23, 59, 59)),
            "Wednesday, 31 December 2008 (366) | 23:59:59 UTC (863)");
  // 6100 s is exactly 61 units; a floating-point day fraction truncates it to 60.
  EXPECT_TRUE(at(QDate(2007, 1, 1), QTime(1, 41, 40)).endsWith(" (61)"));
  // Locales that separate time with "." still show ":".
  QLocale::setDefault(QLocale(QLocale::Finnish, QLocale::Finland));
  const QString finnish = at(QDate(2007, 1, 1), QTime(13, 45, 10));
  EXPECT_TRUE(finnish.contains(" | 13:45:10")) << finnish.toStdString();
}

TEST_F(Report, RecursiveAttemptsAreTheWindowsCount) {
  EXPECT_TRUE(TFunStatContext().GetReport(2).endsWith(Tail(2)));
}

namespace {

// Records the error boxes; the test installs its own report sink.
class ReportSinks : public ::testing::Test {
 protected:
  void SetUp() override {
    SetErrorBoxSink([this](const QString& text, TErrorBoxButtons buttons) {
      Boxes << text;
      Buttons.push_back(buttons);
    });
    Context.SetRaise("a.cpp", "A", 1, fsPanic, "Broken.");
  }
  void TearDown() override {
    SetReportSink(nullptr);
    InstallErrorBoxes();
  }
  TFunStatContext Context;
  QStringList Boxes;
  std::vector<TErrorBoxButtons> Buttons;
};

}  // namespace

TEST_F(ReportSinks, ShowHandsTheContextToTheSinkAndItsAnswerBack) {
  QString description;
  int32_t status = fsPerfect;
  SetReportSink([&](const TFunStatContext& context, const QString& text, bool* noErrors) {
    description = text;
    status = context.Status;
    if (noErrors) *noErrors = true;
    return true;
  });
  bool noErrors = false;
  EXPECT_TRUE(Context.Show("Failed.", &noErrors));
  EXPECT_TRUE(noErrors);
  EXPECT_EQ(description, "Failed.");
  EXPECT_EQ(status, fsPanic);

  SetReportSink([](const TFunStatContext&, const QString&, bool*) -> bool {
    throw std::runtime_error("the window broke");
  });
  EXPECT_TRUE(HasReportSink());
  EXPECT_FALSE(Context.Show("Failed."));
  EXPECT_TRUE(Boxes.isEmpty());
}

TEST_F(ReportSinks, WithoutASinkTheReportGoesToStderrAndABoxSaysSo) {
  ASSERT_FALSE(HasReportSink());
  bool noErrors = true;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(Context.Show("Failed.", &noErrors));
  const std::string written = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(noErrors);
  EXPECT_EQ(Boxes, QStringList{"The error-dialog form is not created. You must create it."});
  EXPECT_THAT(written, ::testing::StartsWith("Failed.\nRAISE CONTEXT\n* Status: Panic\n"));
  EXPECT_THAT(written, ::testing::HasSubstr("\n* Description: \"Broken.\"\n"));
  EXPECT_EQ(written.find('\r'), std::string::npos);
}

TEST_F(ReportSinks, ErrorBoxesKeepTheirButtonsAndWithoutASinkGoToStderr) {
  ShowErrorBox("One.");
  ShowErrorBox("Two.", TErrorBoxButtons::OkCancel);
  EXPECT_EQ(Boxes, (QStringList{"One.", "Two."}));
  EXPECT_EQ(Buttons, (std::vector{TErrorBoxButtons::Ok, TErrorBoxButtons::OkCancel}));

  SetErrorBoxSink(nullptr);
  ::testing::internal::CaptureStderr();
  ShowErrorBox("Three.");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Three.\n");
}
