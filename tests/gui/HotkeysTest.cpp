// The main window's side of the global hot keys: which keys it registers and when, what each
// one does, and that it gives them up. The offscreen platform has no global keys, so a recording
// stand-in takes the registrations (the real grabs are tested end to end under Xvfb).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "MainDialog/MainDialog.h"
#include "Platform/GlobalHotkeys.h"
#include "StoredTextList/StoredTextList.h"

namespace {

using namespace Platform;

// What the window asked for, in order: "+100 3 Q" (id, modifier bits, letter) or "-100".
struct TRecord {
  QStringList Calls;
  IGlobalHotkeys* Current = nullptr;
};

class TRecordingHotkeys : public IGlobalHotkeys {
 public:
  explicit TRecordingHotkeys(std::shared_ptr<TRecord> record) : Record(std::move(record)) {
    Record->Current = this;
  }
  ~TRecordingHotkeys() override { Record->Current = nullptr; }
  bool Register(int id, unsigned modifiers, QChar letter) override {
    Record->Calls << QStringLiteral("+%1 %2 %3").arg(id).arg(modifiers).arg(letter);
    return true;
  }
  void Unregister(int id) override { Record->Calls << QStringLiteral("-%1").arg(id); }
  void UnregisterAll() override { Record->Calls << QStringLiteral("-all"); }

 private:
  std::shared_ptr<TRecord> Record;
};

QStringList Registrations(const QString& letter) {
  return {"+100 3 " + letter, "+101 6 " + letter, "+102 5 " + letter};
}

class HotkeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetGlobalHotkeysFactory(
        [record = Record] { return std::make_unique<TRecordingHotkeys>(record); });
  }
  void TearDown() override { SetGlobalHotkeysFactory(nullptr); }

  std::shared_ptr<TRecord> Record = std::make_shared<TRecord>();
  QTemporaryDir Dir;
};

}  // namespace

TEST_F(HotkeysTest, TheStoredLetterIsTakenWhenReadAndEveryChangeMovesAllThree) {
  auto form = std::make_unique<TMainForm>();
  EXPECT_TRUE(Record->Calls.isEmpty()) << "nothing is taken before the options are read";

  const QString path = Dir.filePath("Backdropper.ini");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Main]\r\nHotkey=Q\r\n");
  file.close();
  form->CreateOptionsList(path);
  ASSERT_TRUE(form->OptionsList->Load(0));
  EXPECT_EQ(Record->Calls, Registrations("Q"));

  Record->Calls.clear();
  for (const char* letter : {"A", "Z", "W"}) form->HotkeyComboBox->setCurrentText(letter);
  EXPECT_EQ(Record->Calls, Registrations("A") + Registrations("Z") + Registrations("W"));

  Record->Calls.clear();
  form.reset();
  EXPECT_EQ(Record->Calls, (QStringList{"-100", "-101", "-102"})) << "given up with the window";
}

TEST_F(HotkeysTest, EachIdStepsThePicturesItsOwnWay) {
  TMainForm form;
  ASSERT_NE(Record->Current, nullptr);
  QStringList pictures;
  for (const char* name : {"a.png", "b.png", "c.png"}) {
    QFile file(Dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    pictures << file.fileName();
  }
  form.PictureFileNames = pictures;
  form.PictureIndex = 0;
  form.LastFileTitle = pictures[0];

  const auto press = [&](int id) {
    Record->Current->OnHotkey(id);
    return form.LastFileTitle;
  };
  EXPECT_EQ(press(TMainForm::NextHotkeyId), pictures[1]);
  EXPECT_EQ(press(TMainForm::PreviousHotkeyId), pictures[0]);
  EXPECT_EQ(press(TMainForm::PreviousHotkeyId), pictures[2]);
  EXPECT_EQ(press(7), pictures[2]) << "an id of no hot key does nothing";
  EXPECT_TRUE(pictures.contains(press(TMainForm::RandomHotkeyId)));
}
