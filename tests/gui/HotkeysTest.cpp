// The main window's side of the global hot keys: which keys it registers and when, and that it
// gives them up. The offscreen platform has no global keys, so a recording stand-in takes the
// registrations; the real grabs and what each key does are tested end to end under Xvfb.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "MainDialog/MainDialog.h"
#include "Platform/GlobalHotkeys.h"
#include "StoredTextList/StoredTextList.h"

namespace {

using namespace Platform;

// Records what the window asks for, in order: "+100 3 Q" (id, modifier bits, letter) or "-100".
class TRecordingHotkeys : public IGlobalHotkeys {
 public:
  explicit TRecordingHotkeys(std::shared_ptr<QStringList> calls) : Calls(std::move(calls)) {}
  bool Register(int id, unsigned modifiers, QChar letter) override {
    *Calls << QStringLiteral("+%1 %2 %3").arg(id).arg(modifiers).arg(letter);
    return true;
  }
  void Unregister(int id) override { *Calls << QStringLiteral("-%1").arg(id); }
  void UnregisterAll() override { *Calls << QStringLiteral("-all"); }

 private:
  std::shared_ptr<QStringList> Calls;
};

QStringList Registrations(const QString& letter) {
  return {"+100 3 " + letter, "+101 6 " + letter, "+102 5 " + letter};
}

class HotkeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetGlobalHotkeysFactory([calls = Calls] { return std::make_unique<TRecordingHotkeys>(calls); });
  }
  void TearDown() override { SetGlobalHotkeysFactory(nullptr); }

  std::shared_ptr<QStringList> Calls = std::make_shared<QStringList>();
  QTemporaryDir Dir;
};

}  // namespace

TEST_F(HotkeysTest, TheStoredLetterIsTakenWhenReadAndEveryChangeMovesAllThree) {
  auto form = std::make_unique<TMainForm>();
  EXPECT_TRUE(Calls->isEmpty()) << "nothing is taken before the options are read";

  const QString path = Dir.filePath("Backdropper.ini");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Main]\r\nHotkey=Q\r\n");
  file.close();
  form->CreateOptionsList(path);
  ASSERT_TRUE(form->OptionsList->Load(0));
  EXPECT_EQ(*Calls, Registrations("Q"));

  Calls->clear();
  for (const char* letter : {"A", "Z", "W"}) form->HotkeyComboBox->setCurrentText(letter);
  EXPECT_EQ(*Calls, Registrations("A") + Registrations("Z") + Registrations("W"));

  Calls->clear();
  form.reset();
  EXPECT_EQ(*Calls, (QStringList{"-100", "-101", "-102"})) << "given up with the window";
}
