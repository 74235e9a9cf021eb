// The application object: routes exceptions that escape event handlers to one handler.
#pragma once

#include <QApplication>
#include <functional>

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Installed by the error window; the message loop goes on after it ran.
void SetApplicationExceptionHandler(std::function<void(const QString&)> handler);
void HandleApplicationException(const QString& message);
