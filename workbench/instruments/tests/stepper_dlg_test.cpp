#include <QPushButton>

#include "dialog_bench.h"
#include "workbench/instruments/stepper_dlg.h"

namespace {

using namespace std::chrono_literals;
using qdriver::StepperWrite;

std::vector<uint8_t> Values(const std::vector<StepperWrite>& writes, size_t from = 0)
{
    std::vector<uint8_t> values;
    for (size_t i = from; i < writes.size(); ++i)
        values.push_back(writes[i].value);
    return values;
}

TEST_F(DialogTest, StepperStepsByHandAndByTicks)
{
    CStepperDlg dialog(bench->clock);
    const auto start = bench->clock.Now();
    dialog.OnStepPlus();
    dialog.OnStepPlus();
    dialog.OnStepMinus();
    std::vector<StepperWrite> expected;
    for (uint8_t value : {0x01, 0x00, 0x01, 0x00, 0x03, 0x02})
        expected.push_back({value, start + 10ms * int(expected.size())});
    EXPECT_EQ(bench->stepper->Writes(), expected);
    EXPECT_EQ(dialog.m_strStatus, QString::fromUtf8("Dépl.(pas): 1"));
    EXPECT_EQ(bench->stepper->Position(), 1);
    EXPECT_EQ(bench->stepper->DirectionChangesOnStep(), 1);

    dialog.OnMovePlus();
    EXPECT_FALSE(dialog.m_btnClose->isEnabled());
    dialog.OnTimer(0);
    dialog.OnStop();
    EXPECT_EQ(Values(bench->stepper->Writes(), 6), (std::vector<uint8_t>{0x00, 0x01, 0x00, 0x00}));
    EXPECT_EQ(dialog.m_strStatus, QString::fromUtf8("Dépl.(pas): 2"));
    EXPECT_TRUE(dialog.m_btnClose->isEnabled());
    dialog.OnMoveMinus();
    dialog.OnTimer(1);
    dialog.OnStop();
    EXPECT_EQ(Values(bench->stepper->Writes(), 10), (std::vector<uint8_t>{0x02, 0x03, 0x02, 0x00}));
    EXPECT_EQ(bench->stepper->Position(), 1);
    EXPECT_EQ(bench->stepper->DirectionChangesOnStep(), 1);

    dialog.OnOK();
    EXPECT_EQ(Values(bench->stepper->Writes(), 14), (std::vector<uint8_t>{0x04, 0x00}));
    EXPECT_EQ(dialog.m_strStatus, QString::fromUtf8("Reset moteur demandé..."));
    EXPECT_EQ(dialog.m_nSteps, 0);
    EXPECT_EQ(bench->stepper->Position(), 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(DialogTest, StepperButtonsRunTheirHandlers)
{
    CStepperDlg dialog(bench->clock);
    struct Case {
        const char* button;
        const char* status;
        bool stopEnabled;
    };
    for (const Case& c :
         {Case{"+1pas", "Dépl.(pas): 1", false}, Case{"+1pas", "Dépl.(pas): 2", false},
          Case{"-1pas", "Dépl.(pas): 1", false}, Case{"X&+", "Dépl.(pas): 1", true},
          Case{"&STOP", "Dépl.(pas): 1", false}, Case{"X&-", "Dépl.(pas): 1", true},
          Case{"&STOP", "Dépl.(pas): 1", false},
          Case{"&Reset", "Reset moteur demandé...", false}}) {
        QPushButton* button = ButtonOf(dialog, c.button);
        ASSERT_NE(button, nullptr) << c.button;
        button->click();
        EXPECT_EQ(dialog.m_strStatus, QString::fromUtf8(c.status)) << c.button;
        EXPECT_EQ(dialog.m_btnStop->isEnabled(), c.stopEnabled) << c.button;
    }
    EXPECT_EQ(Values(bench->stepper->Writes(), 6),
              (std::vector<uint8_t>{0x00, 0x00, 0x02, 0x00, 0x04, 0x00}));
    dialog.m_btnClose->click();
    EXPECT_EQ(dialog.m_pPort, nullptr);
}

TEST_F(DialogTest, StepperWithoutThePortStillCountsAndResets)
{
    Reboot({.platformId = qdriver::wire::kPlatformNt, .unconfigured = {"lpt"}});
    CStepperDlg dialog(bench->clock);
    dialog.OnStepPlus();
    EXPECT_EQ(dialog.m_strStatus, QString::fromUtf8("Dépl.(pas): 1"));
    dialog.OnOK();
    EXPECT_EQ(dialog.m_strStatus, QString::fromUtf8("Reset moteur demandé..."));
    EXPECT_EQ(dialog.m_nSteps, 0);
    EXPECT_TRUE(bench->stepper->Writes().empty());
    EXPECT_EQ(messages,
              QStringList{QString::fromUtf8(
                  "Erreur de connexion à Quenlo !\n\nParamètres de connexion:\nDevice: lpt\nBus "
                  "Type: Internal\nUses port range\nPort Base: 0X378\nPort Count: 0X2\nIgnore "
                  "ressource conflicts")});
}

} // namespace
