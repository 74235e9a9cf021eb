#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "Platform/Linux/SysfsPowerStatus.h"
#include "Utilities.h"

namespace {

using TAttributes = QMap<QString, QString>;

// A fake power-supply class directory: one sub-directory per supply with its attribute files.
class FakeSysfs {
 public:
  void Add(const QString& name, const TAttributes& attributes) {
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

const TAttributes Battery = {{"type", "Battery"}, {"status", "Discharging"}};
const TAttributes MainsOnline = {{"type", "Mains"}, {"online", "1"}};
const TAttributes MainsOffline = {{"type", "Mains"}, {"online", "0"}};
const TAttributes UsbOnline = {{"type", "USB"}, {"online", "1"}, {"usb_type", "C [PD] PD_PPS"}};
const TAttributes UsbOffline = {{"type", "USB"}, {"online", "0"}, {"usb_type", "[C] PD PD_PPS"}};

struct TCase {
  const char* What;
  std::vector<std::pair<QString, TAttributes>> Supplies;
  bool Mains;
};

}  // namespace

TEST(PowerStatus, SuppliesDecideMainsOrBattery) {
  const std::vector<TCase> cases = {
      {"no supply listed (desktop, virtual machine)", {}, true},
      {"online mains", {{"BAT0", Battery}, {"AC", MainsOnline}}, true},
      {"offline mains and a battery", {{"AC", MainsOffline}, {"BAT0", Battery}}, false},
      {"only a battery", {{"BAT1", Battery}}, false},
      {"only a peripheral's battery",
       {{"hid-mouse-battery", {{"type", "Battery"}, {"scope", "Device"}}}},
       true},
      {"a peripheral's battery and the system's",
       {{"hid-mouse-battery", {{"type", "Battery"}, {"scope", "Device"}}}, {"BAT0", Battery}},
       false},
      {"USB-C charger online, no Mains supply",
       {{"BAT0", Battery}, {"ucsi-source-psy-USBC000:001", UsbOnline}},
       true},
      {"USB-C charger online beside an offline Mains supply",
       {{"AC", MainsOffline}, {"BAT0", Battery}, {"ucsi-source-psy-USBC000:002", UsbOnline}},
       true},
      {"USB-C port without a charger",
       {{"BAT0", Battery}, {"ucsi-source-psy-USBC000:001", UsbOffline}},
       false},
      {"USB supply with the system scope",
       {{"BAT0", Battery}, {"usb", {{"type", "USB"}, {"online", "1"}, {"scope", "System"}}}},
       true},
      {"older USB kind as the type",
       {{"BAT0", Battery}, {"usb-pd", {{"type", "USB_PD"}, {"online", "1"}}}},
       true},
      {"a device's own USB supply",
       {{"BAT0", Battery}, {"dock-usb", {{"type", "USB"}, {"online", "1"}, {"scope", "Device"}}}},
       false},
      {"online supply of another kind",
       {{"BAT0", Battery}, {"wlc", {{"type", "Wireless"}, {"online", "1"}}}},
       false},
      {"online without a type", {{"BAT0", Battery}, {"ADP1", {{"online", "1"}}}}, false},
  };
  for (const TCase& test : cases) {
    FakeSysfs sys;
    for (const auto& [name, attributes] : test.Supplies) sys.Add(name, attributes);
    EXPECT_EQ(sys.OnMains(), test.Mains) << test.What;
  }
}

TEST(PowerStatus, AMissingClassDirectoryIsMains) {
  FakeSysfs sys;
  EXPECT_TRUE(Platform::TSysfsPowerStatus(sys.Dir.path() + "/missing").IsOnMains());
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
