#include <gtest/gtest.h>

#include <string>

#include "tests/support/scoped_setting.h"
#include <kddevmgr/simulation.h>

namespace {

using namespace std::chrono_literals;

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kdsim::UseClock(clock_);
        Start({Camera("kdLyra-A1G", 0), Camera("kdLyra-A2C", 1)});
    }

    void TearDown() override
    {
        if (driver_ > 0) {
            EXPECT_EQ(kdCloseDevice(device_, driver_), KD_OK);
        }
        EXPECT_EQ(kdClose(), KD_OK);
        EXPECT_EQ(kdsim::Count().users, 0);
        kdsim::UseSteadyClock();
    }

    static kdsim::CameraConfig Camera(const char* product, int32_t id)
    {
        kdsim::CameraConfig camera;
        EXPECT_TRUE(kdsim::Camera(product, id, &camera)) << product;
        return camera;
    }

    // A new manager with `cameras`, initialised, and camera 0 open.
    void Start(const std::vector<kdsim::CameraConfig>& cameras)
    {
        kdsim::Configure(cameras);
        HOBJ devices = 0;
        ASSERT_EQ(kdInitialise(&devices), KD_OK);
        ASSERT_EQ(kdGetDevice(KD_SEARCH_DEVICE_ID, nullptr, 0, '*', &device_), KD_OK);
        ASSERT_EQ(kdOpenDevice(device_, &driver_), KD_OK);
        ASSERT_EQ(kdFindList(driver_, KD_LIST_SETTINGS, nullptr, &settings_), KD_OK);
    }

    HOBJ Find(HOBJ list, const char* path)
    {
        std::string rest = path;
        for (size_t slash; (slash = rest.find('/')) != std::string::npos;) {
            EXPECT_EQ(kdFindComponent(list, rest.substr(0, slash).c_str(), KD_FIND_LISTS, &list),
                      KD_OK);
            rest.erase(0, slash + 1);
        }
        HOBJ found = KD_INVALID_HANDLE;
        EXPECT_EQ(kdFindComponent(list, rest.c_str(), KD_FIND_LISTS | KD_FIND_PROPERTIES, &found),
                  KD_OK)
            << path;
        return found;
    }

    int32_t Int(HOBJ property, int32_t index = 0)
    {
        int32_t value = 0;
        EXPECT_EQ(kdReadInt(property, &value, index), KD_OK);
        return value;
    }

    // The frame of the next finished request, which stays locked.
    KdImageBuffer Frame(int32_t* number)
    {
        *number = kdWaitForRequest(driver_, 1000);
        KdImageBuffer* object = nullptr;
        EXPECT_EQ(kdCreateImageBuffer(driver_, &object), KD_OK);
        EXPECT_EQ(kdGetImageBuffer(driver_, *number, object), KD_OK);
        const KdImageBuffer buffer = *object;
        EXPECT_EQ(kdFreeImageBuffer(object), KD_OK);
        return buffer;
    }

    static uint32_t Word(const KdImageBuffer& buffer, int at)
    {
        const auto* bytes = static_cast<const uint8_t*>(buffer.vpData) + at;
        return uint32_t(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24);
    }

    ondula::VirtualClock clock_;
    HDEV device_ = 0;
    HDRV driver_ = 0;
    HOBJ settings_ = 0;
};

