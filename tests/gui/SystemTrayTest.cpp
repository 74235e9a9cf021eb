// The tray icon object: a click shows the hidden window again, a right click opens the menu
// when there is one, and the icon goes away with the object.
#include <gtest/gtest.h>

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWidget>
#include <memory>

#include "SystemTray.h"

namespace {

class SystemTrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Window.resize(200, 100);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::blue);
    Tray = std::make_unique<TSystemTray>(&Window, QIcon(pixmap), nullptr,
                                         QStringLiteral("Backdropper"));
  }
  QWidget Window;
  std::unique_ptr<TSystemTray> Tray;
};

TEST_F(SystemTrayTest, HideKeepsTheIconAndLeftClickRestores) {
  Tray->AddTrayIcon();
  Window.show();
  Tray->HideToTray();
  EXPECT_FALSE(Window.isVisible());
  EXPECT_TRUE(Tray->Icon()->isVisible());
  Tray->OnTrayNotification(TSystemTray::LeftButtonUp);
  EXPECT_TRUE(Window.isVisible());
}

TEST_F(SystemTrayTest, RestoreLeavesTheMinimisedState) {
  Window.showMinimized();
  ASSERT_TRUE(Window.isMinimized());
  Tray->RestoreFromTray();
  EXPECT_TRUE(Window.isVisible());
  EXPECT_FALSE(Window.isMinimized());
}

TEST_F(SystemTrayTest, RightClickRestoresWhileThereIsNoMenu) {
  Tray->HideToTray();
  Tray->OnTrayNotification(TSystemTray::RightButtonUp);
  EXPECT_TRUE(Window.isVisible());
}

TEST_F(SystemTrayTest, RightClickOpensTheMenuAndLeavesTheWindowHidden) {
  QMenu menu;
  menu.addAction(QStringLiteral("Close"));
  Tray->SetMenu(&menu);
  Tray->HideToTray();
  Tray->OnTrayNotification(TSystemTray::RightButtonUp);
  EXPECT_TRUE(menu.isVisible());
  EXPECT_FALSE(Window.isVisible());
  menu.hide();
}

TEST_F(SystemTrayTest, OtherMouseCodesDoNothing) {
  Tray->HideToTray();
  Tray->OnTrayNotification(TSystemTray::OtherMouseCode);
  EXPECT_FALSE(Window.isVisible());
}

TEST_F(SystemTrayTest, TheIconsActivationsReachTheNotification) {
  Tray->HideToTray();
  Q_EMIT Tray->Icon()->activated(QSystemTrayIcon::MiddleClick);
  EXPECT_FALSE(Window.isVisible());
  Q_EMIT Tray->Icon()->activated(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(Window.isVisible());
  Tray->HideToTray();
  Q_EMIT Tray->Icon()->activated(QSystemTrayIcon::Context);
  EXPECT_TRUE(Window.isVisible());
}

TEST_F(SystemTrayTest, TipIsCutAndDestroyingRemovesTheIcon) {
  EXPECT_EQ(Tray->Tip(), QStringLiteral("Backdropper"));
  TSystemTray longTip(&Window, QIcon(), nullptr, QString(300, QLatin1Char('x')));
  EXPECT_EQ(longTip.Tip().size(), TSystemTray::MaxTipLength);

  Tray->AddTrayIcon();
  QPointer<QSystemTrayIcon> icon = Tray->Icon();
  ASSERT_TRUE(icon->isVisible());
  Tray->RemoveTrayIcon();
  EXPECT_FALSE(icon->isVisible());
  Tray.reset();
  EXPECT_TRUE(icon.isNull());
}

}  // namespace
