#include <gtest/gtest.h>

#include <typeinfo>

#include <kddevmgr/simulation.h>
#include <kdtorvane/device.h>
#include <kdtorvane/exceptions.h>

namespace {

using namespace kdTORVANE::acquire;

template <typename Base> bool IsA(const TorvaneAcquireException& e)
{
    return dynamic_cast<const Base*>(&e) != nullptr;
}

class AccessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kdsim::CameraConfig a1g, a2c;
        kdsim::Camera("kdLyra-A1G", 0, &a1g);
        kdsim::Camera("kdLyra-A2C", 1, &a2c);
        kdsim::Configure({a1g, a2c});
    }

    void TearDown() override
    {
        const kdsim::Counters counters = kdsim::Count();
        EXPECT_EQ(counters.users, 0);
        EXPECT_EQ(counters.open_devices, 0);
        EXPECT_EQ(counters.locked, 0);
        EXPECT_EQ(counters.buffer_objects, 0);
    }

    static DeviceEntry& First(DeviceManagerSession& session)
    {
        session.RefreshDeviceList();
        return session.Device(0);
    }
};

TEST_F(AccessTest, EachCodeRaisesItsClassWithItsMessage)
{
    struct Case {
        int32_t code;
        const std::type_info& type;
        bool (*in_group)(const TorvaneAcquireException&);
        const char* message;
    };
    const Case cases[] = {
        {-2000, typeid(ENotAList), IsA<EComponent>,
         "Component Gain_dB is not a list. Unable to perform list operation."},
        {-2001, typeid(ENotAProperty), IsA<EComponent>,
         "Component Gain_dB is not a property. Unable to perform property operation."},
        {-2002, typeid(ENotAMethod), IsA<EComponent>,
         "Component Gain_dB is not a method. Unable to perform function call operation."},
        {-2003, typeid(ENoReadRights), IsA<EComponent>, "No read rights for component \"Gain_dB\""},
        {-2004, typeid(ENoWriteRights), IsA<EComponent>,
         "No write rights for component \"Gain_dB\""},
        {-2005, typeid(ENoModifySizeRights), IsA<EComponent>,
         "Component \"Gain_dB\"s size is fixed and therefore can't be modified"},
        {-2006, typeid(EIncompatibleComponents), IsA<EComponent>,
         "Component at 7 has been compared with an incompatible type (might differ in "
         "components, size, etc.)"},
        {-2007, typeid(ENoUserAllocatedMemory), IsA<EComponent>,
         "Component Gain_dB hasn't the cfUserAllocatedMemory flag set"},
        {-2008, typeid(EUnsupportedParameter), IsA<EPropertyHandling>, "Unsupported parameter"},
        {-2009, typeid(ESizeMismatch), IsA<EPropertyHandling>,
         "Size mismatch during query of values for Gain_dB"},
        {-2010, typeid(EImplementationMissing), IsA<EPropertyHandling>,
         "This feature hasn't been implemented so far"},
        {-2012, typeid(EInvalidValue), IsA<EProperty>,
         "EProperty: Invalid value for property \"Gain_dB\""},
        {-2013, typeid(ETranslationTableCorrupted), IsA<EProperty>,
         "EProperty: \"Gain_dB\": Translation table corrupted"},
        {-2014, typeid(EValIDOutOfBounds), IsA<EProperty>,
         "EProperty: Val ID out of bounds for \"Gain_dB\""},
        {-2015, typeid(ETranslationTableNotDefined), IsA<EProperty>,
         "EProperty: translation table hasn't been defined for property \"Gain_dB\""},
        {-2016, typeid(EInvalidValueType), IsA<EProperty>,
         "EProperty: Property \"Gain_dB\" does not support this value type"},
        {-2017, typeid(EValTooLarge), IsA<EProperty>,
         "EProperty: The assigned value is higher then the max. value for property \"Gain_dB\""},
        {-2018, typeid(EValTooSmall), IsA<EProperty>,
         "EProperty: The assigned value is smaller then the min. value for property \"Gain_dB\""},
        {-2020, typeid(EInvalidListID), IsA<EPropertyList>, "EPropertyList: Invalid proplist ID"},
        {-2021, typeid(EComponentIDInvalid), IsA<EPropertyList>,
         "EPropertyList: Invalid component ID"},
        {-2022, typeid(EListEntryOccupied), IsA<EPropertyList>,
         "EPropertyList: List entry occupied already"},
        {-2025, typeid(ECantAccessData), IsA<EPropertyList>,
         "EPropertyList: Can't access data at at 7"},
        {-2026, typeid(EMethodPtrInvalid), IsA<EMethod>,
         "EMethod: The function pointer for Method \"Gain_dB\" is invalid"},
        {-2027, typeid(EInvalidParameterList), IsA<EMethod>,
         "EMethod: The functions parameter list is invalid"},
        {-2029, typeid(EInvalidInputParameter), IsA<EPropertyHandling>,
         "One or more of the input parameters are invalid ( NULL-pointers? )"},
        {-2031, typeid(EInputBufferTooSmall), IsA<EPropertyHandling>,
         "The user supplied input buffer was too small for the result"},
        {-2032, typeid(EWrongParamCount), IsA<EPropertyHandling>, "Wrong parameter count"},
        {-2033, typeid(EUnsupportedOperation), IsA<EPropertyHandling>,
         "This component does not support this operation"},
        {-2034, typeid(ECantSerializeData), IsA<EPropertyHandling>,
         "No serialize rights for list 'Gain_dB'"},
        {-2099, typeid(EPropertyHandling), IsA<EPropertyHandling>,
         "Unknown error occurred during processing of component Gain_dB"},
    };
    for (const Case& c : cases) {
        try {
            Raise(c.code, "Gain_dB", "at 7");
        } catch (const TorvaneAcquireException& e) {
            EXPECT_EQ(typeid(e), c.type) << c.code;
            EXPECT_TRUE(c.in_group(e)) << c.code;
            EXPECT_TRUE(IsA<EPropertyHandling>(e)) << c.code;
            EXPECT_STREQ(e.what(), c.message);
            EXPECT_EQ(e.code(), c.code);
        }
    }
}