TEST_F(ManagerTest, OrdinalsAndCamerasOfTheEnvironment)
{
    EXPECT_EQ(KD_ORD_GET_DEVICE, 6);
    EXPECT_EQ(KD_ORD_WAIT_FOR_REQUEST, 57);
    EXPECT_EQ(KD_ORD_FIND_COMPONENT, 136);
    kdCloseDevice(device_, driver_);
    driver_ = 0;
    kdClose();
    struct Case {
        const char* value; // null: unset
        int32_t result;
        std::vector<const char*> products;
    };
    const Case cases[] = {
        {nullptr, KD_OK, {"kdLyra-A1G", "kdLyra-A2C"}},
        {"kdLyra-B5C,kdLyra-A1G", KD_OK, {"kdLyra-B5C", "kdLyra-A1G"}},
        {"", KD_OK, {}},
        {"kdLyra-X9G", KD_OK, {}},
        {",kdLyra-B5C,,kdLyra-X9G,kdLyra-A1G,", KD_OK, {"kdLyra-B5C", "kdLyra-A1G"}}};
    ScopedVariable cameras("ONDULA_KDCAMERAS", nullptr);
    for (const Case& c : cases) {
        cameras.Set(c.value);
        kdsim::ConfigureFromEnvironment();
        HOBJ devices = 0;
        ASSERT_EQ(kdInitialise(&devices), c.result) << (c.value ? c.value : "unset");
        if (c.result != KD_OK)
            continue;
        int32_t count = -1;
        EXPECT_EQ(kdListCount(devices, &count), KD_OK);
        EXPECT_EQ(count, int32_t(c.products.size()));
        for (size_t i = 0; i < c.products.size(); ++i) {
            HDEV device = 0;
            EXPECT_EQ(kdGetDevice(KD_SEARCH_PRODUCT | KD_SEARCH_DEVICE_ID, c.products[i],
                                  int32_t(i), '*', &device),
                      KD_OK);
        }
        EXPECT_EQ(kdClose(), KD_OK);
    }
    cameras.Set(nullptr);
    Start({Camera("kdLyra-A1G", 0)});
}

TEST_F(ManagerTest, TheVariableIsReadAgainOnceEveryUserHasLeft)
{
    kdCloseDevice(device_, driver_);
    driver_ = 0;
    kdClose();
    const auto deviceZeroIs = [](const char* product) {
        HDEV device = 0;
        return kdGetDevice(KD_SEARCH_PRODUCT | KD_SEARCH_DEVICE_ID, product, 0, '*', &device) ==
               KD_OK;
    };
    ScopedVariable cameras("ONDULA_KDCAMERAS", "kdLyra-A1G,kdLyra-A2C");
    kdsim::ConfigureFromEnvironment();
    HOBJ devices = 0;
    ASSERT_EQ(kdInitialise(&devices), KD_OK);
    EXPECT_TRUE(deviceZeroIs("kdLyra-A1G"));
    // Changed while in use: the cameras stay until every user has left.
    cameras.Set("kdLyra-A2C,kdLyra-A1G");
    ASSERT_EQ(kdInitialise(&devices), KD_OK);
    EXPECT_TRUE(deviceZeroIs("kdLyra-A1G"));
    kdClose();
    kdClose();
    ASSERT_EQ(kdInitialise(&devices), KD_OK);
    EXPECT_TRUE(deviceZeroIs("kdLyra-A2C"));
    kdClose();
    // A configuration of its own is kept whatever the variable says.
    Start({Camera("kdLyra-A1G", 0)});
    kdCloseDevice(device_, driver_);
    driver_ = 0;
    kdClose();
    ASSERT_EQ(kdInitialise(&devices), KD_OK);
    EXPECT_TRUE(deviceZeroIs("kdLyra-A1G"));
}

TEST_F(ManagerTest, SearchMatchesThePatternAndTheDeviceId)
{
    struct Case {
        int32_t mode;
        const char* pattern;
        int32_t number;
        int32_t result;
    };
    const int32_t both = KD_SEARCH_PRODUCT | KD_SEARCH_DEVICE_ID | KD_SEARCH_WILDCARD;
    // Wildcards that each could take any part of the name, and no match at the end.
    const std::string stars = "kd" + std::string(60, '*') + "X";
    const Case cases[] = {{both, "kdLyra*", 1, KD_OK},
                          {both, "*2C", 1, KD_OK},
                          {both, "*", 1, KD_OK},
                          {both, "k**L*a-*C*", 1, KD_OK},
                          {both, "kd*A2", 1, KD_ERR_NO_SUCH_DEVICE},
                          {both, stars.c_str(), 1, KD_ERR_NO_SUCH_DEVICE},
                          {both, "kdLyra-A2C", 0, KD_ERR_NO_SUCH_DEVICE},
                          {both & ~KD_SEARCH_WILDCARD, "kdLyra*", 1, KD_ERR_NO_SUCH_DEVICE},
                          {KD_SEARCH_DEVICE_ID, "", 7, KD_ERR_NO_SUCH_DEVICE}};
    for (const Case& c : cases) {
        HDEV device = KD_INVALID_HANDLE;
        EXPECT_EQ(kdGetDevice(c.mode, c.pattern, c.number, '*', &device), c.result) << c.pattern;
    }
    HDRV driver = 0;
    EXPECT_EQ(kdOpenDevice(device_, &driver), KD_ERR_DEVICE_BUSY);
}

