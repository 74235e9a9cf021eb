// The control interface on a real private session bus: the second start's argument, calls from
// another connection answered at once and run in turn, and a name still owned elsewhere.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QObject>
#include <QTest>
#include <vector>

#include "Platform/RemoteControl.h"
#include "PrivateBus.h"

using Platform::RemoteCommand;

TEST(RemoteControl, TheSecondStartsArgumentNamesACommandInAnyCase) {
  const std::pair<const char*, std::optional<RemoteCommand>> cases[] = {
      {"Next", RemoteCommand::Next},
      {"NEXT", RemoteCommand::Next},
      {"previous", RemoteCommand::Previous},
      {"rAnDoM", RemoteCommand::Random},
      {"ShowWindow", std::nullopt},
      {"", std::nullopt},
      {"Next ", std::nullopt},
      {"/Uninstall", std::nullopt},
      {"showOnStart", RemoteCommand::ShowWindow},
  };
  for (const auto& [argument, command] : cases)
    EXPECT_EQ(Platform::RemoteCommandFromArgument(QString::fromLatin1(argument)), command)
        << argument;
}

// One bus for all: this process's session-bus connection, once made, stays with it.
class RemoteControlBus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Bus = new TPrivateBus; }
  static void TearDownTestSuite() { delete Bus; }
  void SetUp() override { ASSERT_FALSE(Bus->Address().isEmpty()) << "no dbus-daemon"; }
  void TearDown() override { QDBusConnection::disconnectFromBus("client"); }

  QDBusConnection Client() { return QDBusConnection::connectToBus(Bus->Address(), "client"); }
  static QDBusMessage Call(const char* method) {
    return QDBusMessage::createMethodCall(Platform::ControlService, Platform::ControlPath,
                                          Platform::ControlInterface, method);
  }

  static inline TPrivateBus* Bus = nullptr;
};

TEST_F(RemoteControlBus, CallsAreAnsweredAtOnceAndRunInTurn) {
  QObject owner;
  std::vector<RemoteCommand> received;
  ASSERT_TRUE(Platform::ServeRemoteControl(
      &owner, [&](RemoteCommand command) { received.push_back(command); }));
  // Sent together, without waiting for either answer.
  QDBusConnection client = Client();
  QDBusPendingCall first = client.asyncCall(Call("Next"));
  QDBusPendingCall second = client.asyncCall(Call("Random"));
  QDBusPendingCall third = client.asyncCall(Call("ShowWindow"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 3; }, 5000));
  EXPECT_EQ(received,
            (std::vector{RemoteCommand::Next, RemoteCommand::Random, RemoteCommand::ShowWindow}));
  for (QDBusPendingCall* call : {&first, &second, &third}) {
    call->waitForFinished();
    EXPECT_FALSE(call->isError()) << call->error().message().toStdString();
  }
  // Served on this thread: a blocking call from here would wait for itself.
  QDBusPendingCall unknown = client.asyncCall(Call("Bogus"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return unknown.isFinished(); }, 5000));
  EXPECT_TRUE(unknown.isError());
  EXPECT_EQ(received.size(), 3u);
}

TEST_F(RemoteControlBus, ANameOwnedElsewhereIsWaitedForAndTakenWhenItIsFree) {
  QDBusConnection client = Client();
  ASSERT_TRUE(client.registerService(Platform::ControlService));
  QObject owner;
  std::vector<RemoteCommand> received;
  EXPECT_TRUE(Platform::ServeRemoteControl(
      &owner, [&](RemoteCommand command) { received.push_back(command); }));
  // Still the closing copy's: nobody serves the path there.
  QDBusPendingCall early = client.asyncCall(Call("Next"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return early.isFinished(); }, 5000));
  EXPECT_TRUE(early.isError());
  EXPECT_TRUE(received.empty());

  // The closing copy lets go, and the name passes to the one in line.
  client.unregisterService(Platform::ControlService);
  QDBusPendingCall late = client.asyncCall(Call("Next"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
  late.waitForFinished();
  EXPECT_FALSE(late.isError()) << late.error().message().toStdString();
}
