// The bench camera loaded by the host in place of the kdLyra cameras and
// opened as the workbench opens them: its frames follow the instruments of
// the rig and the projector's pattern.
#include <algorithm>
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "metrology/instruments/serial_port.h"
#include "tests/support/host_plugin_checks.h"
#include <fgint/fghelpers.h>
#include <optical_bench/rig.h>
#include <optical_bench/scene.h>
#include <verodyn/verodyn.h>

namespace {

constexpr int kWidth = 160, kHeight = 120;

class BenchCameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_check("~give_error");
        OpenCamera(&handle);
        ASSERT_EQ(set_framegrabber_param(handle, "ImageHeight", VTuple(kHeight)), V_OK);
        ASSERT_EQ(set_framegrabber_param(handle, "ImageWidth", VTuple(kWidth)), V_OK);
    }

    void TearDown() override
    {
        EXPECT_EQ(close_framegrabber(handle), V_OK);
        ExpectAllClosedAndFreed();
        set_check("give_error");
    }

    static void OpenCamera(long* camera)
    {
        ASSERT_EQ(open_framegrabber("KandrisAcquire", 1, 1, 0, 0, 0, 0, "default", -1, "default",
                                    15.0, "false", "kdLyra*", "0", 0, -1, camera),
                  V_OK);
    }

    std::vector<std::uint8_t> Grab() const { return GrabBytePlane(handle, kWidth, kHeight); }

    static std::vector<std::uint8_t> Expected(const optical_bench::Interferometer& optics)
    {
        std::vector<std::uint8_t> plane(std::size_t(kWidth) * kHeight);
        optics.Render(plane.data());
        return plane;
    }

    optical_bench::Rig rig{{.cameraFolder = BENCH_CAMERA_DIR}};
    long handle = 0;
};