TEST_F(ManagerTest, WritesAreCheckedAgainstRightsKindsLimitsAndDictionaries)
{
    HOBJ info = 0;
    ASSERT_EQ(kdFindList(driver_, KD_LIST_INFO, "Info", &info), KD_OK);
    const HOBJ gain = Find(settings_, "Base/Camera/Gain_dB");
    const HOBJ binning = Find(settings_, "Base/Camera/BinningMode");
    const HOBJ expose = Find(settings_, "Base/Camera/Expose_us");
    EXPECT_EQ(kdWriteReal(gain, 32.5, 0), KD_ERR_VAL_TOO_LARGE);
    EXPECT_EQ(kdWriteReal(gain, -0.5, 0), KD_ERR_VAL_TOO_SMALL);
    EXPECT_EQ(kdWriteInt(gain, 3, 0), KD_ERR_INVALID_VALUE_TYPE);
    EXPECT_EQ(kdWriteReal(gain, 6.0, 1), KD_ERR_VAL_ID_OUT_OF_BOUNDS);
    EXPECT_EQ(kdWriteInt(Find(info, "Camera/SensorXRes"), 640, 0), KD_ERR_NO_WRITE_RIGHTS);
    EXPECT_EQ(kdWriteText(expose, "fast", 0), KD_ERR_INVALID_VALUE);
    EXPECT_EQ(kdWriteInt(binning, 0x33, 0), KD_ERR_INVALID_VALUE);
    EXPECT_EQ(kdWriteText(binning, "H2V4", 0), KD_OK);
    EXPECT_EQ(Int(binning), 0x42);
    int32_t has = -1;
    EXPECT_EQ(kdHasValue(Find(settings_, "Base/Camera/Offset_pc"), -2, &has), KD_OK);
    EXPECT_EQ(has, 0);
    char text[4];
    EXPECT_EQ(kdReadText(binning, text, sizeof text, 0), KD_ERR_INPUT_BUFFER_TOO_SMALL);
    kdsim::AnswerTooSmall(2);
    char wide[64];
    EXPECT_EQ(kdReadText(binning, wide, sizeof wide, 0), KD_ERR_INPUT_BUFFER_TOO_SMALL);
    EXPECT_EQ(kdReadText(binning, wide, sizeof wide, 0), KD_ERR_INPUT_BUFFER_TOO_SMALL);
    EXPECT_EQ(kdReadText(binning, wide, sizeof wide, 0), KD_OK);
    EXPECT_STREQ(wide, "H2V4");
    kdsim::FailCall(KD_ORD_WRITE_INT, 2, KD_ERR_UNSUPPORTED_OPERATION);
    EXPECT_EQ(kdWriteInt(expose, 100, 0), KD_OK);
    EXPECT_EQ(kdWriteInt(expose, 200, 0), KD_ERR_UNSUPPORTED_OPERATION);
    EXPECT_EQ(Int(expose), 100);
    EXPECT_EQ(kdsim::Calls(KD_ORD_WRITE_INT), 5);
    HOBJ statistics = 0;
    ASSERT_EQ(kdFindList(driver_, KD_LIST_STATISTICS, "Statistics", &statistics), KD_OK);
    int64_t stamp = -1;
    EXPECT_EQ(kdReadInt64(Find(statistics, "CaptureTime_us"), &stamp, 0), KD_OK);
    EXPECT_EQ(stamp, 0);
    EXPECT_EQ(kdReadInt(Find(statistics, "CaptureTime_us"), &has, 0), KD_ERR_INVALID_VALUE_TYPE);
}

