#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "workbench/core/settings_record.h"
#include "workbench/core/size_table.h"

namespace {

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("fralo_") + name)).string();
}

TEST(SettingsRecord, GoldenBytes)
{
    const SettingsRecord r{6, 1280, 1024, 6, 1, 500};
    SettingsBytes expected{};
    const uint8_t head[] = {6, 0, 0x00, 0x05, 0x00, 0x04, 6, 0, 1, 0, 0xF4, 0x01};
    std::copy(std::begin(head), std::end(head), expected.begin());
    EXPECT_EQ(EncodeSettings(r), expected);
}

TEST(SettingsRecord, RoundTripThroughFile)
{
    std::string path = TempPath("roundtrip.dat");
    const SettingsRecord r{3, 640, 480, 0, 1, 1000};
    ASSERT_TRUE(WriteSettingsFile(path, r));
    EXPECT_EQ(std::filesystem::file_size(path), 64u);
    SettingsRecord back;
    ASSERT_TRUE(ReadSettingsFile(path, &back));
    EXPECT_EQ(EncodeSettings(back), EncodeSettings(r));
    std::filesystem::remove(path);
}

TEST(SettingsRecord, ShortFileKeepsDefaultsForWhatIsMissing)
{
    std::string path = TempPath("short.dat");
    {
        std::ofstream f(path, std::ios::binary);
        const char bytes[] = {5, 0, 0x20, 0x03, 0x58}; // source 5, width 800, half a height
        f.write(bytes, sizeof bytes);
    }
    SettingsRecord r;
    r.m_nDefaultHeight = 480;
    ASSERT_TRUE(ReadSettingsFile(path, &r));
    EXPECT_EQ(EncodeSettings(r), EncodeSettings({5, 800, 480, 0, 0, 500}));
    std::filesystem::remove(path);
}

TEST(SettingsRecord, MissingFileAndUnwritablePath)
{
    SettingsRecord r;
    EXPECT_FALSE(ReadSettingsFile(TempPath("no/such/dir/config.dat"), &r));
    EXPECT_FALSE(WriteSettingsFile(TempPath("no/such/dir/config.dat"), r));
}

TEST(SettingsRecord, ANamedPipeIsNeitherWaitedOnNorReplaced)
{
    const std::string path = TempPath("pipe.dat");
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    SettingsRecord r;
    EXPECT_FALSE(ReadSettingsFile(path, &r));
    EXPECT_FALSE(WriteSettingsFile(path, r));
    EXPECT_TRUE(std::filesystem::is_fifo(path));
    std::filesystem::remove(path);
}

TEST(SettingsRecord, OutOfRangeValuesKeepTheirDefaults)
{
    struct Case {
        int offset;
        int16_t value;
    };
    const Case bad[] = {{0, 9},  {0, -1}, {2, 0},   {2, 1281},  {4, 1025},
                        {6, 10}, {8, 2},  {10, 99}, {10, 10001}};
    for (const Case& c : bad) {
        SettingsRecord defaults;
        defaults.m_nDefaultWidth = 640;
        defaults.m_nDefaultHeight = 480;
        SettingsBytes bytes = EncodeSettings(defaults);
        bytes[c.offset] = uint8_t(c.value & 0xFF);
        bytes[c.offset + 1] = uint8_t((c.value >> 8) & 0xFF);
        SettingsRecord r = defaults;
        DecodeSettings(bytes.data(), bytes.size(), &r);
        EXPECT_EQ(EncodeSettings(r), EncodeSettings(defaults)) << "offset " << c.offset;
    }
    SettingsRecord r;
    SettingsBytes ok = EncodeSettings({8, 1280, 1024, 9, 1, 10000});
    DecodeSettings(ok.data(), ok.size(), &r);
    EXPECT_EQ(EncodeSettings(r), ok);
}

TEST(SizeTable, EntriesPerSource)
{
    const SizePair child{620, 465};
    const std::vector<SizePair> everySize = {child,      {320, 240}, {512, 512},  {640, 480},
                                             {768, 576}, {800, 600}, {1024, 768}, {1280, 1024}};
    struct Case {
        int source;
        std::vector<SizePair> entries;
    };
    const std::vector<Case> cases = {
        {0, everySize},
        {1, {{320, 240}}},
        {2, everySize},
        {3, {{640, 480}, {320, 240}}},
        {4, {{768, 576}}},
        {5, {{640, 480}, {800, 600}, {1024, 768}}},
        {6, {child, {320, 240}, {640, 480}, {768, 576}, {800, 600}, {1024, 768}, {1280, 1024}}},
        {7, {{640, 480}, child, {320, 240}, {768, 576}, {800, 600}, {1024, 768}, {1280, 1024}}},
        {8, {{768, 576}}},
        {9, {}},
        {-1, {}},
    };
    for (const Case& c : cases) {
        SizeTable t = FillSizeTable(c.source, child);
        for (int i = 0; i < kSizeTableEntries; ++i) {
            SizePair want = i < int(c.entries.size()) ? c.entries[i] : SizePair{0, 0};
            EXPECT_EQ(t[i], want) << "source " << c.source << " entry " << i;
        }
    }
}

TEST(SizeTable, GetSizeAndEmptyPairs)
{
    int w = 0, h = 0;
    SizeTable twain = FillSizeTable(1, {620, 465});
    EXPECT_EQ(GetSize(twain, 0, &w, &h), 0);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_EQ(GetSize(twain, 1, &w, &h), 1);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(GetSize(twain, 10, &w, &h), 1);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(GetSize(twain, -1, &w, &h), 1);
}

TEST(SizeTable, BothDimensionsMustMatch)
{
    SizeTable t = FillSizeTable(4, {620, 465});
    EXPECT_TRUE(SizeInTable(t, 768, 576));
    EXPECT_FALSE(SizeInTable(t, 768, 480));
    EXPECT_FALSE(SizeInTable(t, 640, 576));
}

TEST(SizeTable, ChildSizeFromFrameWidth)
{
    EXPECT_EQ(ChildSizeForFrameWidth(1280), (SizePair{620, 465}));
    EXPECT_EQ(ChildSizeForFrameWidth(1024), (SizePair{492, 369}));
}

} // namespace
