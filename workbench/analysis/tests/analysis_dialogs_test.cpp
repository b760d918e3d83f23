#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include "analysis_fixture.h"
#include "demodulation_dlg.h"
#include "fringe_patterns_dlg.h"
#include "kernels/phase_unwrapper.h"
#include "phase4_dlg.h"
#include "speckle_echz_dlg.h"

namespace {

constexpr int kPhaseBoxes[4] = {1028, 1021, 1030, 1025}; // i0, i90, i180, i270

TEST_F(AnalysisTest, PhaseDialogNeedsFourImages)
{
    for (int i = 0; i < 3; ++i)
        AddDocument(8, 8, [](int, int) { return 0; });
    CPhase4Dlg dialog(app.get());
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Calcul d'une image phasée à 4 images"));
    EXPECT_EQ(Text(dialog, 1004), QString::fromUtf8("Il faut 4 images différentes !"));
    EXPECT_FALSE(Enabled(dialog, 1));
    EXPECT_FALSE(dialog.IsTimerActive(CPhase4Dlg::TIMER_CHOICE));
}

TEST_F(AnalysisTest, PhaseDialogPreselectsTheLastFourAndChecksThemPairwise)
{
    for (int i = 0; i < 6; ++i)
        AddDocument(8, 8, [](int, int) { return 0; });
    DocumentList list;
    app->ListOpenDocuments(list);
    CPhase4Dlg dialog(app.get());
    EXPECT_TRUE(dialog.IsTimerActive(CPhase4Dlg::TIMER_CHOICE));
    for (int k = 0; k < 4; ++k) {
        auto* box = Control<QComboBox>(dialog, kPhaseBoxes[k]);
        EXPECT_EQ(box->count(), 6);
        EXPECT_EQ(box->currentIndex(), -1);
        EXPECT_EQ(box->currentText(), list[2 + k]->m_strName);
    }
    EXPECT_FALSE(Enabled(dialog, 1));
    dialog.OnTimer(CPhase4Dlg::TIMER_CHOICE);
    EXPECT_TRUE(Enabled(dialog, 1));
    EXPECT_EQ(Text(dialog, 1004), "");

    // i90 on i0's entry.
    Control<QComboBox>(dialog, 1021)->setCurrentIndex(2);
    dialog.OnTimer(CPhase4Dlg::TIMER_CHOICE);
    EXPECT_EQ(Text(dialog, 1004), "Les 4 images ne sont pas différentes!");
    EXPECT_FALSE(Enabled(dialog, 1));
    Control<QComboBox>(dialog, 1021)->setCurrentIndex(0);
    dialog.OnTimer(CPhase4Dlg::TIMER_CHOICE);
    EXPECT_EQ(Text(dialog, 1004), "");
    EXPECT_TRUE(Enabled(dialog, 1));
}

// Runs the phase dialog on documents i0, i90, i180, i270 made in that order.
CFraloDoc* RunPhaseDialog(CFraloApp& app, CFraloDoc* i0)
{
    app.MainFrame()->MdiArea()->setActiveSubWindow(i0->m_pChildFrame);
    CPhase4Dlg dialog(&app);
    dialog.OnTimer(CPhase4Dlg::TIMER_CHOICE);
    dialog.findChild<QPushButton*>(ControlName(1))->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.IsTimerActive(CPhase4Dlg::TIMER_CHOICE));
    return dialog.NewDocument();
}

