// Every tab of every page drawn as the user sees it, kept in build/<preset>/screenshots/ for a
// look; each must draw a full window with its controls inside it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTabWidget>

#include "MainDialog/MainDialog.h"

TEST(Screenshots, EveryTabOfEveryPageIsDrawnAndKept) {
  const QString dir = QFileInfo(QStringLiteral(BACKDROPPER_BINARY)).path() + "/screenshots/";
  QDir().mkpath(dir);
  TMainForm form;
  form.show();
  int saved = 0;
  for (int page = 0; page < form.PageControl->count(); ++page) {
    form.PageControl->setCurrentIndex(page);
    auto* tabs = qobject_cast<QTabWidget*>(form.PageControl->widget(page));
    const int count = tabs ? tabs->count() : 1;
    for (int tab = 0; tab < count; ++tab) {
      QString name = form.PageControl->tabText(page);
      if (tabs) {
        tabs->setCurrentIndex(tab);
        name += "-" + tabs->tabText(tab);
      }
      const QImage shot = form.grab().toImage();
      EXPECT_EQ(shot.size(), QSize(TMainForm::ClientWidth, TMainForm::ClientHeight))
          << name.toStdString();
      EXPECT_TRUE(shot.save(dir + name.replace(' ', '_') + ".png")) << name.toStdString();
      ++saved;
    }
  }
  EXPECT_EQ(saved, 6 + 8 + 1);
}
