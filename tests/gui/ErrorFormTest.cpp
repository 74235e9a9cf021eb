#include <gtest/gtest.h>

#include <QFile>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "ModalAnswerer.h"
#include "Program.h"

namespace {

class ErrorWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TErrorForm>();
    ErrorForm = Form.get();
    FunStatContext.Reset(fsPerfect);
  }
  void TearDown() override {
    ErrorForm = nullptr;
    Form.reset();
  }
  // Shows a report and closes the window with the button of that caption.
  bool ShowAndClick(const QString& button, bool* noErrors = nullptr,
                    const QString& description = QStringLiteral("Failed.")) {
    TModalAnswerer answerer([&](QWidget* w) { TModalAnswerer::ClickButton(w, button); });
    return Form->Show(QStringLiteral("Error"), description, QStringLiteral("report"), noErrors);
  }
  std::unique_ptr<TErrorForm> Form;
};

// An outer frame whose callee raises Error; the report shows the callee's raise context.
constexpr int OuterEndLine = 77;
void Callee() {
  TStatusFrame frame("/src/Libraries/Callee.cpp", "Callee", 5);
  frame.Run(
      [&] { frame.Raise(15, fsError, QStringLiteral("Failed to call."), QStringLiteral("p")); });
}
void Outer(int32_t status) {
  TStatusFrame frame("/src/Outer.cpp", "Outer", 70, TStatusFrame::Outer,
                     QStringLiteral("Failed to do it."));
  frame.Run(
      [&] {
        if (status == fsWarning) frame.Raise(72, fsWarning, QStringLiteral("Only a warning."));
        Callee();
        frame.Check();
      },
      OuterEndLine);
}

}  // namespace

TEST_F(ErrorWindow, LayoutAndCaptions) {
  EXPECT_EQ(Form->windowTitle(), QStringLiteral("Error"));
  EXPECT_EQ(Form->size(), QSize(340, 265));
  EXPECT_EQ(Form->OkayButton->text(), QStringLiteral("&Okay"));
  EXPECT_EQ(Form->OkayNoErrorsButton->text(), QStringLiteral("O&kay (no errors)"));
  EXPECT_EQ(Form->CancelButton->text(), QStringLiteral("&Cancel"));
  EXPECT_EQ(Form->TerminateButton->text(), QStringLiteral("&Terminate application immediately"));
  EXPECT_EQ(Form->LogButton->text(), QStringLiteral("&Log"));
  EXPECT_EQ(Form->HelpButton->text(), QStringLiteral("&Help"));
  EXPECT_TRUE(Form->MainMemo->isReadOnly());
  EXPECT_EQ(Form->RecursionCount, 0);
}

TEST_F(ErrorWindow, ClosingButtonsGiveTheirResults) {
  bool noErrors = true;
  EXPECT_TRUE(ShowAndClick(QStringLiteral("&Okay"), &noErrors));
  EXPECT_FALSE(noErrors);
  EXPECT_TRUE(ShowAndClick(QStringLiteral("O&kay (no errors)"), &noErrors));
  EXPECT_TRUE(noErrors);
  EXPECT_FALSE(ShowAndClick(QStringLiteral("&Cancel"), &noErrors));
  EXPECT_FALSE(noErrors);
  {
    TModalAnswerer answerer([](QWidget* w) { w->close(); });
    EXPECT_FALSE(Form->Show(QStringLiteral("Error"), {}, {}, &noErrors));
  }
  EXPECT_EQ(Form->RecursionCount, 0);
}

TEST_F(ErrorWindow, MemoHoldsDescriptionAndReport) {
  QString label;
  QString memo;
  int count = 0;
  TModalAnswerer answerer([&](QWidget* w) {
    label = Form->RecursionLabel->text();
    memo = Form->MainMemo->toPlainText();
    count = Form->RecursionCount;
    TModalAnswerer::ClickButton(w, QStringLiteral("&Okay"));
  });
  Form->Show(QStringLiteral("Panic"), {}, QStringLiteral("line 1\r\nline 2"));
  EXPECT_EQ(answerer.Titles, QStringList{QStringLiteral("Panic")});
  EXPECT_EQ(Form->MemoText(),
            QStringLiteral("DESCRIPTION\r\nFailed to perform.\r\nline 1\r\nline 2"));
  EXPECT_EQ(memo, QStringLiteral("DESCRIPTION\nFailed to perform.\nline 1\nline 2"));
  EXPECT_EQ(label, QStringLiteral("Recursive attempts = None"));
  EXPECT_EQ(count, 1);
}

TEST_F(ErrorWindow, ReentrantReportsAreCountedNotShown) {
  QStringList labels, captions;
  bool nested = false;
  TModalAnswerer answerer([&](QWidget* w) {
    labels << Form->RecursionLabel->text();
    for (const char* status : {"Warning", "Catastrophe"}) {
      nested =
          Form->Show(QString::fromLatin1(status), QStringLiteral("Second."), QStringLiteral("x"));
      labels << Form->RecursionLabel->text();
      captions << Form->windowTitle();
    }
    TModalAnswerer::ClickButton(w, QStringLiteral("&Okay"));
  });
  EXPECT_TRUE(Form->Show(QStringLiteral("Error"), QStringLiteral("First."), QStringLiteral("r")));
  EXPECT_TRUE(nested);
  EXPECT_EQ(labels, (QStringList{"Recursive attempts = None", "Recursive attempts = 1",
                                 "Recursive attempts = 2"}));
  EXPECT_EQ(captions, (QStringList{"Warning", "Catastrophe"}));
  EXPECT_EQ(answerer.Titles.size(), 1);
  EXPECT_EQ(Form->MemoText(), QStringLiteral("DESCRIPTION\r\nFirst.\r\nr"));
  EXPECT_EQ(Form->RecursionCount, 0);
}