TEST_F(AnalysisTest, PhaseDialogComputesTheWrappedPhase)
{
    // Per column: (num, den) = (100, 100); i0 = i180 with num 0, > 0, < 0; num 0 with den < 0.
    const int i0[] = {150, 80, 80, 80, 20}, i90[] = {50, 10, 10, 10, 60},
              i180[] = {50, 80, 80, 80, 120};
    // i270 (150, 10, 30, 0, 60) as colours whose (30 R + 59 G + 11 B) / 100 is that grey.
    const int i270[] = {PackRgb(100, 200, 19), PackRgb(0, 17, 0), PackRgb(100, 0, 0),
                        PackRgb(3, 0, 0), PackRgb(100, 51, 0)};
    CFraloDoc* first = AddDocument(5, 3, [&](int x, int) { return i0[x]; });
    AddDocument(5, 3, [&](int x, int) { return i90[x]; });
    AddDocument(5, 3, [&](int x, int) { return i180[x]; });
    AddDocument(
        5, 3, [&](int x, int) { return i270[x]; }, true);

    CFraloDoc* result = RunPhaseDialog(*app, first);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(frame->ActiveDocument(), result);
    EXPECT_EQ(result->m_strName, QString("ImPhasee%1").arg(app->m_nImageCounter));
    EXPECT_EQ(result->Title(), result->m_strName + " (5x3)");
    EXPECT_EQ(result->Channels(), 1);
    const int expected[] = {31, 0, 63, 191, 127};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(Pixel(result, x, y), expected[x]) << x;
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(AnalysisTest, PhaseDialogReadsOnlyTheOverlapOfASmallerImage)
{
    CFraloDoc* first = AddDocument(8, 4, [](int, int) { return 150; });
    AddDocument(4, 2, [](int, int) { return 50; });
    AddDocument(8, 4, [](int, int) { return 50; });
    AddDocument(8, 4, [](int, int) { return 150; });
    CFraloDoc* result = RunPhaseDialog(*app, first);
    EXPECT_EQ(messages, QStringList{"Erreur sur taille image !"});
    EXPECT_EQ(result->m_nWidth, 8);
    EXPECT_EQ(result->m_nHeight, 4);
    // Inside i90: (num, den) = (100, 100); outside it i90 reads 0: atan(150 / 100).
    EXPECT_EQ(Pixel(result, 3, 1), 31);
    EXPECT_EQ(Pixel(result, 4, 1), 39);
    EXPECT_EQ(Pixel(result, 0, 2), 39);
}

TEST_F(AnalysisTest, DemodulationNeedsAPhasedImageOtherThanTheMask)
{
    const QString refused = QString::fromUtf8("L'image phasée doit être différente du masque !");
    CDemodulationDlg empty(app.get());
    EXPECT_EQ(empty.windowTitle(), QString::fromUtf8("Démodulation image phasée"));
    EXPECT_EQ(Text(empty, 1003), "?");
    EXPECT_EQ(Text(empty, 1004), "NOUVELLE IMAGE");
    empty.OnTimer(CDemodulationDlg::TIMER_CHOICE);
    EXPECT_FALSE(Enabled(empty, 1107));
    EXPECT_EQ(Text(empty, 1003), refused);

    AddDocument(8, 8, [](int, int) { return 0; });
    CDemodulationDlg dialog(app.get());
    auto* mask = Control<QComboBox>(dialog, 1073);
    EXPECT_EQ(mask->count(), 2);
    EXPECT_EQ(mask->itemText(1), "AUCUNE");
    EXPECT_EQ(mask->currentText(), "AUCUNE");
    EXPECT_EQ(mask->currentIndex(), -1);
    EXPECT_EQ(Control<QComboBox>(dialog, 1061)->currentText(), frame->ActiveDocument()->m_strName);
    dialog.OnTimer(CDemodulationDlg::TIMER_CHOICE);
    EXPECT_TRUE(Enabled(dialog, 1107));
    mask->setCurrentIndex(0);
    dialog.OnTimer(CDemodulationDlg::TIMER_CHOICE);
    EXPECT_FALSE(Enabled(dialog, 1107));
    EXPECT_EQ(Text(dialog, 1003), refused);
    // The status stays when the choice is valid again.
    mask->setCurrentIndex(1);
    dialog.OnTimer(CDemodulationDlg::TIMER_CHOICE);
    EXPECT_TRUE(Enabled(dialog, 1107));
    EXPECT_EQ(Text(dialog, 1003), refused);
}

TEST_F(AnalysisTest, DemodulationOfARampMakesOneDocumentPerRun)
{
    CFraloDoc* ramp = AddDocument(64, 16, [](int x, int) { return (8 * x) & 255; });
    CDemodulationDlg dialog(app.get());
    struct During {
        bool closeEnabled, defaultsEnabled, runEnabled;
        QString status;
        UnwrapFlags flags;
    } during{};
    dialog.SetUnwrapper([&](int w, int h, const std::int32_t* phase, const std::int32_t* mask,
                            std::int32_t* out, UnwrapFlags flags) {
        during = {Enabled(dialog, 2), Enabled(dialog, 23), Enabled(dialog, 1107),
                  Text(dialog, 1003), flags};
        CPhaseUnwrapper unwrapper;
        return unwrapper.Unwrap(w, h, phase, mask, out, flags);
    });
    dialog.OnTimer(CDemodulationDlg::TIMER_CHOICE);
    for (int run = 0; run < 2; ++run) {
        Control<QPushButton>(dialog, 1107)->click();
        CFraloDoc* result = dialog.ResultDocument();
        ASSERT_NE(result, ramp);
        EXPECT_EQ(OpenDocuments(), 2 + run);
        EXPECT_FALSE(during.closeEnabled || during.defaultsEnabled || during.runEnabled);
        EXPECT_EQ(during.status, "(mode: 16)");
        EXPECT_EQ(during.flags, 16);
        EXPECT_TRUE(Enabled(dialog, 2) && Enabled(dialog, 23) && Enabled(dialog, 1107));
        EXPECT_EQ(Text(dialog, 1003), "Nb. de sauts de phase: M=1");
        EXPECT_EQ(result->m_strName, QString("ImDemod%1_M1").arg(app->m_nImageCounter));
        EXPECT_EQ(Text(dialog, 1004), result->m_strName);
        EXPECT_EQ(result->m_nFringeCount, 1);
        EXPECT_EQ(result->m_nWidth, 64);
        EXPECT_EQ(result->m_nHeight, 16);
        EXPECT_EQ(Pixel(result, 31, 7), 125);
        EXPECT_EQ(Pixel(result, 61, 7), 255);
        for (int x = 0; x < 64; ++x)
            EXPECT_EQ(Pixel(result, x, 0) + Pixel(result, x, 1) + Pixel(result, x, 15), 0);
        EXPECT_EQ(Pixel(result, 1, 7) + Pixel(result, 62, 7), 0);
        EXPECT_TRUE(dialog.IsTimerActive(CDemodulationDlg::TIMER_CHOICE));
    }
}

TEST_F(AnalysisTest, DemodulationOfATinyImageShowsNoJump)
{
    AddDocument(4, 4, [](int x, int) { return 60 * x; });
    CDemodulationDlg dialog(app.get());
    Control<QPushButton>(dialog, 1107)->click();
    EXPECT_EQ(Text(dialog, 1003), "Nb. de sauts de phase: M=0");
    EXPECT_EQ(dialog.ResultDocument()->m_nFringeCount, 0);
}

TEST_F(AnalysisTest, DemodulationRefusesAMaskOfAnotherSize)
{
    AddDocument(30, 20, [](int, int) { return 1; });
    AddDocument(64, 16, [](int x, int) { return (8 * x) & 255; });
    CDemodulationDlg dialog(app.get());
    Control<QComboBox>(dialog, 1073)->setCurrentIndex(1);
    Control<QPushButton>(dialog, 1107)->click();
    EXPECT_EQ(messages, QStringList{"Erreur sur taille image !"});
    EXPECT_EQ(OpenDocuments(), 2);
    EXPECT_EQ(dialog.ResultDocument(), nullptr);
    EXPECT_EQ(Text(dialog, 1003), QString("(mode: %1)").arg(16 + 0x100));
    EXPECT_TRUE(dialog.IsTimerActive(CDemodulationDlg::TIMER_CHOICE));
}

TEST_F(AnalysisTest, DemodulationCountsTheFringesOfEachMaskedRegion)
{
    // Column 40 masked: 1 fringe on its left (seeded past the wrap), 2 on its right.
    AddDocument(96, 16, [](int x, int) { return x == 40 ? 0 : 1; });
    AddDocument(96, 16, [](int x, int) {
        return x < 40 ? (8 * (x + 12)) & 255 : (10 * (x - 41) + 200) & 255;
    });
    CDemodulationDlg dialog(app.get());
    Control<QComboBox>(dialog, 1073)->setCurrentIndex(1);
    Control<QPushButton>(dialog, 1107)->click();
    EXPECT_EQ(Text(dialog, 1003), "Nb. de sauts de phase: M=2");
    // Both regions start from the same base: 8 x 14 and 200 of 720.
    EXPECT_EQ(Pixel(dialog.ResultDocument(), 2, 5), 39);
    EXPECT_EQ(Pixel(dialog.ResultDocument(), 41, 5), 70);
}

TEST_F(AnalysisTest, DemodulationPresetsSetTheOptionControls)
{
    AddDocument(8, 8, [](int, int) { return 0; });
    CDemodulationDlg dialog(app.get());
    Control<QCheckBox>(dialog, 1039)->setChecked(true);
    Control<QRadioButton>(dialog, 1079)->click();
    EXPECT_TRUE(Control<QCheckBox>(dialog, 1093)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1091)->isChecked()); // "&Moindres carrés 5x5"
    Control<QCheckBox>(dialog, 1081)->click();
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1099)->isChecked()); // type 2
    EXPECT_EQ(UnwrapFlagsOf(dialog.Options(), false), 0x001 | 0x002 | 0x040 | 0x080);
    Control<QPushButton>(dialog, 23)->click();
    EXPECT_TRUE(dialog.Options() == UnwrapOptions{});
    EXPECT_FALSE(Control<QCheckBox>(dialog, 1039)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1088)->isChecked());
}