TEST_F(AccessTest, ManagerResultsBecomeTheirExceptions)
{
    DeviceManagerSession session;
    DeviceEntry& entry = First(session);
    DeviceAccess device(session, entry);
    DevicePropertyDictionary* setting = device.TakeSetting();
    try {
        setting->camera.Property("Gain_dB").WriteReal(40.0);
        ADD_FAILURE() << "no exception";
    } catch (const EValTooLarge& e) {
        EXPECT_STREQ(e.what(), "EProperty: The assigned value is higher then the max. value for "
                               "property \"Gain_dB\"");
        EXPECT_EQ(e.code(), KD_ERR_VAL_TOO_LARGE);
    }
    try {
        ListAccess list(4711);
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidListID& e) {
        EXPECT_STREQ(e.what(), "EPropertyList: Invalid proplist ID");
    }
    EXPECT_THROW(ListAccess(setting->setting.Find("Camera")).Property("Aoi"), ENotAProperty);
}

TEST_F(AccessTest, TheThirdIntegerKindIsReadWithItsOwnOperation)
{
    DeviceManagerSession session;
    DeviceEntry& entry = First(session);
    DeviceAccess device(session, entry);
    HOBJ statistics = KD_INVALID_HANDLE;
    ASSERT_EQ(kdFindList(entry.driver(), KD_LIST_STATISTICS, "Statistics", &statistics), KD_OK);
    const PropertyAccess capture = ListAccess(statistics).Property("CaptureTime_us");
    EXPECT_EQ(capture.type(), KD_TYPE_INT64);
    const int before = kdsim::Calls(KD_ORD_READ_INT64);
    EXPECT_EQ(capture.ReadInt64(), 0);
    EXPECT_EQ(kdsim::Calls(KD_ORD_READ_INT64) - before, 1);
    EXPECT_THROW(capture.ReadInt(), EInvalidValueType);
    EXPECT_THROW(device.TakeSetting()->camera.Property("Expose_us").ReadInt64(), EInvalidValueType);
}

TEST_F(AccessTest, LongTextsAreReadAfterTheBufferHasGrown)
{
    DeviceManagerSession session;
    const DeviceEntry& entry = First(session);
    const std::string long_text(3000, 'k');
    entry.UserData.WriteText(long_text);
    const int before = kdsim::Calls(KD_ORD_READ_TEXT);
    EXPECT_EQ(entry.UserData.ReadText(), long_text);
    EXPECT_EQ(kdsim::Calls(KD_ORD_READ_TEXT) - before, 5); // 256 ... 4096 bytes
    kdsim::AnswerTooSmall(12);
    EXPECT_EQ(entry.Product.ReadText(), "kdLyra-A1G");
    kdsim::AnswerTooSmall(13);
    const int calls = kdsim::Calls(KD_ORD_READ_TEXT);
    EXPECT_THROW(entry.Product.ReadText(), EInputBufferTooSmall); // stops at 1 MiB
    EXPECT_EQ(kdsim::Calls(KD_ORD_READ_TEXT) - calls, 13);
    kdsim::AnswerTooSmall(0);
}