TEST_F(ManagerTest, NewSettingsCloneTheirParentAndResetTakesBaseAgain)
{
    ASSERT_EQ(kdWriteInt(Find(settings_, "Base/Camera/Expose_us"), 1000, 0), KD_OK);
    ASSERT_EQ(kdCreateSetting(driver_, "S", "Base"), KD_OK);
    ASSERT_EQ(kdWriteInt(Find(settings_, "S/Camera/Expose_us"), 5000, 0), KD_OK);
    ASSERT_EQ(kdCreateSetting(driver_, "T", "S"), KD_OK);
    const HOBJ t = Find(settings_, "T/Camera/Expose_us");
    EXPECT_EQ(Int(t), 5000);
    EXPECT_EQ(kdResetList(Find(settings_, "T")), KD_OK);
    EXPECT_EQ(Int(t), 1000);
    EXPECT_EQ(kdCreateSetting(driver_, "S", "Base"), KD_ERR_LIST_ENTRY_OCCUPIED);
    EXPECT_EQ(kdCreateSetting(driver_, "U", "None"), KD_ERR_COMPONENT_ID_INVALID);
    EXPECT_EQ(kdResetList(Find(settings_, "T/Camera")), KD_ERR_UNSUPPORTED_OPERATION);
    EXPECT_EQ(kdsim::Settings(0), (std::vector<std::string>{"Base", "S", "T"}));
    EXPECT_EQ(kdCloseDevice(device_, driver_), KD_OK);
    EXPECT_EQ(kdCheckHandle(t, 2), KD_ERR_INVALID_LIST_ID);
    ASSERT_EQ(kdOpenDevice(device_, &driver_), KD_OK);
}

TEST_F(ManagerTest, ReopeningReusesTheSpaceOfClosedTreesAndRefusesTheirHandles)
{
    const HOBJ old_expose = Find(settings_, "Base/Camera/Expose_us");
    const HOBJ old_settings = settings_;
    const HDRV old_driver = driver_;
    ASSERT_EQ(kdCreateSetting(driver_, "S", "Base"), KD_OK);
    const int components = kdsim::Count().components;
    for (int open = 0; open < 50; ++open) {
        ASSERT_EQ(kdCloseDevice(device_, driver_), KD_OK);
        ASSERT_EQ(kdOpenDevice(device_, &driver_), KD_OK);
        ASSERT_EQ(kdFindList(driver_, KD_LIST_SETTINGS, nullptr, &settings_), KD_OK);
        ASSERT_EQ(kdCreateSetting(driver_, "S", "Base"), KD_OK);
    }
    EXPECT_EQ(kdsim::Count().components, components);

    const HOBJ expose = Find(settings_, "Base/Camera/Expose_us");
    EXPECT_NE(expose, old_expose);
    EXPECT_EQ(Int(expose), 20000);
    int32_t value = 0;
    HOBJ child = KD_INVALID_HANDLE;
    EXPECT_EQ(kdReadInt(old_expose, &value, 0), KD_ERR_INVALID_LIST_ID);
    EXPECT_EQ(kdWriteInt(old_expose, 1000, 0), KD_ERR_INVALID_LIST_ID);
    EXPECT_EQ(kdFirstChild(old_settings, &child), KD_ERR_INVALID_LIST_ID);
    EXPECT_EQ(kdCheckHandle(old_settings, 2), KD_ERR_INVALID_LIST_ID);
    EXPECT_EQ(kdFindList(old_driver, KD_LIST_SETTINGS, nullptr, &child), KD_ERR_INVALID_DRIVER);
    EXPECT_EQ(Int(expose), 20000);
}

