#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "dialog_bench.h"
#include "workbench/instruments/c832_move_dlg.h"
#include "workbench/instruments/overtravel_dlg.h"

namespace {

using namespace std::chrono_literals;
using qdriver::C832Command;

constexpr int kPollTimer = 1;
const char* const kLimitHit = "Surcourse axe 1 détectée !";

class MoveDialogTest : public DialogTest {
protected:
    // Ticks the dialog's poll timer every 40 ms until `done`, at most 200 times.
    void Poll(CC832MoveDlg& dialog, auto done)
    {
        for (int tick = 0; tick < 200 && !done(); ++tick) {
            bench->clock.SleepFor(40ms);
            dialog.OnTimer(kPollTimer);
        }
    }
    static QLineEdit* TargetEdit(CC832MoveDlg& dialog) { return dialog.findChild<QLineEdit*>(); }
};

TEST_F(MoveDialogTest, JogsRetargetsAndStops)
{
    CC832MoveDlg dialog(bench->clock);
    EXPECT_EQ(dialog.m_strStatus, "Axe X OK...");
    EXPECT_EQ(dialog.m_strX, "   0.0000");
    EXPECT_TRUE(dialog.m_btnPlus->isEnabled());
    EXPECT_FALSE(dialog.m_btnStop->isEnabled());

    dialog.OnMovePlus();
    bench->card->ClearTrace();
    dialog.m_sliderSpeed->setValue(80);
    EXPECT_EQ(bench->card->Commands(), (std::vector<C832Command>{
                                           {1, 0x1F, {0x0400, 0, 0}},
                                           {1, 0x01, {}},
                                           {1, 0x1F, {0x0008, 0x0028, 0xB0AA}},
                                           {1, 0x1F, {0x0003, 0x00B7, 0x1B00}},
                                           {1, 0x01, {}},
                                       }));
    dialog.OnStop();
    EXPECT_FALSE(dialog.m_btnStop->isEnabled());
    EXPECT_TRUE(dialog.m_btnGoHome->isEnabled());

    bench->card->ClearTrace();
    TargetEdit(dialog)->setText("abc");
    dialog.OnGoToPosition();
    EXPECT_TRUE(bench->card->Trace().empty());
    EXPECT_FALSE(dialog.m_btnStop->isEnabled());

    TargetEdit(dialog)->setText("0.25");
    dialog.OnGoToPosition();
    EXPECT_TRUE(dialog.m_btnStop->isEnabled());
    Poll(dialog, [&] { return !dialog.m_btnStop->isEnabled(); });
    EXPECT_EQ(dialog.m_strX, "   0.2500");
    EXPECT_TRUE(dialog.m_btnPlus->isEnabled());

    // The motion has ended: a new speed starts nothing.
    bench->card->ClearTrace();
    dialog.m_sliderSpeed->setValue(60);
    EXPECT_EQ(dialog.m_strSpeed, "( 60)");
    EXPECT_TRUE(bench->card->Trace().empty());

    dialog.OnDefineOrigin();
    EXPECT_EQ(dialog.m_strX, "   0.0000");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MoveDialogTest, ALimitOrAStallEndsThePolling)
{
    bench->card->SetTravel(1, -1000000, 60000);
    CC832MoveDlg dialog(bench->clock);
    dialog.OnMovePlus();
    Poll(dialog, [&] { return !messages.isEmpty(); });
    EXPECT_EQ(messages, QStringList{QString::fromUtf8(kLimitHit)});
    EXPECT_FALSE(dialog.m_btnStop->isEnabled());
    EXPECT_FALSE(dialog.m_btnPlus->isEnabled());
    EXPECT_TRUE(bench->card->IsMotorOff(1));

    // 0.25 mm at 50 mm/min: given up 1.5 x 0.3 s + 2 s after it started.
    messages.clear();
    dialog.OnInitCard();
    bench->card->SetTravel(1, -1000000, 1000000);
    bench->card->SetStalled(1, true);
    TargetEdit(dialog)->setText("0.25");
    dialog.OnGoToPosition();
    const auto start = bench->clock.Now();
    Poll(dialog, [&] { return !messages.isEmpty(); });
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Déplacement de l'axe X non terminé !")});
    EXPECT_GE(bench->clock.Now() - start, 2450ms);
    EXPECT_LT(bench->clock.Now() - start, 2500ms);
    EXPECT_TRUE(dialog.m_btnStop->isEnabled());
    dialog.OnStop();
    EXPECT_TRUE(dialog.m_btnGoTo->isEnabled());
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(MoveDialogTest, AnAxisThatStopsAnsweringIsLostAtOnce)
{
    const QString notFinished = QString::fromUtf8("Déplacement de l'axe X non terminé !");
    CC832MoveDlg dialog(bench->clock);
    dialog.OnMovePlus();
    bench->clock.SleepFor(200ms);
    dialog.OnTimer(kPollTimer);
    bench->card->SetStuckBusy(1, true);
    const auto start = bench->clock.Now();
    Poll(dialog, [&] { return !messages.isEmpty(); });
    EXPECT_EQ(messages, QStringList{notFinished});
    EXPECT_LT(bench->clock.Now() - start, 80ms); // the first poll
    EXPECT_EQ(dialog.m_strX, "?");
    EXPECT_EQ(dialog.m_strStatus, QString::fromUtf8("Axe X non OK !"));
    EXPECT_FALSE(dialog.m_btnStop->isEnabled());
    EXPECT_FALSE(dialog.m_btnPlus->isEnabled());
    dialog.OnStop();
    EXPECT_EQ(messages.size(), 1);

    // A card that is gone reads as a limit on axis 1; it is no over-travel.
    bench->card->SetStuckBusy(1, false);
    dialog.OnInitCard();
    dialog.OnMovePlus();
    bench->card->SetAbsent(true);
    Poll(dialog, [&] { return messages.size() > 1; });
    EXPECT_EQ(messages, (QStringList{notFinished, notFinished}));
    EXPECT_EQ(dialog.m_strX, "?");

    // Lost while STOP waits for the end: no move is offered on it.
    bench->card->SetAbsent(false);
    dialog.OnInitCard();
    dialog.OnMovePlus();
    bench->card->SetStuckBusy(1, true);
    dialog.OnStop();
    EXPECT_EQ(messages.size(), 3);
    EXPECT_EQ(dialog.m_strStatus, QString::fromUtf8("Axe X non OK !"));
    EXPECT_FALSE(dialog.m_btnPlus->isEnabled());
    EXPECT_FALSE(dialog.m_btnStop->isEnabled());
}

TEST_F(MoveDialogTest, ButtonsRunTheirHandlers)
{
    CC832MoveDlg dialog(bench->clock);
    for (const auto& [text, motion] : {std::pair{"X&+", CC832MoveDlg::JogPlus},
                                       {"&STOP", CC832MoveDlg::None},
                                       {"X&-", CC832MoveDlg::JogMinus},
                                       {"&STOP", CC832MoveDlg::None},
                                       {"&Revenir origine", CC832MoveDlg::GoingHome},
                                       {"&STOP", CC832MoveDlg::None},
                                       {"&Aller à cette position", CC832MoveDlg::GoingToTarget},
                                       {"&STOP", CC832MoveDlg::None}}) {
        QPushButton* button = ButtonOf(dialog, text);
        ASSERT_NE(button, nullptr) << text;
        button->click();
        EXPECT_EQ(dialog.m_nMotion, motion) << text;
        EXPECT_EQ(dialog.m_btnStop->isEnabled(), motion != CC832MoveDlg::None) << text;
    }
    dialog.m_strX.clear();
    ButtonOf(dialog, "Définir &origine")->click();
    EXPECT_EQ(dialog.m_strX, "   0.0000");
    dialog.m_strStatus.clear();
    ButtonOf(dialog, "&Initialiser carte")->click();
    EXPECT_EQ(dialog.m_strStatus, "Axe X OK...");
    dialog.m_btnClose->click();
    EXPECT_EQ(dialog.m_pC832, nullptr);
}

TEST_F(MoveDialogTest, WithoutAnAnsweringAxisOrACard)
{
    bench->card->SetAbsent(true);
    {
        CC832MoveDlg dialog(bench->clock);
        EXPECT_EQ(dialog.m_strStatus, QString::fromUtf8("Axe X non OK !"));
        EXPECT_EQ(dialog.m_strX, "?");
        for (QPushButton* b : {dialog.m_btnGoHome, dialog.m_btnDefineOrigin, dialog.m_btnPlus,
                               dialog.m_btnMinus, dialog.m_btnGoTo, dialog.m_btnStop})
            EXPECT_FALSE(b->isEnabled());
        EXPECT_FALSE(dialog.IsClosed());
    }
    Reboot({.platformId = qdriver::wire::kPlatformNt, .unconfigured = {"c832"}});
    CC832MoveDlg dialog(bench->clock);
    EXPECT_TRUE(dialog.IsClosed());
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QString::fromUtf8("Erreur de connexion à Quenlo !")));
}