TEST_F(AccessTest, CamerasConnectedLaterAreFound)
{
    DeviceManagerSession session;
    session.RefreshDeviceList();
    EXPECT_EQ(session.DeviceCount(), 2);
    const int32_t mode = KD_SEARCH_PRODUCT | KD_SEARCH_DEVICE_ID | KD_SEARCH_WILDCARD;
    EXPECT_EQ(session.DeviceByFamily(mode, "kdLyra*", 5, '*'), nullptr);
    kdsim::CameraConfig later;
    kdsim::Camera("kdLyra-B4G", 5, &later);
    kdsim::AddCamera(later);
    DeviceEntry* found = session.DeviceByFamily(mode, "kdLyra*", 5, '*');
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Serial.ReadText(), "KDL10005");
    EXPECT_EQ(session.DeviceCount(), 3);
    EXPECT_EQ(session.DeviceByFamily(mode, "kdLyra*", 1, '*'), &session.Device(1));
}

TEST_F(AccessTest, FailuresToStartNameWhatWasMissing)
{
    struct Case {
        KdOrdinal ordinal;
        int nth;
        const char* message;
    };
    const Case cases[] = {{KD_ORD_INITIALISE, 1, "DevMgrInit failed"},
                          {KD_ORD_OPEN_DEVICE, 1, "open device failed"},
                          {KD_ORD_FIND_LIST, 1, "Couldn't find settings"},
                          {KD_ORD_FIND_LIST, 3, "Couldn't find image request control list"},
                          {KD_ORD_FIND_LIST, 5, "Couldn't find 'Info' list"},
                          {KD_ORD_CREATE_SETTING, 1, "EPropertyList: List entry occupied already"}};
    for (const Case& c : cases) {
        kdsim::FailCall(c.ordinal, c.nth, KD_ERR_LIST_ENTRY_OCCUPIED);
        try {
            DeviceManagerSession session;
            DeviceAccess device(session, First(session));
            device.TakeSetting();
            ADD_FAILURE() << c.message;
        } catch (const TorvaneAcquireException& e) {
            EXPECT_STREQ(e.what(), c.message);
            EXPECT_EQ(e.code(), KD_ERR_LIST_ENTRY_OCCUPIED);
        }
    }
}

TEST_F(AccessTest, SessionClosesTheManagerOnceAtItsLastCopy)
{
    {
        DeviceManagerSession session;
        DeviceManagerSession copy = session;
        {
            DeviceManagerSession third = copy;
            First(third).Open();
        }
        EXPECT_EQ(kdsim::Count().users, 1);
        EXPECT_EQ(kdsim::Count().open_devices, 1);
    }
    EXPECT_EQ(kdsim::Calls(KD_ORD_INITIALISE), 1);
    EXPECT_EQ(kdsim::Calls(KD_ORD_CLOSE), 1);
}

TEST_F(AccessTest, SettingsAreReusedLastGivenBackFirst)
{
    DeviceManagerSession session;
    DeviceAccess device(session, First(session));
    DevicePropertyDictionary* taken[3] = {device.TakeSetting(), device.TakeSetting(),
                                          device.TakeSetting()};
    EXPECT_EQ(kdsim::Settings(0),
              (std::vector<std::string>{"Base", "VerodynSetting_0", "VerodynSetting_1",
                                        "VerodynSetting_2"}));
    EXPECT_EQ(taken[1]->paths.count("Camera/Aoi/W"), 1u);
    EXPECT_EQ(taken[1]->paths.size(), 18u);
    taken[1]->camera.Property("Expose_us").WriteInt(5000);
    EXPECT_TRUE(device.GiveSettingBack(taken[1]));
    EXPECT_TRUE(device.GiveSettingBack(taken[0]));
    EXPECT_FALSE(device.GiveSettingBack(nullptr));
    EXPECT_EQ(device.TakeSetting(), taken[0]);
    EXPECT_EQ(device.TakeSetting(), taken[1]);
    EXPECT_EQ(taken[1]->camera.Property("Expose_us").ReadInt(), 20000); // reset from "Base"
    EXPECT_EQ(kdsim::Settings(0).size(), 4u);
    EXPECT_EQ(device.dictionary().count("Info/Camera/SensorXRes"), 1u);
    EXPECT_EQ(device.dictionary().count("Statistics/CaptureTime_us"), 0u);
}

} // namespace
