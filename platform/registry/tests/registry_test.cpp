#include <registry/registry.h>
#include <registry/service_manager.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/registry/src/handle_numbers.h"
#include "text_value.h"

namespace registry {
namespace {

class RegistryTest : public ::testing::Test {
protected:
    std::shared_ptr<Registry> reg = Registry::InMemory();
    HKEY Create(std::string_view path)
    {
        HKEY key = 0;
        EXPECT_EQ(reg->CreateKey(kLocalMachine, path, kKeyAllAccess, &key), win32::kSuccess);
        return key;
    }
};

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCase)
{
    HKEY key = Create("System\\CurrentControlSet\\Services\\VxD\\Quenlo");
    ASSERT_EQ(reg->SetDword(key, "PortBase", 0x210), win32::kSuccess);
    HKEY other = 0;
    ASSERT_EQ(reg->OpenKey(kLocalMachine, "SYSTEM\\currentcontrolset\\services\\vxd\\QUENLO",
                           kKeyRead, &other),
              win32::kSuccess);
    uint32_t value = 0;
    EXPECT_EQ(reg->QueryDword(other, "portbase", &value), win32::kSuccess);
    EXPECT_EQ(value, 0x210u);
    ASSERT_EQ(reg->SetDword(key, "PORTBASE", 0x378), win32::kSuccess);
    EXPECT_EQ(reg->QueryDword(other, "PortBase", &value), win32::kSuccess);
    EXPECT_EQ(value, 0x378u);
    bool created = true;
    HKEY again = 0;
    EXPECT_EQ(reg->CreateKey(kLocalMachine, "system\\CURRENTCONTROLSET\\Services\\vxd\\quenlo",
                             kKeyRead, &again, &created),
              win32::kSuccess);
    EXPECT_FALSE(created);
    HKEY french = Create("Software\\Paramètres");
    ASSERT_EQ(reg->SetDword(french, "Durée", 20), win32::kSuccess);
    ASSERT_EQ(reg->OpenKey(kLocalMachine, "SOFTWARE\\PARAMÈTRES", kKeyRead, &other),
              win32::kSuccess);
    EXPECT_EQ(reg->QueryDword(other, "DURÉE", &value), win32::kSuccess);
    EXPECT_EQ(value, 20u);
}

TEST_F(RegistryTest, KeyNamesWithControlCharactersAreRefused)
{
    HKEY key = 0;
    EXPECT_EQ(reg->CreateKey(kLocalMachine, "Software\\Bad\nName", kKeyAllAccess, &key),
              win32::kInvalidParameter);
    EXPECT_EQ(reg->OpenKey(kLocalMachine, "Software\\Bad", kKeyRead, &key), win32::kFileNotFound);
}

TEST_F(RegistryTest, KeysPastTheDepthOrNameLimitAreRefused)
{
    auto levels = [](size_t count, const std::string& name) {
        std::string path = name;
        for (size_t i = 1; i < count; ++i)
            path += "\\" + name;
        return path;
    };
    struct Case {
        HKEY parent;
        std::string path;
        Status result;
    };
    const HKEY deep = Create(levels(500, "d"));
    const Case cases[] = {
        {kLocalMachine, levels(512, "a"), win32::kSuccess},
        {kLocalMachine, levels(513, "b"), win32::kInvalidParameter},
        {deep, levels(12, "c"), win32::kSuccess},
        {deep, levels(13, "c"), win32::kInvalidParameter},
        {kLocalMachine, std::string(255, 'n'), win32::kSuccess},
        {kLocalMachine, "x\\" + std::string(256, 'n'), win32::kInvalidParameter},
    };
    for (const Case& c : cases) {
        HKEY key = 0;
        EXPECT_EQ(reg->CreateKey(c.parent, c.path, kKeyAllAccess, &key), c.result) << c.path.size();
    }
    HKEY key = 0;
    EXPECT_EQ(reg->OpenKey(kLocalMachine, "x", kKeyRead, &key), win32::kFileNotFound);
}

TEST_F(RegistryTest, QueryAnswersSizesMoreDataAndNotFound)
{
    HKEY key = Create("Software\\Ondula");
    ASSERT_EQ(reg->SetString(key, "Text", ValueType::ExpandSz, "%SystemRoot%"), win32::kSuccess);
    ValueType type = ValueType::None;
    uint32_t size = 0;
    EXPECT_EQ(reg->QueryValue(key, "text", &type, nullptr, &size), win32::kSuccess);
    EXPECT_EQ(type, ValueType::ExpandSz);
    EXPECT_EQ(size, 13u);
    char small[4];
    size = sizeof small;
    EXPECT_EQ(reg->QueryValue(key, "Text", nullptr, small, &size), win32::kMoreData);
    EXPECT_EQ(size, 13u);
    char big[32];
    size = sizeof big;
    EXPECT_EQ(reg->QueryValue(key, "Text", nullptr, big, &size), win32::kSuccess);
    EXPECT_STREQ(big, "%SystemRoot%");
    EXPECT_EQ(reg->QueryValue(key, "Missing", nullptr, big, &size), win32::kFileNotFound);
    ASSERT_EQ(reg->SetValue(key, "Empty", ValueType::Binary, nullptr, 0), win32::kSuccess);
    size = sizeof big;
    EXPECT_EQ(reg->QueryValue(key, "Empty", &type, big, &size), win32::kSuccess);
    EXPECT_EQ(size, 0u);
    uint32_t dword = 0;
    EXPECT_EQ(reg->QueryDword(key, "Text", &dword), win32::kMoreData);
    EXPECT_EQ(reg->DeleteValue(key, "TEXT"), win32::kSuccess);
    EXPECT_EQ(reg->DeleteValue(key, "Text"), win32::kFileNotFound);
    HKEY missing = 0;
    EXPECT_EQ(reg->OpenKey(kLocalMachine, "Software\\Nobody", kKeyRead, &missing),
              win32::kFileNotFound);
}

TEST_F(RegistryTest, EnumerationIsSortedAndAnswersMoreDataAndNoMoreItems)
{
    HKEY parent = Create("P");
    for (const char* name : {"lpt", "C832", "averyveryverylongdevicename"})
        Create(std::string("P\\") + name);
    char name[12];
    uint32_t chars = sizeof name;
    ASSERT_EQ(reg->EnumKey(parent, 0, name, &chars), win32::kMoreData);
    chars = sizeof name;
    ASSERT_EQ(reg->EnumKey(parent, 1, name, &chars), win32::kSuccess);
    EXPECT_STREQ(name, "C832");
    EXPECT_EQ(chars, 4u);
    chars = sizeof name;
    ASSERT_EQ(reg->EnumKey(parent, 2, name, &chars), win32::kSuccess);
    EXPECT_STREQ(name, "lpt");
    chars = sizeof name;
    EXPECT_EQ(reg->EnumKey(parent, 3, name, &chars), win32::kNoMoreItems);
}

TEST_F(RegistryTest, ANameFitsWhenTheBufferHoldsItAndItsZero)
{
    constexpr uint32_t kBuffer = 40;
    for (const std::size_t length : {kBuffer - 2, kBuffer - 1, kBuffer}) {
        const std::string found(length, 'k');
        HKEY parent = Create("Fit" + std::to_string(length));
        Create("Fit" + std::to_string(length) + "\\" + found);
        char name[kBuffer + 1];
        std::memset(name, '#', sizeof name);
        uint32_t chars = kBuffer;
        const bool fits = length < kBuffer;
        EXPECT_EQ(reg->EnumKey(parent, 0, name, &chars), fits ? win32::kSuccess : win32::kMoreData)
            << length;
        EXPECT_EQ(chars, fits ? length : kBuffer) << length;
        EXPECT_EQ(std::string(name, fits ? length + 1 : 1),
                  fits ? found + std::string(1, '\0') : std::string("#"))
            << length;
        EXPECT_EQ(name[kBuffer], '#') << length;
    }
}

TEST_F(RegistryTest, DeleteKeyRefusesSubkeysAndInvalidatesHandles)
{
    HKEY device = Create("Params\\c832\\Sub");
    HKEY params = Create("Params");
    EXPECT_EQ(reg->DeleteKey(params, "C832"), win32::kAccessDenied);
    EXPECT_EQ(reg->DeleteKey(params, "c832\\sub"), win32::kSuccess);
    EXPECT_EQ(reg->SetDword(device, "X", 1), win32::kKeyDeleted);
    EXPECT_EQ(reg->DeleteKey(params, "c832\\sub"), win32::kFileNotFound);
    EXPECT_EQ(reg->DeleteKey(params, "c832"), win32::kSuccess);
    EXPECT_EQ(reg->CloseKey(device), win32::kSuccess);
    EXPECT_EQ(reg->CloseKey(device), win32::kInvalidHandle);
}

TEST(HandleNumberTest, WrapsBelowTheRootsAndSkipsOpenHandles)
{
    const struct {
        HKEY next;
        std::vector<HKEY> open;
        std::vector<HKEY> handed;
    } cases[] = {
        {kLastHandle - 1, {}, {kLastHandle - 1, kLastHandle, kFirstHandle}},
        {kLastHandle,
         {kLastHandle, kFirstHandle, kFirstHandle + 2},
         {kFirstHandle + 1, kFirstHandle + 3}},
        {kFirstHandle, {kFirstHandle + 1}, {kFirstHandle, kFirstHandle + 2}},
    };
    for (const auto& c : cases) {
        std::map<HKEY, int> open;
        for (HKEY number : c.open)
            open[number] = 0;
        HKEY next = c.next;
        std::vector<HKEY> handed;
        for (size_t i = 0; i < c.handed.size(); ++i) {
            handed.push_back(TakeHandleNumber(&next, open));
            open[handed.back()] = 0;
        }
        EXPECT_EQ(handed, c.handed) << c.next;
    }
}

TEST_F(RegistryTest, ReadHandlesCannotWriteOrCreate)
{
    Create("Software");
    HKEY readOnly = 0;
    ASSERT_EQ(reg->OpenKey(kLocalMachine, "Software", kKeyRead, &readOnly), win32::kSuccess);
    EXPECT_EQ(reg->SetDword(readOnly, "X", 1), win32::kAccessDenied);
    EXPECT_EQ(reg->DeleteValue(readOnly, "X"), win32::kAccessDenied);
    HKEY child = 0;
    EXPECT_EQ(reg->CreateKey(readOnly, "New", kKeyAllAccess, &child), win32::kAccessDenied);
    EXPECT_EQ(reg->OpenKey(readOnly, "New", kKeyRead, &child), win32::kFileNotFound);
}

TEST_F(RegistryTest, InjectedFailureHitsOnlyTheNamedValueOnce)
{
    HKEY key = Create("K");
    reg->InjectSetValueFailure("portcount", win32::kRegistryIoFailed);
    EXPECT_EQ(reg->SetDword(key, "PortBase", 1), win32::kSuccess);
    EXPECT_EQ(reg->SetDword(key, "PortCount", 2), win32::kRegistryIoFailed);
    EXPECT_EQ(reg->SetDword(key, "PortCount", 2), win32::kSuccess);
}

TEST_F(RegistryTest, ServiceRegistrationAnswersExistsTheSecondTime)
{
    ServiceConfig service{"Quenlo",
                          "Quenlo",
                          kServiceKernelDriver,
                          kServiceAutoStart,
                          kServiceErrorNormal,
                          "\\SystemRoot\\System32\\Drivers\\quenlo.sys"};
    Create("System\\CurrentControlSet\\Services\\Quenlo\\Parameters");
    EXPECT_EQ(CreateService(*reg, service), win32::kSuccess);
    EXPECT_EQ(CreateService(*reg, service), win32::kServiceExists);
    for (const char* name : {"", "Quenlo\\Parameters", "a/b"}) {
        ServiceConfig odd = service;
        odd.name = name;
        EXPECT_EQ(CreateService(*reg, odd), win32::kInvalidName) << name;
    }
    HKEY key = 0;
    ASSERT_EQ(
        reg->OpenKey(kLocalMachine, "System\\CurrentControlSet\\Services\\quenlo", kKeyRead, &key),
        win32::kSuccess);
    uint32_t type = 0, start = 0, errors = 0;
    EXPECT_EQ(reg->QueryDword(key, "Type", &type), win32::kSuccess);
    EXPECT_EQ(reg->QueryDword(key, "Start", &start), win32::kSuccess);
    EXPECT_EQ(reg->QueryDword(key, "ErrorControl", &errors), win32::kSuccess);
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(errors, 1u);
    EXPECT_TRUE(HasTextValue(*reg, key, "ImagePath", ValueType::ExpandSz,
                             "\\SystemRoot\\System32\\Drivers\\quenlo.sys"));
}

} // namespace
} // namespace registry
