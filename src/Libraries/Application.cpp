#include "Application.h"

#include <exception>

#include "Utilities.h"

namespace {
std::function<void(const QString&)>& Handler() {
  static std::function<void(const QString&)> handler;
  return handler;
}
}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  InstallErrorBoxes();
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    HandleApplicationException(QString::fromUtf8(e.what()));
  } catch (...) {
    HandleApplicationException(QStringLiteral("Unknown exception."));
  }
  return false;
}

void SetApplicationExceptionHandler(std::function<void(const QString&)> handler) {
  Handler() = std::move(handler);
}

void HandleApplicationException(const QString& message) {
  if (Handler()) Handler()(message);
}
