// The real program's window under Xvfb, every tab of every page clicked as a user would; each
// view is kept in build/<preset>/screenshots-xvfb/ for a look.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <csignal>

#include "E2eSession.h"
#include "ProgramWindow.h"

namespace {

// How many colours a picture uses, up to `enough`.
int Colours(const QImage& image, int enough) {
  QSet<QRgb> seen;
  for (int y = 0; y < image.height() && seen.size() < enough; y += 2)
    for (int x = 0; x < image.width() && seen.size() < enough; x += 2)
      seen.insert(image.pixel(x, y));
  return static_cast<int>(seen.size());
}

}  // namespace

TEST(EveryTab, EachClickShowsItsTabAndEveryViewIsKept) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QString pictures = session.ProgramDir() + "/Pictures";
  WriteQuietOptions(session, pictures + "/Meadow.jpg", pictures);
  const QString dir = QFileInfo(QStringLiteral(BACKDROPPER_BINARY)).path() + "/screenshots-xvfb/";
  QDir().mkpath(dir);

  QProcess* program = session.StartProgram({"ShowOnStart"});
  TProgramWindow window(session);
  ASSERT_TRUE(window.Find());
  const QRect place = window.Geometry();
  ASSERT_EQ(place.size(), QSize(TMainForm::ClientWidth, TMainForm::ClientHeight));

  QTabWidget* TMainForm::*const inner[] = {&TMainForm::WallpaperPageControl,
                                           &TMainForm::CalendarPageControl};
  QImage previous;
  int kept = 0;
  for (int page = 0; page < window.Map.PageControl->count(); ++page) {
    window.ShowTab(&TMainForm::PageControl, page);
    QTabWidget* TMainForm::*tabs = nullptr;
    for (auto candidate : inner)
      if (window.Map.PageControl->widget(page) == window.Map.*candidate) tabs = candidate;
    const int count = tabs ? (window.Map.*tabs)->count() : 1;
    for (int tab = 0; tab < count; ++tab) {
      QString name = window.Map.PageControl->tabText(page);
      if (tabs) {
        window.ShowTab(tabs, tab);
        name += "-" + (window.Map.*tabs)->tabText(tab);
      }
      name.replace(' ', '_');
      // The click has been taken when the window looks different from the last view.
      QImage view;
      EXPECT_TRUE(WaitUntil(
          [&] {
            view = session.Screenshot().copy(place);
            return view != previous;
          },
          5000))
          << name.toStdString() << " looks like the view before it";
      QTest::qWait(200);  // let the tab finish drawing
      view = session.Screenshot().copy(place);
      EXPECT_GT(Colours(view, 8), 4) << name.toStdString() << " is blank";
      EXPECT_TRUE(view.save(dir + name + ".png")) << name.toStdString();
      previous = view;
      ++kept;
    }
  }
  EXPECT_EQ(kept, 6 + 8 + 1);

  program->terminate();
  EXPECT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
}
