#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/support/scoped_setting.h"
#include "text_value.h"
#include <registry/registry.h>

namespace registry {
namespace {

std::filesystem::path TempDir()
{
    auto dir = std::filesystem::temp_directory_path() /
               ("ondula-registry-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    return dir;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

HKEY Create(Registry& reg, std::string_view path)
{
    HKEY key = 0;
    EXPECT_EQ(reg.CreateKey(kLocalMachine, path, kKeyAllAccess, &key), win32::kSuccess);
    return key;
}

std::vector<std::string> Subkeys(Registry& reg, HKEY key)
{
    std::vector<std::string> names;
    char name[64];
    for (uint32_t i = 0, chars = sizeof name; reg.EnumKey(key, i, name, &chars) == win32::kSuccess;
         ++i, chars = sizeof name)
        names.push_back(name);
    return names;
}

uint32_t Dword(Registry& reg, std::string_view path, std::string_view name)
{
    HKEY key = 0;
    uint32_t value = 0;
    EXPECT_EQ(reg.OpenKey(kLocalMachine, path, kKeyRead, &key), win32::kSuccess);
    EXPECT_EQ(reg.QueryDword(key, name, &value), win32::kSuccess);
    return value;
}

// Another store changes the file between this store's load and its flush: a
// second store of this process, or a store of another process.
TEST(RegistryFileTest, FlushMergesWhatOtherStoresWroteMeanwhile)
{
    for (bool otherProcess : {false, true}) {
        SCOPED_TRACE(otherProcess ? "other process" : "same process");
        auto dir = TempDir();
        auto path = dir / "registry";
        {
            auto seed = Registry::FromFile(path);
            Create(*seed, "Devices\\old");
            ASSERT_EQ(seed->Flush(Create(*seed, "Devices\\gone")), win32::kSuccess);
        }
        auto mine = Registry::FromFile(path);
        const HKEY devices = Create(*mine, "Devices");
        auto theirs = [&] {
            auto other = Registry::FromFile(path);
            other->SetDword(Create(*other, "Devices\\b"), "Port", 2);
            other->SetDword(Create(*other, "Devices"), "Last", 1);
            return other->Flush(Create(*other, "Devices\\old\\sub")) == win32::kSuccess;
        };
        if (otherProcess) {
            const pid_t child = ::fork();
            if (child == 0)
                ::_exit(theirs() ? 0 : 1);
            int status = -1;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_EQ(status, 0);
        } else {
            ASSERT_TRUE(theirs());
        }
        mine->SetDword(Create(*mine, "Devices\\a"), "Port", 3);
        mine->SetDword(devices, "Last", 2);
        ASSERT_EQ(mine->DeleteKey(devices, "gone"), win32::kSuccess);
        ASSERT_EQ(mine->DeleteKey(devices, "old"), win32::kSuccess);
        ASSERT_EQ(mine->Flush(devices), win32::kSuccess);

        // "old" gained a subkey in the file, so it is kept; the open handle sees the merge.
        const std::vector<std::string> merged = {"a", "b", "old"};
        EXPECT_EQ(Subkeys(*mine, devices), merged);
        auto reread = Registry::FromFile(path);
        EXPECT_EQ(Subkeys(*reread, Create(*reread, "Devices")), merged);
        EXPECT_EQ(Dword(*reread, "Devices\\a", "Port"), 3u);
        EXPECT_EQ(Dword(*reread, "Devices\\b", "Port"), 2u);
        EXPECT_EQ(Dword(*reread, "Devices", "Last"), 2u);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
        std::filesystem::remove_all(dir);
    }
}

TEST(RegistryFileTest, SurvivesARestartWithEveryValueKind)
{
    auto dir = TempDir();
    auto path = dir / "conf" / "registry";
    {
        auto reg = Registry::FromFile(path);
        HKEY key = 0;
        ASSERT_EQ(reg->CreateKey(kLocalMachine, "System\\Services\\Quenlo\\Parameters\\lpt",
                                 kKeyAllAccess, &key),
                  win32::kSuccess);
        reg->SetDword(key, "PortBase", 0x378);
        reg->SetString(key, "Say \"hi\"\\", ValueType::Sz, "line\none");
        reg->SetString(key, "Path", ValueType::ExpandSz, "%SystemRoot%\\x.dll;b");
        const uint8_t raw[] = {0, 1, 0xFE};
        reg->SetValue(key, "", ValueType::Binary, raw, 3);
        ASSERT_EQ(reg->Flush(key), win32::kSuccess);
    }
    EXPECT_EQ(ReadFile(path),
              "; Ondula registry\n[HKEY_CLASSES_ROOT]\n[HKEY_CURRENT_USER]\n"
              "[HKEY_LOCAL_MACHINE\\System\\Services\\Quenlo\\Parameters\\lpt]\n"
              "@=hex(3):00,01,fe\n\"Path\"=expand:\"%SystemRoot%\\\\x.dll;b\"\n\"PortBase\"=dword:"
              "00000378\n"
              "\"Say \\\"hi\\\"\\\\\"=sz:\"line\\none\"\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path.parent_path()), {}), 1);

    auto reg = Registry::FromFile(path);
    HKEY key = 0;
    ASSERT_EQ(
        reg->OpenKey(kLocalMachine, "system\\services\\quenlo\\parameters\\LPT", kKeyRead, &key),
        win32::kSuccess);
    uint32_t base = 0;
    EXPECT_EQ(reg->QueryDword(key, "PortBase", &base), win32::kSuccess);
    EXPECT_EQ(base, 0x378u);
    EXPECT_TRUE(HasTextValue(*reg, key, "say \"HI\"\\", ValueType::Sz, "line\none"));
    char bytes[32];
    uint32_t size = sizeof bytes;
    ValueType type{};
    EXPECT_EQ(reg->QueryValue(key, "", &type, bytes, &size), win32::kSuccess);
    EXPECT_EQ(type, ValueType::Binary);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::string(bytes, 3), std::string("\x00\x01\xFE", 3));
    std::filesystem::remove_all(dir);
}

TEST(RegistryFileTest, DestructionSavesUnflushedChangesAndBadLinesAreSkipped)
{
    auto dir = TempDir();
    std::filesystem::create_directories(dir);
    auto path = dir / "registry";
    std::ofstream(path) << "[HKEY_LOCAL_MACHINE\\A]\n\"Good\"=dword:00000007\n\"Bad\"=dword:zz\n"
                           "garbage\n[NOWHERE\\B]\n\"Lost\"=dword:00000001\n";
    {
        auto reg = Registry::FromFile(path);
        HKEY key = 0;
        ASSERT_EQ(reg->OpenKey(kLocalMachine, "A", kKeyAllAccess, &key), win32::kSuccess);
        uint32_t value = 0;
        EXPECT_EQ(reg->QueryDword(key, "Good", &value), win32::kSuccess);
        EXPECT_EQ(value, 7u);
        EXPECT_EQ(reg->QueryDword(key, "Bad", &value), win32::kFileNotFound);
        reg->SetDword(key, "Later", 9);
    }
    EXPECT_EQ(Dword(*Registry::FromFile(path), "a", "later"), 9u);
    std::filesystem::remove_all(dir);
}

// Keys or values whose names differ only by the case of letters outside ASCII
// were apart in files of earlier versions: they load as one, in the order of
// the file, the later value of one name replacing the earlier.
TEST(RegistryFileTest, NamesDifferingByTheCaseOfAccentedLettersLoadAsOne)
{
    auto dir = TempDir();
    std::filesystem::create_directories(dir);
    const auto path = dir / "registry";
    std::ofstream(path) << "[HKEY_LOCAL_MACHINE\\Paramètres]\n\"Port\"=dword:00000001\n"
                           "\"Été\"=dword:00000002\n[HKEY_LOCAL_MACHINE\\PARAMÈTRES]\n"
                           "\"Port\"=dword:00000003\n\"ÉTÉ\"=dword:00000004\n";
    {
        auto reg = Registry::FromFile(path);
        EXPECT_EQ(Subkeys(*reg, kLocalMachine), std::vector<std::string>{"Paramètres"});
        EXPECT_EQ(Dword(*reg, "paramètres", "PORT"), 3u);
        EXPECT_EQ(Dword(*reg, "paramètres", "été"), 4u);
        Create(*reg, "Paramètres\\Sub");
    }
    EXPECT_EQ(ReadFile(path), "; Ondula registry\n[HKEY_CLASSES_ROOT]\n[HKEY_CURRENT_USER]\n"
                              "[HKEY_LOCAL_MACHINE\\Paramètres]\n\"Port\"=dword:00000003\n"
                              "\"ÉTÉ\"=dword:00000004\n[HKEY_LOCAL_MACHINE\\Paramètres\\Sub]\n");
    std::filesystem::remove_all(dir);
}

std::string DeepPath(size_t levels, const std::string& name = "k")
{
    std::string path = "HKEY_LOCAL_MACHINE";
    for (size_t i = 0; i < levels; ++i)
        path += "\\" + name;
    return path;
}

std::set<std::string> Names(const std::filesystem::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(RegistryFileTest, KeysPastTheDepthOrNameLimitAreRefusedByFileAndLine)
{
    struct Case {
        std::string key;
        bool kept;
        std::string report;
    };
    const std::string name255(255, 'n'), name256(256, 'n');
    const Case cases[] = {
        {DeepPath(512), true, ""},
        {DeepPath(513), false, ":2: key deeper than 512 levels: key ignored\n"},
        {DeepPath(200000), false, ":2: key deeper than 512 levels: key ignored\n"},
        {DeepPath(2, name255), true, ""},
        {DeepPath(2, name256), false, ":2: key name longer than 255 characters: key ignored\n"},
    };
    auto dir = TempDir();
    std::filesystem::create_directories(dir);
    const auto path = dir / "registry";
    for (const Case& c : cases) {
        std::ofstream(path) << "; Ondula registry\n[" << c.key << "]\n\"v\"=dword:00000001\n";
        testing::internal::CaptureStderr();
        auto reg = Registry::FromFile(path);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  c.report.empty() ? "" : path.string() + c.report);
        HKEY key = 0;
        EXPECT_EQ(reg->OpenKey(kLocalMachine, "k", kKeyRead, &key) == win32::kSuccess ||
                      reg->OpenKey(kLocalMachine, name255, kKeyRead, &key) == win32::kSuccess,
                  c.kept);
    }
    std::filesystem::remove_all(dir);
}

TEST(RegistryFileTest, SavingWritesEachKeyPathOnceAtMost)
{
    auto dir = TempDir();
    std::filesystem::create_directories(dir);
    const auto path = dir / "registry";
    const std::string text = "; Ondula registry\n[HKEY_CLASSES_ROOT]\n[HKEY_CURRENT_USER]\n[" +
                             DeepPath(512) + "]\n\"v\"=dword:00000001\n";
    std::ofstream(path) << text;
    {
        auto reg = Registry::FromFile(path);
        HKEY key = 0;
        ASSERT_EQ(reg->CreateKey(kCurrentUser, "x", kKeyAllAccess, &key), win32::kSuccess);
        ASSERT_EQ(reg->SetDword(key, "n", 1), win32::kSuccess);
        ASSERT_EQ(reg->Flush(key), win32::kSuccess);
    }
    EXPECT_EQ(ReadFile(path), "; Ondula registry\n[HKEY_CLASSES_ROOT]\n[HKEY_CURRENT_USER\\x]\n"
                              "\"n\"=dword:00000001\n[" +
                                  DeepPath(512) + "]\n\"v\"=dword:00000001\n");
    std::filesystem::remove_all(dir);
}

TEST(RegistryFileTest, SavingGoesThroughLinksAndRefusesWhatIsNoRegularFile)
{
    auto dir = TempDir();
    std::filesystem::create_directories(dir / "data");
    std::filesystem::create_directories(dir / "links");
    std::ofstream(dir / "data" / "registry") << "[HKEY_LOCAL_MACHINE\\Old]\n";
    std::filesystem::create_symlink("../data/registry", dir / "links" / "registry");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    {
        auto reg = Registry::FromFile(dir / "links" / "registry");
        Create(*reg, "New");
        EXPECT_EQ(reg->Flush(kLocalMachine), win32::kSuccess);
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "links" / "registry"));
    EXPECT_EQ(ReadFile(dir / "data" / "registry"),
              "; Ondula registry\n[HKEY_CLASSES_ROOT]\n[HKEY_CURRENT_USER]\n"
              "[HKEY_LOCAL_MACHINE\\New]\n[HKEY_LOCAL_MACHINE\\Old]\n");
    EXPECT_EQ(Names(dir / "links"), std::set<std::string>{"registry"});
    EXPECT_EQ(Names(dir / "data"), std::set<std::string>{"registry"});

    testing::internal::CaptureStderr();
    auto reg = Registry::FromFile(dir / "pipe");
    Create(*reg, "New");
    EXPECT_EQ(reg->Flush(kLocalMachine), win32::kRegistryIoFailed);
    const std::string report = "registry: " + (dir / "pipe").string() + ": not a regular file\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), report + report);
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe"));
    std::filesystem::remove_all(dir);
}

TEST(RegistryFileTest, AWriterKilledWhileSavingLeavesNoTemporaryFileOnceSavedAgain)
{
    auto dir = TempDir();
    std::filesystem::create_directories(dir);
    const auto path = dir / "registry";
    std::ofstream(path) << "; Ondula registry\n";
    for (int kill = 0; kill < 20; ++kill) {
        const pid_t child = ::fork();
        if (child == 0) {
            auto reg = Registry::FromFile(path);
            const std::string big(100000, 'b');
            for (uint32_t i = 0;; ++i) {
                HKEY key = Create(*reg, "Key" + std::to_string(i % 8));
                reg->SetString(key, "Text", ValueType::Sz, big);
                reg->Flush(key);
            }
        }
        ::usleep(useconds_t(2000 + 1500 * kill));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        auto survivor = Registry::FromFile(path);
        EXPECT_EQ(survivor->Flush(Create(*survivor, "After" + std::to_string(kill))),
                  win32::kSuccess)
            << "kill " << kill;
        EXPECT_EQ(Names(dir), std::set<std::string>{"registry"}) << "kill " << kill;
    }
    std::filesystem::remove_all(dir);
}

// A clock on which waits pass at once, and on which another descriptor of the
// file holds its lock until the time `release` has come.
class LockHoldingClock final : public ondula::Clock {
public:
    LockHoldingClock(const std::filesystem::path& path, Duration release)
        : fd_(::open(path.c_str(), O_RDWR)), release_(release)
    {
        EXPECT_EQ(::flock(fd_, LOCK_EX), 0);
    }
    ~LockHoldingClock() override { ::close(fd_); }
    Duration Now() const override { return now_; }
    void SleepFor(Duration d) override
    {
        if ((now_ += d) >= release_)
            Release();
    }
    void Release() { ::flock(fd_, LOCK_UN); }

private:
    int fd_;
    Duration release_;
    Duration now_{};
};

TEST(RegistryFileTest, SavingWaitsForAHeldLockABoundedTimeAndKeepsItsChanges)
{
    using std::chrono::milliseconds;
    const struct {
        milliseconds release;
        Status saved;
    } cases[] = {
        {milliseconds(0), win32::kSuccess},
        {kSaveLockWait, win32::kSuccess},
        {kSaveLockWait + milliseconds(1), win32::kRegistryIoFailed},
    };
    auto dir = TempDir();
    std::filesystem::create_directories(dir);
    const auto path = dir / "registry";
    for (const auto& c : cases) {
        std::ofstream(path) << "; Ondula registry\n";
        LockHoldingClock clock(path, c.release);
        auto reg = Registry::FromFile(path, clock);
        const HKEY key = Create(*reg, "Devices");
        ASSERT_EQ(reg->SetDword(key, "Port", 0x378), win32::kSuccess);
        testing::internal::CaptureStderr();
        EXPECT_EQ(reg->Flush(key), c.saved) << c.release.count();
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  c.saved ? "registry: " + path.string() + ": still locked after 5 s\n" : "");
        clock.Release();
        EXPECT_EQ(reg->Flush(key), win32::kSuccess);
        EXPECT_EQ(Dword(*Registry::FromFile(path), "Devices", "Port"), 0x378u);
    }
    std::filesystem::remove_all(dir);
}

TEST(RegistryFileTest, DefaultPathFollowsTheConfigurationFolder)
{
    ScopedVariable registryPath("ONDULA_REGISTRY", nullptr);
    ScopedVariable configHome("XDG_CONFIG_HOME", "/tmp/xdg");
    const ScopedVariable home("HOME", "/home/u");
    EXPECT_EQ(DefaultRegistryPath(), "/tmp/xdg/ondula/registry");
    configHome.Set(nullptr);
    EXPECT_EQ(DefaultRegistryPath(), "/home/u/.config/ondula/registry");
    registryPath.Set("/x/reg");
    EXPECT_EQ(DefaultRegistryPath(), "/x/reg");
}

} // namespace
} // namespace registry