TEST_F(AnalysisTest, FringePatternsMakeFourDocuments)
{
    struct Case {
        const char *contrast, *mean, *period;
        float storedContrast;
        int storedMean, storedPeriod;
        int mire0, mire180; // column 0
    };
    const Case cases[] = {
        {"1", "127", "30", 1.0f, 127, 30, 254, 0},
        {"1", "200", "30", 1.0f, 200, 30, 255, 0},
        {"1.5", "300", "0", 1.0f, 255, 1, 255, 0},
        {"-1", "-5", "-3", 0.0f, 0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        CFringePatternsDlg dialog(app.get());
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Mires sinusoïdales"));
        Control<QLineEdit>(dialog, 1125)->setText(c.contrast);
        Control<QLineEdit>(dialog, 1126)->setText(c.mean);
        Control<QLineEdit>(dialog, 1121)->setText(c.period);
        const int before = OpenDocuments();
        Control<QPushButton>(dialog, 1)->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(app->m_fFringeContrast, c.storedContrast);
        EXPECT_EQ(app->m_nFringeMean, c.storedMean);
        EXPECT_EQ(app->m_nFringePeriod, c.storedPeriod);
        const QList<QMdiSubWindow*> children = frame->MdiArea()->subWindowList();
        ASSERT_EQ(children.size(), before + 4);
        const char* names[] = {"Mire0", "Mire90", "Mire180", "Mire270"};
        for (int k = 0; k < 4; ++k) {
            const CFraloDoc* doc = static_cast<CChildFrame*>(children[before + k])->Document();
            EXPECT_EQ(doc->m_strName, names[k]);
            EXPECT_EQ(doc->m_nWidth, app->m_nDefaultWidth);
            EXPECT_EQ(doc->m_nHeight, app->m_nDefaultHeight);
            if (c.storedPeriod == 1) {
                EXPECT_EQ(Pixel(doc, 7, 3), Pixel(doc, 0, 0)) << names[k];
            }
        }
        EXPECT_EQ(Pixel(static_cast<CChildFrame*>(children[before])->Document(), 0, 5), c.mire0);
        EXPECT_EQ(Pixel(static_cast<CChildFrame*>(children[before + 2])->Document(), 0, 5),
                  c.mire180);
    }
    CFringePatternsDlg reopened(app.get());
    EXPECT_EQ(Control<QLineEdit>(reopened, 1121)->text(), "1");
}

TEST_F(AnalysisTest, FringePatternsRefuseAnEntryThatIsNoNumber)
{
    CFringePatternsDlg dialog(app.get());
    Control<QLineEdit>(dialog, 1126)->setText("abc");
    Control<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(messages, QStringList{"Entrez un entier."});
    EXPECT_EQ(OpenDocuments(), 0);
    EXPECT_EQ(app->m_nFringeMean, 127);
}

TEST_F(AnalysisTest, ZScaleOfTheActiveDocument)
{
    CFraloDoc* doc = AddDocument(8, 8, [](int, int) { return 0; });
    doc->m_nFringeCount = 9;
    doc->m_strName = "ImDemod3_M9";
    CSpeckleEchZDlg dialog(app.get());
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Speckle ou moiré: calcul EchZ"));
    EXPECT_EQ(Text(dialog, 1009), "ImDemod3_M9");
    EXPECT_EQ(Control<QLineEdit>(dialog, 1114)->text(), "9");
    EXPECT_EQ(Control<QLineEdit>(dialog, 1115)->text(), "8.300");
    EXPECT_EQ(Control<QLineEdit>(dialog, 1116)->text(), "632.8");
    EXPECT_TRUE(dialog.IsTimerActive(CSpeckleEchZDlg::TIMER_SCALE));
    dialog.OnTimer(CSpeckleEchZDlg::TIMER_SCALE);
    EXPECT_FLOAT_EQ(dialog.ScaleZ(), 1.2359375e-05f);
    EXPECT_EQ(Text(dialog, 1011), "EchZ=1.24e-05");
    EXPECT_TRUE(Enabled(dialog, 1));
    EXPECT_TRUE(Enabled(dialog, 1116));
    EXPECT_FALSE(Enabled(dialog, 1115));
    EXPECT_EQ(doc->m_fScaleZ, 1.0f);

    Control<QRadioButton>(dialog, 1001)->click();
    Control<QLineEdit>(dialog, 1114)->setText("0");
    Control<QLineEdit>(dialog, 1115)->setText("8.3");
    dialog.OnTimer(CSpeckleEchZDlg::TIMER_SCALE);
    EXPECT_FLOAT_EQ(dialog.ScaleZ(), 0.032421875f);
    EXPECT_EQ(Text(dialog, 1011), "EchZ=3.24e-02");
    EXPECT_FALSE(Enabled(dialog, 1116));
    EXPECT_TRUE(Enabled(dialog, 1115));
    EXPECT_EQ(doc->m_nFringeCount, 0);
    EXPECT_EQ(doc->m_fMoirePitch, 8.3f);

    Control<QLineEdit>(dialog, 1115)->setText("2.5");
    dialog.OnTimer(CSpeckleEchZDlg::TIMER_SCALE);
    EXPECT_EQ(doc->m_fMoirePitch, 2.5f);
    const struct {
        int id;
        const char* text;
    } invalid[] = {{1114, "-1"}, {1115, "-2"}, {1116, "-632.8"}, {1114, "abc"}};
    for (const auto& entry : invalid) {
        const QString kept = Control<QLineEdit>(dialog, entry.id)->text();
        Control<QLineEdit>(dialog, entry.id)->setText(entry.text);
        dialog.OnTimer(CSpeckleEchZDlg::TIMER_SCALE);
        EXPECT_EQ(Text(dialog, 1011), "EchZ= ?") << entry.text;
        EXPECT_FALSE(Enabled(dialog, 1)) << entry.text;
        Control<QLineEdit>(dialog, entry.id)->setText(kept);
    }
    EXPECT_EQ(doc->m_nFringeCount, 0);
    EXPECT_EQ(doc->m_fMoirePitch, 2.5f);
    EXPECT_FLOAT_EQ(dialog.ScaleZ(), 2.5f / 256);
    dialog.OnTimer(CSpeckleEchZDlg::TIMER_SCALE);
    Control<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.IsTimerActive(CSpeckleEchZDlg::TIMER_SCALE));
    EXPECT_EQ(doc->m_fScaleZ, 1.0f);
}

