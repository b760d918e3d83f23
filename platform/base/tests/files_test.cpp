#include <base/files.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("ondula_base_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Path(const std::string& name) const { return (folder / name).string(); }
    static std::string Content(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }
    static bool Write(const std::string& path, const std::string& text, std::string* error)
    {
        return ondula::write_file_atomically(
            path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, error);
    }

    fs::path folder;
};

TEST_F(Files, WritingFollowsLinksToTheFileTheyName)
{
    std::ofstream(Path("target")) << "old";
    fs::create_symlink("target", Path("link"));
    fs::create_symlink("link", Path("chain"));
    fs::create_symlink("missing", Path("dangling"));
    std::string error;
    ASSERT_TRUE(Write(Path("chain"), "new", &error)) << error;
    ASSERT_TRUE(Write(Path("dangling"), "made", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(Path("link")));
    EXPECT_TRUE(fs::is_symlink(Path("chain")));
    EXPECT_TRUE(fs::is_symlink(Path("dangling")));
    EXPECT_EQ(Content(Path("target")), "new");
    EXPECT_EQ(Content(Path("missing")), "made");
    EXPECT_EQ(Names(), (std::set<std::string>{"target", "link", "chain", "dangling", "missing"}));
}

TEST_F(Files, OnlyRegularFilesAreReadOrReplaced)
{
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0);
    fs::create_directory(Path("folder"));
    fs::create_symlink("pipe", Path("to_pipe"));
    for (const char* name : {"pipe", "folder", "to_pipe"}) {
        std::string error, bytes;
        EXPECT_FALSE(ondula::read_regular_file(Path(name), 64, &bytes, &error)) << name;
        EXPECT_FALSE(Write(Path(name), "x", &error)) << name;
        const std::string named = std::string(name) == "to_pipe" ? Path("pipe") : Path(name);
        EXPECT_EQ(error, named + ": not a regular file");
    }
    EXPECT_TRUE(fs::is_fifo(Path("pipe")));
    EXPECT_TRUE(fs::is_directory(Path("folder")));
    EXPECT_EQ(Names(), (std::set<std::string>{"pipe", "folder", "to_pipe"}));
}

TEST_F(Files, ReadingStopsAtTheLimit)
{
    std::ofstream(Path("file")) << "0123456789";
    std::string error, bytes;
    ASSERT_TRUE(ondula::read_regular_file(Path("file"), 4, &bytes, &error));
    EXPECT_EQ(bytes, "0123");
    ASSERT_TRUE(ondula::read_regular_file(Path("file"), 64, &bytes, &error));
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_FALSE(ondula::read_regular_file(Path("none"), 64, &bytes, &error));
    EXPECT_EQ(error, Path("none") + ": No such file or directory");
}

TEST_F(Files, AFailedWriteLeavesTheFileAndNoTemporary)
{
    std::ofstream(Path("file")) << "kept";
    ::chmod(Path("file").c_str(), 0640);
    std::string error;
    ASSERT_TRUE(Write(Path("file"), "replaced", &error));
    EXPECT_EQ(fs::status(Path("file")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(Write(Path("no/such/file"), "x", &error));
    EXPECT_EQ(Content(Path("file")), "replaced");
    EXPECT_EQ(Names(), std::set<std::string>{"file"});
}

TEST_F(Files, ANameAsLongAsAFolderHoldsIsWrittenAndReplaced)
{
    const std::string name(255, 'n');
    std::string error;
    ASSERT_TRUE(Write(Path(name), "first", &error)) << error;
    ASSERT_TRUE(Write(Path(name), "second", &error)) << error;
    EXPECT_EQ(Content(Path(name)), "second");
    EXPECT_EQ(Names(), std::set<std::string>{name});
}

TEST_F(Files, AWriteProtectedFileIsNotReplaced)
{
    // As a user without privileges: the super-user may write any file.
    constexpr uid_t kNobody = 65534;
    std::ofstream(Path("file")) << "kept";
    ::chmod(Path("file").c_str(), 0444);
    if (::getuid() == 0) {
        for (const std::string& path : {folder.string(), Path("file")})
            ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::getuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(2);
        std::string error;
        const bool written = Write(Path("file"), "replaced", &error);
        ::_exit(!written && error == Path("file") + ": Permission denied" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Content(Path("file")), "kept");
    EXPECT_EQ(Names(), std::set<std::string>{"file"});
}

TEST_F(Files, AWriteRemovesTheTemporariesOfWritersThatDied)
{
    const pid_t dead = ::fork();
    if (dead == 0)
        ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string ofTheDead = ".file." + std::to_string(dead) + ".0.tmp";
    const std::string ofTheLiving = ".file." + std::to_string(::getppid()) + ".0.tmp";
    const std::string ofAnotherFile = ".other." + std::to_string(dead) + ".0.tmp";
    for (const std::string& name : {ofTheDead, ofTheLiving, ofAnotherFile})
        std::ofstream(Path(name)) << "left";
    std::string error;
    ASSERT_TRUE(Write(Path("file"), "new", &error));
    EXPECT_EQ(Names(), (std::set<std::string>{"file", ofTheLiving, ofAnotherFile}));
}

} // namespace
