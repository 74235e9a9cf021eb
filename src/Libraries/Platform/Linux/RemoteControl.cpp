#include "Platform/RemoteControl.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDBusError>
#include <QDBusMessage>
#include <QObject>
#include <array>

namespace Platform {

namespace {

constexpr std::array<std::pair<RemoteCommand, const char*>, 4> MethodNames{{
    {RemoteCommand::Next, "Next"},
    {RemoteCommand::Previous, "Previous"},
    {RemoteCommand::Random, "Random"},
    {RemoteCommand::ShowWindow, "ShowWindow"},
}};

const char* MethodName(RemoteCommand command) {
  for (const auto& [each, name] : MethodNames)
    if (each == command) return name;
  return "";
}

// The object on the bus: its public slots are the interface's methods.
class TControlObject : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.backdropper.Control")
 public:
  TControlObject(QObject* owner, std::function<void(RemoteCommand)> onCommand)
      : QObject(owner), OnCommand(std::move(onCommand)) {}

 public Q_SLOTS:
  void Next() { Post(RemoteCommand::Next); }
  void Previous() { Post(RemoteCommand::Previous); }
  void Random() { Post(RemoteCommand::Random); }
  void ShowWindow() { Post(RemoteCommand::ShowWindow); }

 private:
  // Queued, so that the reply leaves before the work starts; posted events keep their order (a
  // zero-time timer does not), so calls run in the order they came.
  void Post(RemoteCommand command) {
    QMetaObject::invokeMethod(
        this, [this, command] { OnCommand(command); }, Qt::QueuedConnection);
  }
  std::function<void(RemoteCommand)> OnCommand;
};

}  // namespace

std::optional<RemoteCommand> RemoteCommandFromArgument(const QString& argument) {
  for (const auto& [command, name] : MethodNames) {
    if (command == RemoteCommand::ShowWindow) continue;
    if (argument.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return command;
  }
  // The menu entry's start: on a desktop without a tray it is the only way back to the window.
  if (argument.compare(QLatin1String("ShowOnStart"), Qt::CaseInsensitive) == 0)
    return RemoteCommand::ShowWindow;
  return std::nullopt;
}

bool ServeRemoteControl(QObject* owner, std::function<void(RemoteCommand)> onCommand) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  auto* object = new TControlObject(owner, std::move(onCommand));
  const QString path = QString::fromLatin1(ControlPath);
  if (!bus.registerObject(path, object, QDBusConnection::ExportAllSlots)) {
    delete object;
    return false;
  }
  // Once the name is ours a caller must find the object, so it is registered first. A copy
  // that is just closing may still hold the name: this one waits in line and gets it then.
  const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
      bus.interface()->registerService(QString::fromLatin1(ControlService),
                                       QDBusConnectionInterface::QueueService,
                                       QDBusConnectionInterface::DontAllowReplacement);
  if (!reply.isValid() || reply.value() == QDBusConnectionInterface::ServiceNotRegistered) {
    bus.unregisterObject(path);
    delete object;
    return false;
  }
  QObject::connect(object, &QObject::destroyed, [path] {
    QDBusConnection connection = QDBusConnection::sessionBus();
    connection.unregisterService(QString::fromLatin1(ControlService));
    connection.unregisterObject(path);
  });
  return true;
}

bool SendRemoteCommand(RemoteCommand command, QString& why) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    why = QStringLiteral("no session bus: ") + bus.lastError().message();
    return false;
  }
  const QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(ControlService), QString::fromLatin1(ControlPath),
      QString::fromLatin1(ControlInterface), QString::fromLatin1(MethodName(command)));
  const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
  if (reply.type() == QDBusMessage::ReplyMessage) return true;
  why = reply.errorMessage();
  return false;
}

}  // namespace Platform

#include "RemoteControl.moc"
