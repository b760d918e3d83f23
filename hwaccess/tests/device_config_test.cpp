#include "hw_fixture.h"
#include <hwaccess/client.h>
#include <registry/service_manager.h>

namespace hw::testing {
namespace {

using namespace qdriver::wire;

class DeviceConfigTest : public HwFixture {
protected:
    registry::HKEY DeviceKey(const std::string& name)
    {
        registry::HKEY key = 0;
        EXPECT_EQ(reg->CreateKey(registry::kLocalMachine,
                                 qdriver::DeviceParentPath(platform) + "\\" + name,
                                 registry::kKeyAllAccess, &key),
                  0);
        return key;
    }
    std::map<std::string, uint32_t> Values(const std::string& name)
    {
        registry::HKEY key = DeviceKey(name);
        std::map<std::string, uint32_t> values;
        for (const char* value : qdriver::kDeviceValueNames) {
            uint32_t v = 0;
            if (reg->QueryDword(key, value, &v) == 0)
                values[value] = v;
        }
        reg->CloseKey(key);
        return values;
    }
    int platform = kPlatformNt;
};

TEST_F(DeviceConfigTest, ResetAndSettersFillTheFullRecord)
{
    static_assert(sizeof(HwDeviceConfig) == 96 && offsetof(HwDeviceConfig, recordSize) == 68);
    HwDeviceConfig c;
    std::memset(&c, 0xCC, sizeof c);
    EXPECT_EQ(HwZeroDeviceConfig(&c), 0);
    Words words(24);
    std::memcpy(words.data(), &c, 96);
    Words reset(24, 0);
    reset[1] = 1;
    reset[17] = 96;
    EXPECT_EQ(words, reset);
    HwConfigurePortRange(&c, 0x210, 4);
    HwConfigureInterrupt(&c, 5);
    HwConfigureIsrOp(&c, 0x81, 2, 9);
    HwConfigureIsrIdOp(&c, 0x81, 3, 0x80, 0x80);
    HwConfigureMemRange(&c, 0xD0000, 0x1000);
    HwConfigureIgnoreConflicts(&c, true);
    HwConfigureMemoryIo(&c, true);
    std::memcpy(words.data(), &c, 96);
    EXPECT_EQ(words, (Words{0,       1,      0, 1, 0x210, 4,  1,    5, 0x81, 9,    2, 1,
                            0xD0000, 0x1000, 0, 1, 0,     96, 0x81, 3, 0x80, 0x80, 1, 0}));
}

TEST_F(DeviceConfigTest, StoredValuesFollowTheRecordAndRoundTrip)
{
    HwDeviceConfig c;
    HwZeroDeviceConfig(&c);
    c.BusNumber = 3;
    HwConfigurePortRange(&c, 0x300, 8);
    HwConfigureInterrupt(&c, 10);
    HwConfigureIsrIdOp(&c, 0x81, 1, 0x40, 0x40);
    HwConfigureIgnoreConflicts(&c, true);
    HwConfigureMemoryIo(&c, true);
    c.Dynamic = 5;
    c.DmaBufSize = 0x10000;
    ASSERT_TRUE(HwConfigureDevice("Board", &c));
    EXPECT_EQ(Values("board"), (std::map<std::string, uint32_t>{{"PortBase", 0x300},
                                                                {"PortCount", 8},
                                                                {"InterruptLevel", 10},
                                                                {"IsrIdOp", 0x81},
                                                                {"IsrIdOffset", 1},
                                                                {"IsrIdMask", 0x40},
                                                                {"IsrIdValue", 0x40},
                                                                {"Dynamic", 1},
                                                                {"IgnoreConflicts", 1},
                                                                {"MemoryIo", 1},
                                                                {"DmaBufSize", 0x10000}}));
    HwDeviceConfig back;
    ASSERT_TRUE(HwGetDeviceConfig("BOARD", &back));
    c.BusNumber = 0; // not stored with InterfaceType 1
    c.Dynamic = 1;
    EXPECT_EQ(std::memcmp(&back, &c, 96), 0);

    c.InterfaceType = 2;
    c.BusNumber = 1;
    c.IsrIdOp = 0;
    ASSERT_TRUE(HwConfigureDevice("board", &c));
    EXPECT_EQ(Values("board").at("InterfaceType"), 2u);
    EXPECT_EQ(Values("board").at("BusNumber"), 1u);
    EXPECT_EQ(Values("board").count("IsrIdMask"), 0u);
}

TEST_F(DeviceConfigTest, InterfaceType1RemovesBusNumberAndIsrOp0RemovesItsValues)
{
    registry::HKEY key = DeviceKey("old");
    for (const char* name : {"BusNumber", "IsrOp", "IsrOffset", "IsrData", "Unrelated"})
        reg->SetDword(key, name, 4);
    reg->CloseKey(key);
    HwDeviceConfig c;
    HwZeroDeviceConfig(&c);
    c.BusNumber = 7;
    c.IsrOffset = 3;
    ASSERT_TRUE(HwConfigureDevice("old", &c));
    EXPECT_EQ(Values("old"), (std::map<std::string, uint32_t>{{"DmaBufSize", 0}}));
    key = DeviceKey("old");
    uint32_t kept = 0;
    EXPECT_EQ(reg->QueryDword(key, "Unrelated", &kept), 0);
    reg->CloseKey(key);
}

TEST_F(DeviceConfigTest, ReadingFollowsThePresenceRules)
{
    registry::HKEY key = DeviceKey("odd");
    reg->SetDword(key, "PortBase", 0x300);
    reg->SetDword(key, "MemBase", 0xD0000);
    reg->SetDword(key, "MemCount", 0x100);
    reg->SetDword(key, "IsrOp", 0);
    reg->SetDword(key, "IsrData", 5);
    reg->SetDword(key, "Dynamic", 2);
    reg->SetDword(key, "IgnoreConflicts", 0);
    reg->CloseKey(key);
    HwDeviceConfig c;
    ASSERT_TRUE(HwGetDeviceConfig("odd", &c));
    EXPECT_EQ(c.portRangeUsed, 0u);
    EXPECT_EQ(c.PortBase, 0u);
    EXPECT_EQ(c.memRangeUsed, 1u);
    EXPECT_EQ(c.MemBase, 0xD0000u);
    EXPECT_EQ(c.IsrData, 0u);
    EXPECT_EQ(c.Dynamic, 1u);
    EXPECT_EQ(c.IgnoreConflicts, 0u);
    EXPECT_FALSE(HwGetDeviceConfig("missing", &c));
    EXPECT_FALSE(HwGetDeviceConfig("", &c)); // not the devices' parent key
    EXPECT_EQ(c.InterfaceType, 1u);
    EXPECT_EQ(c.recordSize, 96u);
}

TEST_F(DeviceConfigTest, VendorBusStoresVendorAndDeviceInsteadOfBusAndConflicts)
{
    HwDeviceConfig c;
    HwZeroDeviceConfig(&c);
    c.InterfaceType = 5;
    c.IgnoreConflicts = 0x10B5; // VendorID
    c.DeviceID = 0x9050;
    c.BusNumber = 2;
    ASSERT_TRUE(HwConfigureDevice("pci", &c));
    EXPECT_EQ(
        Values("pci"),
        (std::map<std::string, uint32_t>{
            {"InterfaceType", 5}, {"VendorID", 0x10B5}, {"DeviceID", 0x9050}, {"DmaBufSize", 0}}));
    HwDeviceConfig back;
    ASSERT_TRUE(HwGetDeviceConfig("pci", &back));
    EXPECT_EQ(back.IgnoreConflicts, 0x10B5u);
    EXPECT_EQ(back.DeviceID, 0x9050u);
    EXPECT_EQ(back.BusNumber, 0u);
}

TEST_F(DeviceConfigTest, AFailedWriteReportsFailureAndKeepsTheOldConfiguration)
{
    HwDeviceConfig c;
    HwZeroDeviceConfig(&c);
    HwGetDeviceConfig("c832", &c);
    const auto before = Values("c832");
    c.IgnoreConflicts = 1;
    c.PortBase = 0x220;
    reg->InjectSetValueFailure("PortCount", win32::kRegistryIoFailed);
    EXPECT_FALSE(HwConfigureDevice("c832", &c));
    EXPECT_EQ(Values("c832"), before);
    EXPECT_TRUE(HwConfigureDevice("c832", &c));
    EXPECT_EQ(Values("c832").at("PortBase"), 0x220u);
}

TEST_F(DeviceConfigTest, EnumerationSkipsNamesTooLongForTheBufferAndDeletionRemovesKeys)
{
    reg->CloseKey(DeviceKey("a-name-far-too-long-for-the-forty-character-buffer"));
    HwDeviceConfig c;
    char name[40];
    std::vector<std::string> names;
    for (uint32_t i = 0; HwEnumerateDevices(i, name, &c); ++i) {
        names.push_back(name);
        EXPECT_EQ(c.busFlag, names.back() == "lpt" ? 1u : 0u);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"c832", "lpt"}));
    ASSERT_TRUE(HwEnumerateDevices(1, name, &c));
    EXPECT_EQ(c.PortBase, 0x378u);
    EXPECT_EQ(c.PortCount, 2u);
    EXPECT_EQ(c.InterfaceType, 0u);
    EXPECT_EQ(c.IgnoreConflicts, 1u);
    EXPECT_TRUE(HwDeleteDeviceConfiguration("LPT"));
    EXPECT_FALSE(HwDeleteDeviceConfiguration("lpt"));
    EXPECT_FALSE(HwEnumerateDevices(1, name, &c));
}