TEST_F(ManagerTest, RequestsFinishAnExposureApartWithTheirSettingsFrame)
{
    HOBJ control = 0, entry = 0;
    ASSERT_EQ(kdFindList(driver_, KD_LIST_IMAGE_REQUEST_CONTROL, nullptr, &control), KD_OK);
    ASSERT_EQ(kdFirstChild(control, &entry), KD_OK);
    ASSERT_EQ(kdCreateSetting(driver_, "S", "Base"), KD_OK);
    ASSERT_EQ(kdWriteInt(Find(settings_, "S/Camera/Expose_us"), 10000, 0), KD_OK);
    ASSERT_EQ(kdWriteInt(Find(settings_, "S/Camera/Aoi/W"), 1275, 0), KD_OK);
    ASSERT_EQ(kdWriteInt(Find(settings_, "S/Camera/Aoi/X"), 5, 0), KD_OK);
    ASSERT_EQ(kdWriteInt(Find(entry, "Setting"), Find(settings_, "S"), 0), KD_OK);
    EXPECT_EQ(kdWriteInt(Find(entry, "Setting"), entry, 0), KD_ERR_INVALID_VALUE);
    const auto start = clock_.Now();
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(kdQueueRequest(driver_, 0), KD_OK);
    EXPECT_EQ(kdQueueRequest(driver_, 0), KD_ERR_NO_FREE_REQUEST);
    EXPECT_EQ(kdWaitForRequest(driver_, 6), KD_ERR_WAIT_TIMEOUT);
    EXPECT_EQ(clock_.Now() - start, 6ms);
    for (int32_t f = 0; f < 2; ++f) {
        int32_t number = -1;
        const KdImageBuffer frame = Frame(&number);
        EXPECT_EQ(number, f);
        EXPECT_EQ(clock_.Now() - start, 10ms * (f + 1));
        EXPECT_EQ(frame.iWidth, 1275);
        EXPECT_EQ(frame.iHeight, 1024);
        EXPECT_EQ(frame.iSize, 1275 * 1024);
        EXPECT_EQ(Word(frame, 0), uint32_t(f));
        EXPECT_EQ(Word(frame, 4), 1u);
        // Pixel (20, 3) of the part is (25, 3) on the sensor: 25 + 9 + 7 f + 100.
        EXPECT_EQ(static_cast<const uint8_t*>(frame.vpData)[3 * 1275 + 20], 134 + 7 * f);
    }
    EXPECT_EQ(kdsim::Count().locked, 2);
    EXPECT_EQ(kdsim::Count().queued, 2);
    HOBJ system = 0;
    ASSERT_EQ(kdFindList(driver_, KD_LIST_SYSTEM, "System", &system), KD_OK);
    EXPECT_EQ(kdWriteInt(Find(system, "RequestCount"), 2, 0), KD_ERR_LIST_ENTRY_OCCUPIED);
    EXPECT_EQ(kdResetRequestQueue(driver_, 0), KD_OK);
    EXPECT_EQ(kdUnlockRequest(driver_, 0), KD_OK);
    EXPECT_EQ(kdUnlockRequest(driver_, 0), KD_ERR_REQUEST_STATE);
    EXPECT_EQ(kdUnlockRequest(driver_, 1), KD_OK);
    EXPECT_EQ(kdWriteInt(Find(system, "RequestCount"), 2, 0), KD_OK);
    EXPECT_EQ(kdsim::Requests(0), 2);

    kdsim::StallRequest(0, 1);
    ASSERT_EQ(kdQueueRequest(driver_, 0), KD_OK);
    EXPECT_EQ(kdWaitForRequest(driver_, 500), KD_ERR_WAIT_TIMEOUT);
    ASSERT_EQ(kdResetRequestQueue(driver_, 0), KD_OK);
    ASSERT_EQ(kdQueueRequest(driver_, 0), KD_OK);
    int32_t number = -1;
    EXPECT_EQ(Word(Frame(&number), 0), 2u);
    EXPECT_EQ(kdUnlockRequest(driver_, number), KD_OK);
    EXPECT_EQ(kdsim::Count().buffer_objects, 0);
}

