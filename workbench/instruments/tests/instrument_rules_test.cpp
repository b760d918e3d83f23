#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <gtest/gtest.h>

#include "metrology/instruments/c832_controller.h"
#include "workbench/core/command_ids.h"
#include "workbench/frame/command_table.h"
#include "workbench/instruments/instrument_rules.h"

namespace {

// Numbers as a French session writes them (Qt takes the session's locale):
// a locale whose decimal point is a comma; false where none can be built.
bool UseDecimalComma()
{
    const auto dir = std::filesystem::path(::testing::TempDir()) /
                     ("ondula-comma-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "comma.src")
        << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \"\"\ngrouping -1\nEND LC_NUMERIC\n";
    const std::string build = "localedef -c -i " + (dir / "comma.src").string() +
                              " -f ANSI_X3.4-1968 " + (dir / "comma").string() + " >/dev/null 2>&1";
    std::system(build.c_str());
    ::setenv("LOCPATH", dir.c_str(), 1);
    const bool made = std::setlocale(LC_NUMERIC, "comma") != nullptr;
    ::unsetenv("LOCPATH");
    std::filesystem::remove_all(dir);
    return made;
}

} // namespace

TEST(InstrumentRulesTest, SupplyRangeAndVoltage)
{
    for (auto [text, range] : {std::pair{"abc", 100},
                               {"50", 100},
                               {"20000", 10000},
                               {" 750V", 750},
                               {"99999999999999999999", 10000}})
        EXPECT_EQ(ParseSupplyRange(QString::fromLatin1(text)), range) << text;
    for (auto [position, volts] : {std::pair{1023, 500.0f}, {1, 0.0f}, {512, 250.0f}})
        EXPECT_EQ(PiezoVoltage(500, int16_t(position)), volts) << position;
}

TEST(InstrumentRulesTest, StageTextsAndTargets)
{
    EXPECT_EQ(FormatPosition(0), "   0.0000");
    EXPECT_EQ(FormatPosition(-0.2f), "  -0.2000");
    EXPECT_EQ(FormatPosition(instruments::CC832Controller::kNoPosition), "?");
    EXPECT_EQ(FormatSpeed(50), "( 50)");
    const struct {
        const char* text;
        std::optional<float> mm;
    } cases[] = {{"0.25", 0.25f},     {" -3", -3.0f},        {"abc", std::nullopt},
                 {"", std::nullopt},  {"nan", std::nullopt}, {"1e9", std::nullopt},
                 {"   0.2500", 0.25f}};
    for (bool comma : {false, true}) {
        if (comma && !UseDecimalComma())
            GTEST_SKIP() << "no locale with a decimal comma";
        for (const auto& c : cases)
            EXPECT_EQ(ParseTarget(QString::fromLatin1(c.text), 120000), c.mm)
                << c.text << ' ' << comma;
    }
    std::setlocale(LC_NUMERIC, "C");
}

TEST(InstrumentRulesTest, InstrumentCommandsAreAlwaysAvailable)
{
    int found = 0;
    for (const CommandEntry& entry : CommandTable())
        if (entry.id == ID_PIEZO_SUPPLY || entry.id == ID_C832_MOVE ||
            entry.id == ID_C832_OVERTRAVEL || entry.id == ID_STEPPER) {
            ++found;
            EXPECT_NE(entry.handler, nullptr) << entry.id;
            EXPECT_EQ(entry.enabled, nullptr) << entry.id;
        }
    EXPECT_EQ(found, 4);
}