TEST_F(BenchCameraTest, FramesFollowTheInstruments)
{
    ondula::VirtualClock clock;
    instruments::CSerialPort com1(0, 0, clock,
                                  [](const std::string& text) { ADD_FAILURE() << text; });
    struct Case {
        const char* what;
        std::function<void()> act;
        double volts;
        int counts, steps;
    };
    const Case cases[] = {
        {"at rest", [] {}, 0, 0, 0},
        {"set-point 409", [&] { com1.SendSetpoint(409); }, 409 * 500 / 1023.0, 0, 0},
        {"stage at 0.25 mm", [&] { rig.Card().SetPosition(1, 30000); }, 409 * 500 / 1023.0, 30000,
         0},
        {"two steps",
         [&] {
             for (int value : {1, 0, 1, 0})
                 rig.Stepper().Out(0, 8, value);
         },
         409 * 500 / 1023.0, 30000, 2},
    };
    for (const Case& c : cases) {
        c.act();
        // The supply's thread takes the set-point in real time.
        for (int wait = 0; wait < 5000 && std::abs(rig.SupplyVolts() - c.volts) > 1e-6; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_NEAR(rig.SupplyVolts(), c.volts, 1e-6) << c.what;
        const double shift = optical_bench::PiezoFringes(rig.SupplyVolts()) +
                             optical_bench::StageFringes(c.counts / 120000.0) +
                             optical_bench::StepperFringes(c.steps);
        EXPECT_EQ(Grab(), Expected({kWidth, kHeight, [shift] { return shift; }})) << c.what;
    }
}

TEST_F(BenchCameraTest, ThePatternOfTheCamerasSizeIsSeenDisplacedByTheSurface)
{
    std::vector<std::uint8_t> pattern(std::size_t(kWidth) * kHeight);
    for (std::size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = std::uint8_t(i % kWidth % 20 * 12);
    optical_bench::Interferometer projected(kWidth, kHeight, [] { return 0.0; });
    projected.Project(pattern.data(), 20);
    optical_bench::ShowPattern(pattern.data(), kWidth, kHeight, 20);
    EXPECT_EQ(Grab(), Expected(projected));
    optical_bench::ShowPattern(pattern.data(), kWidth / 2, kHeight / 2, 20);
    EXPECT_EQ(Grab(), Expected({kWidth, kHeight, [] { return 0.0; }}));
    optical_bench::HidePattern();
}

TEST(InterferometerTest, AOneColumnCameraSeesThePatternAsItIs)
{
    const std::uint8_t pattern[] = {7, 9, 11};
    optical_bench::Interferometer projected(1, 3, [] { return 0.0; });
    projected.Project(pattern, 20);
    std::uint8_t seen[3] = {};
    projected.Render(seen);
    EXPECT_TRUE(std::equal(seen, seen + 3, pattern));
}

// Processor time of this process, in seconds.
double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

TEST_F(BenchCameraTest, TheSupplyRestsWhileItWaitsForItsNextClient)
{
    const int port = ::open(rig.SupplyPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(port, 0);
    ::close(port);
    const double before = ProcessorSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(ProcessorSeconds() - before, 0.05);
}

TEST_F(BenchCameraTest, ParametersAndInfo)
{
    struct Case {
        const char* name;
        VTuple value;
        Vstatus status;
    };
    const Case cases[] = {
        {"ImageWidth", VTuple(0), 5326},      {"ImageWidth", VTuple(4097), 5326},
        {"ImageHeight", VTuple(240.0), 5325}, {"Camera/Expose_us", VTuple(20000), 5321},
        {"ImageWidth", VTuple(4096), V_OK},   {"ImageHeight", VTuple(1), V_OK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(set_framegrabber_param(handle, c.name, c.value), c.status) << c.name;
    VTuple width, height;
    ASSERT_EQ(get_framegrabber_param(handle, "ImageWidth", &width), V_OK);
    ASSERT_EQ(get_framegrabber_param(handle, "ImageHeight", &height), V_OK);
    EXPECT_EQ(width, VTuple(4096));
    EXPECT_EQ(height, VTuple(1));
    std::string text;
    VTuple boards;
    ASSERT_EQ(info_framegrabber("KandrisAcquire", "info_boards", &text, &boards), V_OK);
    EXPECT_EQ(boards, VTuple("optical bench camera"));
}

TEST_F(BenchCameraTest, TwoHandlesOnTwoThreads)
{
    long other = 0;
    OpenCamera(&other);
    // Each round waits for a frame of 40 ms: 340 rounds make over a thousand calls.
    ExpectCallsOnTwoThreads({handle, "ImageWidth", "ImageHeight", VTuple(kHeight)},
                            {other, "ImageHeight", "ImageWidth", VTuple(kWidth)}, 340);
}

// A copy of the plug-in of its own, apart from the host's, driven as the host
// drives it.
TEST(BenchCameraRecords, EachRecordHandedOutOnceUntilItsOpenFailsOrItCloses)
{
    const std::filesystem::path copy =
        std::filesystem::path(::testing::TempDir()) / "bench_camera_records.so";
    std::filesystem::copy_file(BENCH_CAMERA_DIR "/VFGKandrisAcquire.so", copy,
                               std::filesystem::copy_options::overwrite_existing);
    const std::unique_ptr<void, int (*)(void*)> library(dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL),
                                                        dlclose);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto init =
        reinterpret_cast<FGstatus (*)(Vproc_handle, FGClass*)>(dlsym(library.get(), "FGInit"));
    FGClass cls{};
    ASSERT_EQ(init(1, &cls), FG_SUCCESS);
    const auto request = [](int32_t bits) {
        FGInstance inst{};
        fg_copy_text(inst.color_space, sizeof inst.color_space, "default");
        inst.bits_per_channel = bits;
        return inst;
    };
    FGInstance first = request(8), second = request(16), third = request(8);
    EXPECT_EQ(cls.FGAllocInstance(1, &first), &cls.instance[0]);
    EXPECT_EQ(cls.FGAllocInstance(1, &second), &cls.instance[1]);
    ASSERT_EQ(cls.FGOpen(1, &first), FG_SUCCESS);
    EXPECT_EQ(cls.FGOpen(1, &second), FG_ERR_BITS_PER_CHANNEL);
    EXPECT_EQ(cls.FGAllocInstance(1, &third), &cls.instance[1]);
    EXPECT_EQ(cls.FGClose(1, &first), FG_SUCCESS);
    EXPECT_EQ(cls.FGAllocInstance(1, &first), &cls.instance[0]);
}

} // namespace