TEST_F(DeviceConfigTest, EnumerationTakesTheLongestNameTheFortyCharacterBufferHolds)
{
    const std::string longest(HW_DEVICE_NAME_CHARS - 1, 'm'), tooLong(HW_DEVICE_NAME_CHARS, 'n');
    for (const std::string& device : {longest, tooLong})
        reg->CloseKey(DeviceKey(device));
    HwDeviceConfig c;
    char name[HW_DEVICE_NAME_CHARS];
    std::vector<std::string> names;
    for (uint32_t i = 0; HwEnumerateDevices(i, name, &c); ++i)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"c832", "lpt", longest}));
}

TEST_F(DeviceConfigTest, DriverInstallationOnNt)
{
    reg = registry::Registry::InMemory();
    registry::UseSystem(reg);
    EXPECT_FALSE(HwIsDriverConfigured());
    ASSERT_TRUE(HwConfigureDriver());
    EXPECT_TRUE(HwIsDriverConfigured());
    EXPECT_TRUE(HwConfigureDriver()); // the service exists already
    registry::HKEY key = 0;
    ASSERT_EQ(reg->OpenKey(registry::kLocalMachine, "System\\CurrentControlSet\\Services\\Quenlo",
                           registry::kKeyRead, &key),
              0);
    char text[128];
    uint32_t size = sizeof text, value = 0;
    registry::ValueType type{};
    ASSERT_EQ(reg->QueryValue(key, "ImagePath", &type, text, &size), 0);
    EXPECT_STREQ(text, "\\SystemRoot\\System32\\Drivers\\quenlo.sys");
    ASSERT_EQ(reg->QueryDword(key, "Type", &value), 0);
    EXPECT_EQ(value, 1u);
    ASSERT_EQ(reg->QueryDword(key, "Start", &value), 0);
    EXPECT_EQ(value, 2u);
    ASSERT_EQ(reg->QueryDword(key, "ErrorControl", &value), 0);
    EXPECT_EQ(value, 1u);
    size = sizeof text;
    ASSERT_EQ(reg->QueryValue(key, "DisplayName", &type, text, &size), 0);
    EXPECT_STREQ(text, "Quenlo");
    ASSERT_EQ(reg->OpenKey(registry::kLocalMachine,
                           "System\\CurrentControlSet\\Services\\EventLog\\System\\Quenlo",
                           registry::kKeyRead, &key),
              0);
    size = sizeof text;
    ASSERT_EQ(reg->QueryValue(key, "EventMessageFile", &type, text, &size), 0);
    EXPECT_EQ(type, registry::ValueType::ExpandSz);
    EXPECT_STREQ(
        text, "%SystemRoot%\\System32\\IoLogMsg.dll;%SystemRoot%\\System32\\Drivers\\Quenlo.sys");
    ASSERT_EQ(reg->QueryDword(key, "TypesSupported", &value), 0);
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(reg->OpenKey(registry::kLocalMachine,
                           "System\\CurrentControlSet\\Services\\Quenlo\\Parameters",
                           registry::kKeyRead, &key),
              0);
    reg->InjectSetValueFailure("TypesSupported", win32::kRegistryIoFailed);
    EXPECT_FALSE(HwConfigureDriver());
}