TEST_F(ErrorWindow, OuterFrameShowsCalleeRaiseAndItsOwnShowContext) {
  TModalAnswerer answerer(
      [](QWidget* w) { TModalAnswerer::ClickButton(w, QStringLiteral("&Okay")); });
  Outer(fsError);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  ASSERT_EQ(answerer.Titles, QStringList{QStringLiteral("Error")});
  const QString memo = answerer.Texts.value(0);
  const QString nl = QStringLiteral("\r\n");
  EXPECT_TRUE(memo.startsWith("DESCRIPTION" + nl + "Failed to do it." + nl + nl + "RAISE CONTEXT"));
  EXPECT_TRUE(memo.contains(nl + "* File: \"Callee.cpp\"" + nl + "* Function: \"Callee\"" + nl +
                            "* Line: 15" + nl + "* Description: \"Failed to call.\"" + nl +
                            "* Parameter 1: \"p\"" + nl + nl + "SHOW CONTEXT" + nl +
                            "* File: \"Outer.cpp\"" + nl + "* Function: \"\"" + nl +
                            "* Line: " + QString::number(OuterEndLine) + nl))
      << memo.toStdString();
  // The report is made before the window counts itself.
  EXPECT_TRUE(memo.contains(nl + "* Recursive attempts: 0" + nl));
}

TEST_F(ErrorWindow, OuterFrameWithWarningShowsNothing) {
  TModalAnswerer answerer([](QWidget* w) { w->close(); });
  Outer(fsWarning);
  QCoreApplication::processEvents();
  EXPECT_TRUE(answerer.Titles.isEmpty());
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST_F(ErrorWindow, UnhandledExceptionIsReportedThenCleared) {
  TModalAnswerer answerer(
      [](QWidget* w) { TModalAnswerer::ClickButton(w, QStringLiteral("&Okay")); });
  FunStatContext.OnApplicationException(QStringLiteral("boom"));
  ASSERT_EQ(answerer.Texts.size(), 1);
  EXPECT_TRUE(answerer.Texts[0].startsWith("DESCRIPTION\r\nUnhandled error.\r\nboom\r\n"));
  EXPECT_TRUE(
      answerer.Texts[0].contains("* Function: \"TFunStatContext::OnApplicationException\""));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST_F(ErrorWindow, WithoutTheWindowAPlainBoxSaysSo) {
  Form.reset();
  TModalAnswerer answerer([](QWidget* w) { w->close(); });
  TFunStatContext c;
  c.Status = fsError;
  bool noErrors = true;
  EXPECT_FALSE(c.Show(QStringLiteral("x"), &noErrors));
  EXPECT_FALSE(noErrors);
  EXPECT_EQ(answerer.Titles, QStringList{QStringLiteral("Error")});
  EXPECT_EQ(
      answerer.Texts,
      QStringList{QStringLiteral("The error-dialog form is not created. You must create it.")});
}

TEST_F(ErrorWindow, ReportsGoToTheNewestWindowWhileItLives) {
  auto newer = std::make_unique<TErrorForm>();
  Form.reset();  // the older one going does not take the newer one's place away
  EXPECT_TRUE(HasReportSink());
  TModalAnswerer answerer(
      [](QWidget* w) { TModalAnswerer::ClickButton(w, QStringLiteral("&Okay")); });
  TFunStatContext c;
  c.Status = fsError;
  EXPECT_TRUE(c.Show(QStringLiteral("To the newer one.")));
  EXPECT_EQ(newer->MemoText().section(QStringLiteral("\r\n"), 1, 1), "To the newer one.");
  newer.reset();
  EXPECT_FALSE(HasReportSink());
}

class ErrorLog : public ErrorWindow {
 protected:
  void SetUp() override {
    ErrorWindow::SetUp();
    Path = GetProgramWriteDirectory() + QStringLiteral("Errors.log");
    Remove();
    ShowAndClick(QStringLiteral("&Okay"), nullptr, QStringLiteral("Logged."));
    Entry = "**********" + Form->MemoText().toUtf8() + "\r\n**********\r\n";
  }
  void TearDown() override {
    Remove();
    ErrorWindow::TearDown();
  }
  void Remove() {
    QFile::remove(Path);
    QDir(Path).removeRecursively();
  }
  void WriteLog(const QByteArray& content) {
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QByteArray ReadLog() {
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
  }
  QString Path;
  QByteArray Entry;
};

TEST_F(ErrorLog, NewLogHoldsTheEntry) {
  EXPECT_TRUE(Entry.contains("DESCRIPTION\r\nLogged.\r\nreport"));
  EXPECT_TRUE(Form->SaveToLog());
  EXPECT_EQ(ReadLog(), Entry);
  EXPECT_TRUE(Form->SaveToLog());
  EXPECT_EQ(ReadLog(), Entry + Entry);
}

TEST_F(ErrorLog, TenThousandBytesAreAppendedTo) {
  const QByteArray old(10000, 'a');
  WriteLog(old);
  EXPECT_TRUE(Form->SaveToLog());
  EXPECT_EQ(ReadLog(), old + Entry);
}

TEST_F(ErrorLog, LargerLogRestartsEmpty) {
  WriteLog(QByteArray(10001, 'a'));
  EXPECT_TRUE(Form->SaveToLog());
  EXPECT_EQ(ReadLog(), Entry);
}

TEST_F(ErrorLog, UnwritableLogFails) {
  ASSERT_TRUE(QDir().mkpath(Path));  // a directory cannot be opened for writing
  EXPECT_FALSE(Form->SaveToLog());
}
