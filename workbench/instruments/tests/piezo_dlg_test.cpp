#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include "dialog_bench.h"
#include "workbench/instruments/c832_move_dlg.h"
#include "workbench/instruments/piezo_dlg.h"
#include "workbench/instruments/serial_params_dlg.h"

namespace {

constexpr int kTimer = 29;

class PiezoTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        com1 = &bench->Plug(0);
        com2 = &bench->Plug(1);
    }
    static std::vector<int> Sent(const piezo_supply::SupplySimulator* supply)
    {
        std::vector<int> values;
        for (const auto& setpoint : supply->Setpoints())
            values.push_back(setpoint.value);
        return values;
    }
    piezo_supply::SupplySimulator* com1 = nullptr;
    piezo_supply::SupplySimulator* com2 = nullptr;
};

TEST_F(PiezoTest, TheRangeIsClampedAndTheVoltageTruncated)
{
    CPiezoDlg dialog(&app, bench->clock);
    QLineEdit* range = nullptr;
    for (auto* edit : dialog.findChildren<QLineEdit*>())
        range = edit->isReadOnly() ? range : edit;
    ASSERT_NE(range, nullptr);
    for (auto [text, volts] :
         {std::pair{"abc", 100}, {"50", 100}, {"20000", 10000}, {"500", 500}}) {
        range->setText(QString::fromLatin1(text));
        dialog.OnKillfocusRange();
        EXPECT_EQ(dialog.m_nRange, volts) << text;
        EXPECT_EQ(range->text(), QString::number(volts));
    }
    for (auto [position, volts] : {std::pair{1023, 500.0f}, {1, 0.0f}, {512, 250.0f}}) {
        dialog.m_slider->setValue(position);
        EXPECT_EQ(dialog.m_fVoltage, volts) << position;
    }
}

TEST_F(PiezoTest, ASliderMoveIsSentOnceAfterTenQuietTicks)
{
    app.m_nSliderPos = 512;
    CPiezoDlg dialog(&app, bench->clock);
    EXPECT_EQ(Sent(com1), std::vector{512});
    dialog.m_slider->setValue(600);
    dialog.m_slider->setValue(700);
    for (int tick = 0; tick < 10; ++tick)
        dialog.OnTimer(kTimer);
    EXPECT_EQ(Sent(com1), std::vector{512});
    for (int tick = 0; tick < 10; ++tick)
        dialog.OnTimer(kTimer);
    EXPECT_EQ(Sent(com1), (std::vector{512, 700}));
    EXPECT_EQ(app.m_nSliderPos, 700);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PiezoTest, SwitchingPortsResendsOnTheNewOne)
{
    app.m_nSliderPos = 300;
    CPiezoDlg dialog(&app, bench->clock);
    auto radios = dialog.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    radios[0]->click();
    EXPECT_EQ(Sent(com1), std::vector{300});
    EXPECT_TRUE(Sent(com2).empty());
    radios[1]->click();
    EXPECT_EQ(Sent(com2), std::vector{300});
    EXPECT_EQ(Sent(com1), std::vector{300});
    dialog.OnCancel();
    EXPECT_EQ(app.m_nComPort, 1);
    EXPECT_EQ(app.m_nSliderPos, 300);
    EXPECT_EQ(app.m_nSupplyFullScale, 500);
}

TEST_F(PiezoTest, ChoosingASupplySetsItsFullScaleWithoutSending)
{
    CPiezoDlg dialog(&app, bench->clock);
    const size_t sent = com1->Bytes().size();
    for (auto [model, label, volts] :
         {std::tuple{1, "Alimentation 2", 100}, {0, "Alimentation 1", 500}}) {
        QTimer::singleShot(0, [model] {
            auto* params = qobject_cast<CSerialParamsDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(params, nullptr);
            (model ? params->m_pSupply2 : params->m_pSupply1)->setChecked(true);
            params->OnOK();
        });
        dialog.OnSelectSupply();
        EXPECT_EQ(dialog.m_strSupply, label);
        EXPECT_EQ(dialog.m_nRange, volts);
        EXPECT_EQ(dialog.m_strRange, QString::number(volts));
        EXPECT_EQ(app.m_nSupplyModel, model);
        EXPECT_EQ(app.m_nSupplyFullScale, volts);
    }
    EXPECT_EQ(com1->Bytes().size(), sent);
}

TEST_F(DialogTest, ASupplyThatDoesNotAnswerIsReportedOnce)
{
    bench->Plug(0, {.flow = piezo_supply::Flow::Dead});
    app.m_nSliderPos = 1000;
    CPiezoDlg dialog(&app, bench->clock);
    dialog.m_slider->setValue(10);
    for (int tick = 0; tick < 11; ++tick)
        dialog.OnTimer(kTimer);
    EXPECT_EQ(messages,
              QStringList{QString::fromUtf8("L'alimentation piézo ne répond pas (COM1) !")});
}

TEST_F(DialogTest, ALabelWithAMnemonicLeadsToTheEditBesideIt)
{
    CPiezoDlg piezo(&app, bench->clock);
    CC832MoveDlg move(bench->clock);
    for (QDialog* dialog : {static_cast<QDialog*>(&piezo), static_cast<QDialog*>(&move)}) {
        QStringList tied;
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->text().contains('&') && qobject_cast<QLineEdit*>(label->buddy()))
                tied << label->text();
        EXPECT_EQ(tied.size(), 1) << tied.join("|").toStdString();
    }
}

} // namespace
