#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Platform/Linux/SysfsPowerStatus.h"
#include "Utilities.h"

namespace {

// A fake power-supply class directory: one sub-directory per supply with its attribute files.
class FakeSysfs {
 public:
  void Add(const QString& name, const QMap<QString, QString>& attributes) {
    QDir(Dir.path()).mkpath(name);
    for (auto it = attributes.begin(); it != attributes.end(); ++it) {
      QFile file(Dir.path() + QLatin1Char('/') + name + QLatin1Char('/') + it.key());
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(it.value().toLatin1() + '\n');
    }
  }
  bool OnMains() { return Platform::TSysfsPowerStatus(Dir.path()).IsOnMains(); }
  QTemporaryDir Dir;
};

const QMap<QString, QString> Battery = {{"type", "Battery"}, {"status", "Discharging"}};

}  // namespace

TEST(PowerStatus, NoSupplyListedIsMains) {
  FakeSysfs sys;
  EXPECT_TRUE(sys.OnMains());
  EXPECT_TRUE(Platform::TSysfsPowerStatus(sys.Dir.path() + "/missing").IsOnMains());
}

TEST(PowerStatus, OnlineMainsIsMains) {
  FakeSysfs sys;
  sys.Add("BAT0", Battery);
  sys.Add("AC", {{"type", "Mains"}, {"online", "1"}});
  EXPECT_TRUE(sys.OnMains());
}

TEST(PowerStatus, OfflineMainsWithBatteryIsBattery) {
  FakeSysfs sys;
  sys.Add("AC", {{"type", "Mains"}, {"online", "0"}});
  sys.Add("BAT0", Battery);
  EXPECT_FALSE(sys.OnMains());
}

TEST(PowerStatus, OnlyABatteryIsBattery) {
  FakeSysfs sys;
  sys.Add("BAT1", Battery);
  EXPECT_FALSE(sys.OnMains());
}

TEST(PowerStatus, PeripheralBatteriesDoNotCount) {
  FakeSysfs sys;
  sys.Add("hid-mouse-battery", {{"type", "Battery"}, {"scope", "Device"}});
  EXPECT_TRUE(sys.OnMains());
  sys.Add("BAT0", Battery);
  EXPECT_FALSE(sys.OnMains());
}

TEST(PowerStatus, RunningOnBatteryAsksTheInstalledService) {
  struct TFixed : Platform::IPowerStatus {
    explicit TFixed(bool mains) : Mains(mains) {}
    bool IsOnMains() override { return Mains; }
    bool Mains;
  };
  Platform::SetPowerStatus(std::make_unique<TFixed>(false));
  EXPECT_TRUE(IsRunningOnBattery());
  Platform::SetPowerStatus(std::make_unique<TFixed>(true));
  EXPECT_FALSE(IsRunningOnBattery());
  Platform::SetPowerStatus(nullptr);
}
