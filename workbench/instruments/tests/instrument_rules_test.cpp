#include <optional>

#include <gtest/gtest.h>

#include "metrology/instruments/c832_controller.h"
#include "tests/support/scoped_setting.h"
#include "workbench/core/command_ids.h"
#include "workbench/frame/command_table.h"
#include "workbench/instruments/instrument_rules.h"

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
        std::optional<ScopedDecimalComma> french;
        if (comma && !french.emplace().Made())
            GTEST_SKIP() << "no locale with a decimal comma";
        for (const auto& c : cases)
            EXPECT_EQ(ParseTarget(QString::fromLatin1(c.text), 120000), c.mm)
                << c.text << ' ' << comma;
    }
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
