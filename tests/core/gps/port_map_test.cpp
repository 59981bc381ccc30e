#include "core/gps/port_map.h"

#include <gtest/gtest.h>

#include <map>

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
    ASSERT_TRUE(CRegStore().WriteText("Port2", "/dev/serial/by-id/gps"));
    EXPECT_EQ(map.device(2), "/dev/serial/by-id/gps");
    {
        EnvOverride env(2, "/dev/ttyS9");
        EXPECT_EQ(map.device(2), "/dev/ttyS9");
        map.setDevice(2, "/dev/pts/3");
        EXPECT_EQ(map.device(2), "/dev/pts/3");
    }
    // An empty stored text is no override; an empty environment value maps
    // the port to no device at all.
    ASSERT_TRUE(CRegStore().WriteText("Port4", ""));
    EnvOverride none4(4, nullptr);
    EXPECT_EQ(map.device(4), "/dev/ttyACM1");
    {
        EnvOverride empty(4, "");
        EXPECT_EQ(map.device(4), "");
    }
    // Numbers without a default device can still be mapped.
    EnvOverride twelve(12, "/dev/ttyUSB12");
    EXPECT_EQ(map.device(12), "/dev/ttyUSB12");
    setRegistry(previous);
}

TEST(PortMapTest, DefaultDevicesNamesAndScanOrder) {
    const char* expected[] = {"/dev/ttyUSB0", "/dev/ttyACM0", "/dev/ttyUSB1",
                              "/dev/ttyACM1", "/dev/rfcomm0", "/dev/ttyS0",
                              "/dev/ttyS1",   "/dev/ttyAMA0", "/dev/gps0"};
    PortMap map(PortMap::StoredText{});
    for (int port = 1; port <= 9; ++port) {
        EnvOverride none(port, nullptr);
        EXPECT_EQ(map.device(port), expected[port - 1]) << port;
    }
    EXPECT_EQ(map.device(0) + map.device(10) + map.device(-1), "");
    EXPECT_EQ(PortMap::comName(5), "COM5");
    EXPECT_EQ(PortMap::environmentName(1), "WAYPLOT2_COM1");
    EXPECT_EQ(PortMap::settingName(9), "Port9");
    EXPECT_EQ(std::vector<int>(kScanOrder, kScanOrder + kScanPortCount),
              (std::vector<int>{5, 2, 4, 6, 7, 8, 1, 3}));
}

}  // namespace
}  // namespace wp2