TEST_F(ManagerTest, FramesAreCutFromTheBinnedSensor)
{
    const HOBJ aoi_w = Find(settings_, "Base/Camera/Aoi/W");
    ASSERT_EQ(kdWriteInt(Find(settings_, "Base/Camera/BinningMode"), 0x22, 0), KD_OK);
    for (const int32_t width : {1280, 640}) {
        ASSERT_EQ(kdWriteInt(aoi_w, width, 0), KD_OK);
        ASSERT_EQ(kdWriteInt(Find(settings_, "Base/Camera/Aoi/H"), 512, 0), KD_OK);
        ASSERT_EQ(kdQueueRequest(driver_, 0), KD_OK);
        const int32_t number = kdWaitForRequest(driver_, 100);
        int32_t result = -1;
        EXPECT_EQ(kdGetRequestResult(driver_, number, &result), KD_OK);
        EXPECT_EQ(result, width == 1280 ? KD_REQUEST_AOI_OUTSIDE : KD_REQUEST_OK);
        if (result == KD_REQUEST_OK) {
            KdImageBuffer* frame = nullptr;
            ASSERT_EQ(kdCreateImageBuffer(driver_, &frame), KD_OK);
            ASSERT_EQ(kdGetImageBuffer(driver_, number, frame), KD_OK);
            EXPECT_EQ(frame->iSize, 640 * 512);
            // Pixel (9, 2) of the first frame: 9 + 6 + 20000 / 100.
            EXPECT_EQ(static_cast<const uint8_t*>(frame->vpData)[2 * 640 + 9], 215);
            EXPECT_EQ(kdFreeImageBuffer(frame), KD_OK);
        }
        EXPECT_EQ(kdUnlockRequest(driver_, number), KD_OK);
    }
}

TEST_F(ManagerTest, ExposureTimesGainBeyondTheHeldRangeScalesThePictureClippedAt255)
{
    struct Case {
        int32_t expose_us;
        double gain_db;
        uint8_t at_0, at_40; // row 1 of the first frame: b = x + 3 + e / 100
    };
    const Case cases[] = {{20000, 0.0, 203, 243}, {5000, 0.0, 53, 93}, {200000, 0.0, 211, 251},
                          {2500, 0.0, 14, 34},    {2500, 6.0, 27, 67}, {0, 0.0, 0, 0},
                          {100000, 12.0, 255, 37}};
    for (const Case& c : cases) {
        Start({Camera("kdLyra-A1G", 0)});
        ASSERT_EQ(kdWriteInt(Find(settings_, "Base/Camera/Expose_us"), c.expose_us, 0), KD_OK);
        ASSERT_EQ(kdWriteReal(Find(settings_, "Base/Camera/Gain_dB"), c.gain_db, 0), KD_OK);
        ASSERT_EQ(kdQueueRequest(driver_, 0), KD_OK);
        int32_t number = -1;
        const auto* row = static_cast<const uint8_t*>(Frame(&number).vpData) + 1280;
        EXPECT_EQ(row[0], c.at_0) << c.expose_us << " us, " << c.gain_db << " dB";
        EXPECT_EQ(row[40], c.at_40) << c.expose_us << " us, " << c.gain_db << " dB";
        EXPECT_EQ(kdUnlockRequest(driver_, number), KD_OK);
    }
    // Colour: each of R, G, B scaled, the alpha byte kept.
    Start({Camera("kdLyra-A2C", 0)});
    ASSERT_EQ(kdWriteInt(Find(settings_, "Base/Camera/Expose_us"), 2500, 0), KD_OK);
    ASSERT_EQ(kdQueueRequest(driver_, 0), KD_OK);
    int32_t number = -1;
    const auto* pixel = static_cast<const uint8_t*>(Frame(&number).vpData) + 640 * 4;
    EXPECT_EQ(std::vector<int>(pixel, pixel + 4), (std::vector<int>{99, 56, 14, 255}));
    EXPECT_EQ(kdUnlockRequest(driver_, number), KD_OK);
}

} // namespace