TEST_F(DialogTest, OvertravelDialogStepsOutOfTheLimit)
{
    {
        COvertravelDlg dialog(bench->clock);
        EXPECT_EQ(dialog.m_strState, QString::fromUtf8("Pas de surcourse détectée !"));
        EXPECT_FALSE(dialog.m_btnPlus->isEnabled());
    }
    bench->card->SetTravel(1, -1000000, 60000);
    bench->card->SetPosition(1, 90000);
    COvertravelDlg dialog(bench->clock);
    EXPECT_EQ(dialog.m_strState, QString::fromUtf8("Surcourse détectée !"));
    EXPECT_EQ(dialog.m_strLine1, QString::fromUtf8("Par appui sur X+ ou X-, dépl. = 0.2 mm"));
    EXPECT_EQ(dialog.m_strLine2, "Ne vous trompez pas de sens !!");
    EXPECT_TRUE(dialog.m_btnMinus->isEnabled());
    const struct {
        const char* line1;
        const char* state;
        bool enabled;
    } steps[] = {{"X(mm):-0.20", "Surcourse détectée !", true},
                 {"X(mm):-0.40", "Fin de surcourse !", false}};
    for (const auto& step : steps) {
        dialog.OnMoveMinus();
        EXPECT_EQ(dialog.m_strLine1, step.line1);
        EXPECT_TRUE(dialog.m_strLine2.isEmpty());
        EXPECT_EQ(dialog.m_strState, QString::fromUtf8(step.state));
        EXPECT_EQ(dialog.m_btnPlus->isEnabled(), step.enabled);
    }
    EXPECT_EQ(bench->card->Position(1), 42000.0);
    EXPECT_TRUE(messages.isEmpty());

    // Chips that stop answering during a step have not left the limit.
    bench->card->SetPosition(1, 90000);
    COvertravelDlg lost(bench->clock);
    bench->card->SetStuckBusy(1, true);
    lost.OnMoveMinus();
    EXPECT_EQ(lost.m_strLine1, "X(mm):?");
    EXPECT_EQ(lost.m_strState, QString::fromUtf8("Carte P.I. C-832 non trouvée !"));
    EXPECT_FALSE(lost.m_btnMinus->isEnabled());
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Déplacement de l'axe X non terminé !")});
    bench->card->SetStuckBusy(1, false);

    bench->card->SetAbsent(true);
    COvertravelDlg absent(bench->clock);
    EXPECT_EQ(absent.m_strState, QString::fromUtf8("Carte P.I. C-832 non trouvée !"));
    EXPECT_FALSE(absent.m_btnMinus->isEnabled());
}

} // namespace
