// The settings dialog offers the device tables' types in the order the settings list always had.
#include "tracking/device_lists.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(DeviceListsTest, TypeListsKeepTheirOrder) {
    EXPECT_EQ(
        settingsComboItems("RotorType"),
        (std::vector<std::string>{"None", "SpidRak(az)", "SpidRas(az/el) 1 deg",
                                  "SpidRas(az/el) 0.5 deg", "Kelvora", "GS232", "GS232-qzr",
                                  "D-Prosistel", "EasyComm", "Radant AZV-1", "Hamlib rotctld"}));
    EXPECT_EQ(settingsComboItems("RtxType"),
              (std::vector<std::string>{"None",        "Icom-rtx",  "IC-275",        "IC-706MK2G",
                                        "IC-756pro3",  "IC-781",    "IC-7100",       "IC-7300",
                                        "IC-7400",     "IC-7800",   "IC-9700",       "IC-9700-X",
                                        "Elecraft-K3", "Flex-SDR",  "FT-736R",       "FT-817",
                                        "FT-847",      "FT-857",    "FT-897",        "FT-950",
                                        "FT-991",      "FT-1000mp", "FT-5000",       "TS-590",
                                        "TS-2000",     "Fdm-Duo",   "Hamlib rigctld"}));
    EXPECT_EQ(settingsComboItems("Sun_combo").size(), 6u);
}

} // namespace
} // namespace kelvora
