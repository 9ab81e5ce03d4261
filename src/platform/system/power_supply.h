#pragma once
#include <string>

namespace vistaloom {

// True while the machine runs on its battery: no mains supply reports itself online and a
// battery reports that it is discharging. Read from the kernel's power-supply folder
// (`root`, normally /sys/class/power_supply); a machine without one runs on mains.
bool on_battery_power(const std::string& root = "/sys/class/power_supply");

}  // namespace vistaloom