TEST_F(AnalysisTest, ZScaleOfADocumentWithoutJumpsOrOfNone)
{
    CSpeckleEchZDlg none(app.get());
    EXPECT_FALSE(none.IsTimerActive(CSpeckleEchZDlg::TIMER_SCALE));
    EXPECT_EQ(none.exec(), QDialog::Rejected);

    CFraloDoc* doc = AddDocument(8, 8, [](int, int) { return 0; });
    doc->m_nFringeCount = -1;
    CSpeckleEchZDlg dialog(app.get());
    EXPECT_EQ(Text(dialog, 1009), QString::fromUtf8("Image démodulée: ?"));
    EXPECT_EQ(Control<QLineEdit>(dialog, 1114)->text(), "0");
}

TEST_F(AnalysisTest, CommandsOpenTheirDialogsWhileNothingAcquires)
{
    for (int i = 0; i < 3; ++i)
        AddDocument(8, 8, [](int, int) { return 0; });
    const auto enabled = [this](int id) {
        frame->UpdateCommandUI();
        return frame->Action(id)->isEnabled();
    };
    EXPECT_TRUE(enabled(ID_FRINGE_PATTERNS));
    EXPECT_TRUE(enabled(ID_DEMODULATE));
    EXPECT_FALSE(enabled(ID_PHASE_COMPUTE));
    AddDocument(8, 8, [](int, int) { return 0; });
    EXPECT_TRUE(enabled(ID_PHASE_COMPUTE));

    const std::pair<int, const char*> titles[] = {
        {ID_FRINGE_PATTERNS, "Mires sinusoïdales"},
        {ID_PHASE_COMPUTE, "Calcul d'une image phasée à 4 images"},
        {ID_DEMODULATE, "Démodulation image phasée"},
    };
    for (const auto& [id, title] : titles) {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            QWidget* dialog = QApplication::activeModalWidget();
            shown = dialog->windowTitle();
            static_cast<QDialog*>(dialog)->reject();
        });
        EXPECT_TRUE(frame->Execute(id));
        EXPECT_EQ(shown, QString::fromUtf8(title));
    }

    app->m_pAcquiringDoc = frame->ActiveDocument();
    for (int id : {ID_FRINGE_PATTERNS, ID_PHASE_COMPUTE, ID_DEMODULATE})
        EXPECT_FALSE(enabled(id)) << id;
    app->m_pAcquiringDoc = nullptr;
}

} // namespace
