#include "core/gps/port_map.h"

#include <gtest/gtest.h>

#include "core/settings/creg_store.h"
#include "core/settings/memory_registry.h"
#include "support/env_override.h"

namespace wp2 {
namespace {

// Sets or clears WAYPLOT2_COM<n> for one test.
class EnvOverride : public test::EnvOverride {
public:
    EnvOverride(int port, const char* value)
        : test::EnvOverride(PortMap::environmentName(port), value) {}
};

TEST(PortMapTest, AssignedDeviceBeatsEnvironmentWhichBeatsStoredValueWhichBeatsDefault) {
    MemoryRegistry memory;
    Registry* previous = setRegistry(&memory);
    EnvOverride none(2, nullptr);
    PortMap map;
    EXPECT_EQ(map.device(2), "/dev/ttyACM0");
    ASSERT_TRUE(CRegStore().WriteText("Port2", "tcp://phone:10110"));
    EXPECT_EQ(map.device(2), "tcp://phone:10110");
    {
        EnvOverride env(2, "/dev/ttyS9");
        EXPECT_EQ(map.device(2), "/dev/ttyS9");
        map.setDevice(2, "/dev/pts/3");
        EXPECT_EQ(map.device(2), "/dev/pts/3");
    }
    // An empty stored text is no override; an empty environment value maps
    // the port to no device at all.
    ASSERT_TRUE(CRegStore().WriteText("Port4", ""));
    EnvOverride empty(4, "");
    EXPECT_EQ(map.device(4), "");
    empty.set(nullptr);
    EXPECT_EQ(map.device(4), "/dev/ttyACM1");
    setRegistry(previous);
}

TEST(PortMapTest, DefaultDevicesNamesAndScanOrder) {
    test::EnvOverride gpsd("WAYPLOT2_GPSD", nullptr);
    PortMap map(PortMap::StoredText{});
    std::string devices;
    for (int port = 1; port <= 11; ++port) {
        EnvOverride none(port, nullptr);
        devices += map.device(port) + " ";
    }
    EXPECT_EQ(devices,
              "/dev/ttyUSB0 /dev/ttyACM0 /dev/ttyUSB1 /dev/ttyACM1 /dev/rfcomm0 /dev/ttyS0 "
              "/dev/ttyS1 /dev/ttyAMA0 /dev/gps0 gpsd://localhost:2947 tcp://localhost:10110 ");
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