TEST_F(DeviceConfigTest, DriverInstallationOn9xAndItsDeviceKeys)
{
    platform = kPlatform9x;
    Boot(kPlatform9x);
    ASSERT_TRUE(HwConfigureDriver());
    registry::HKEY key = 0;
    ASSERT_EQ(reg->OpenKey(registry::kLocalMachine,
                           "system\\currentcontrolset\\services\\vxd\\quenlo", registry::kKeyRead,
                           &key),
              0);
    char text[32];
    uint32_t size = sizeof text;
    registry::ValueType type{};
    ASSERT_EQ(reg->QueryValue(key, "StaticVxD", &type, text, &size), 0);
    EXPECT_EQ(type, registry::ValueType::Sz);
    EXPECT_STREQ(text, "QUENLO.VXD");
    EXPECT_TRUE(HwIsDriverConfigured());
    reg->InjectSetValueFailure("StaticVxD", win32::kRegistryIoFailed);
    EXPECT_FALSE(HwConfigureDriver());
    HwDeviceConfig c;
    ASSERT_TRUE(HwGetDeviceConfig("c832", &c)); // directly under the service key
    EXPECT_EQ(c.PortBase, 0x210u);
}

TEST_F(DeviceConfigTest, ConfigurationSurvivesARestartOfAFileRegistry)
{
    auto path =
        std::filesystem::temp_directory_path() / ("ondula-hw-" + std::to_string(::getpid()));
    std::filesystem::remove(path);
    registry::UseSystem(registry::Registry::FromFile(path));
    HwDeviceConfig c;
    HwZeroDeviceConfig(&c);
    HwConfigurePortRange(&c, 0x2A0, 4);
    ASSERT_TRUE(HwConfigureDevice("stage", &c));
    registry::UseSystem(registry::Registry::FromFile(path));
    HwDeviceConfig back;
    ASSERT_TRUE(HwGetDeviceConfig("Stage", &back));
    EXPECT_EQ(back.PortBase, 0x2A0u);
    std::filesystem::remove(path);
}

} // namespace
} // namespace hw::testing
