#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include "Error/ErrorForm.h"

TModalAnswerer::TModalAnswerer(std::function<void(QWidget*)> answer) : Answer(std::move(answer)) {
  QObject::connect(&Timer, &QTimer::timeout, [this] { Poll(); });
  Timer.start(20);
}

TModalAnswerer::~TModalAnswerer() {
  Timer.stop();
}

void TModalAnswerer::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || modal == Last) return;
  Last = modal;
  Titles << modal->windowTitle();
  if (auto* box = qobject_cast<QMessageBox*>(modal))
    Texts << box->text();
  else if (auto* form = qobject_cast<TErrorForm*>(modal))
    Texts << form->MemoText();
  else
    Texts << QString();
  Answer(modal);
  // A window closed by the answer may open again (the error report is reused): then it is new.
  if (!modal->isVisible()) Last = nullptr;
}

bool TModalAnswerer::ClickButton(QWidget* window, const QString& caption) {
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    if (button->text().remove(QLatin1Char('&')) == QString(caption).remove(QLatin1Char('&'))) {
      button->click();
      return true;
    }
  }
  return false;
}
