// Test entry: a private home, the offscreen platform for widgets, then GoogleTest.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "Utilities.h"

namespace {
QTemporaryDir* Root = nullptr;

void Isolate() {
  Root = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/backdropper-test-XXXXXX"));
  const QString root = Root->path();
  for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                          "XDG_RUNTIME_DIR", "XDG_STATE_HOME"}) {
    const QString dir = root + QLatin1Char('/') + QString::fromLatin1(var).toLower();
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv(var, dir.toLocal8Bit());
  }
  qunsetenv("XDG_CURRENT_DESKTOP");
  qunsetenv("DBUS_SESSION_BUS_ADDRESS");
  qputenv("QT_QPA_PLATFORM", "offscreen");
}
}  // namespace

QString TestRoot() {
  return Root->path();
}

int main(int argc, char** argv) {
  Isolate();
  QApplication app(argc, argv);
  // As the program's application object does.
  InstallErrorBoxes();
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  delete Root;
  return result;
}
