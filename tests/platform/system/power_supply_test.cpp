#include "platform/system/power_supply.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace vistaloom {
namespace {

struct Supplies {
    testing::TempFolder root;
    void add(const std::string& name, const std::string& type, const std::string& file,
             const std::string& value) {
        root.write(name + "/type", type + "\n");
        root.write(name + "/" + file, value + "\n");
    }
};

TEST(PowerSupply, DischargingBatteryWithoutMainsIsBatteryPower) {
    Supplies s;
    s.add("AC", "Mains", "online", "0");
    s.add("BAT0", "Battery", "status", "Discharging");
    EXPECT_TRUE(on_battery_power(s.root.path().string()));
}

TEST(PowerSupply, MainsOnlineOrNoBatteryIsMainsPower) {
    Supplies plugged;
    plugged.add("BAT0", "Battery", "status", "Discharging");  // read before the charger
    plugged.add("AC", "Mains", "online", "1");
    EXPECT_FALSE(on_battery_power(plugged.root.path().string()));

    Supplies charging;
    charging.add("BAT0", "Battery", "status", "Charging");
    EXPECT_FALSE(on_battery_power(charging.root.path().string()));

    Supplies desktop;  // a folder with no supplies at all, or none at all
    EXPECT_FALSE(on_battery_power(desktop.root.path().string()));
    EXPECT_FALSE(on_battery_power("/nonexistent/power_supply"));
}

}  // namespace
}  // namespace vistaloom
