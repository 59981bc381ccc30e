#include "core/gps/port_map.h"

#include <gtest/gtest.h>

#include "core/settings/creg_store.h"
#include "core/settings/memory_registry.h"
#include "support/env_override.h"

namespace wp2 {
namespace {

using test::EnvOverride;

TEST(PortMapTest, AssignedDeviceBeatsEnvironmentWhichBeatsStoredValueWhichBeatsDefault) {
    MemoryRegistry memory;
    Registry* previous = setRegistry(&memory);
    EnvOverride none(PortMap::environmentName(2), nullptr);
    PortMap map;
    EXPECT_EQ(map.device(2), "/dev/ttyACM0");
    ASSERT_TRUE(CRegStore().WriteText("Port2", "tcp://phone:10110"));
    EXPECT_EQ(map.device(2), "tcp://phone:10110");
    {
        EnvOverride env(PortMap::environmentName(2), "/dev/ttyS9");
        EXPECT_EQ(map.device(2), "/dev/ttyS9");
        map.setDevice(2, "/dev/pts/3");
        EXPECT_EQ(map.device(2), "/dev/pts/3");
    }
    // An empty stored text is no override; an empty environment value maps
    // the port to no device at all.
    ASSERT_TRUE(CRegStore().WriteText("Port4", ""));
    EnvOverride empty("WAYPLOT2_COM4", "");
    EXPECT_EQ(map.device(4), "");
    empty.set(nullptr);
    EXPECT_EQ(map.device(4), "/dev/ttyACM1");
    setRegistry(previous);
}

TEST(PortMapTest, DefaultDevicesNamesAndScanOrder) {
    EnvOverride gpsd("WAYPLOT2_GPSD", nullptr);
    std::string devices;
    for (int port = 1; port <= 11; ++port) {
        devices += PortMap::defaultDevice(port) + " ";
    }
    EXPECT_EQ(devices,
              "/dev/ttyUSB0 /dev/ttyACM0 /dev/ttyUSB1 /dev/ttyACM1 /dev/rfcomm0 /dev/ttyS0 "
              "/dev/ttyS1 /dev/ttyAMA0 /dev/gps0 gpsd://localhost:2947 tcp://localhost:10110 ");
    PortMap map(PortMap::StoredText{});
    gpsd.set("127.0.0.1:3000");  // the tests' own gpsd
    EXPECT_EQ(map.device(kGpsdPort), "gpsd://127.0.0.1:3000");
    gpsd.set("");  // none
    EXPECT_EQ(map.device(kGpsdPort) + map.device(0) + map.device(12), "");
    EXPECT_EQ(PortMap::comName(5) + PortMap::comName(10) + PortMap::comName(11), "COM5gpsdTCP");
    EXPECT_EQ(std::vector<int>(kScanOrder, kScanOrder + kScanPortCount),
              (std::vector<int>{5, 2, 4, 6, 7, 8, 1, 3}));
}

}  // namespace
}  // namespace wp2
