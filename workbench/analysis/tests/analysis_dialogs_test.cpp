#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <verodyn/operators.h>

#include "analysis_fixture.h"
#include "workbench/analysis/demodulation_dlg.h"
#include "workbench/analysis/fringe_patterns_dlg.h"
#include "workbench/analysis/phase4_dlg.h"
#include "workbench/analysis/z_scale_dlg.h"
#include "workbench/core/save_rules.h"

namespace {

int Zero(int, int) { return 0; }

// Gives `doc` an image of pixel type `type` ("complex" or "real", as the FFT
// family makes them), of its size.
void MakeFftImage(CFraloDoc* doc, const char* type)
{
    Vobject image;
    ASSERT_EQ(gen_image_const(&image, type, doc->m_nWidth, doc->m_nHeight), V_OK);
    doc->SetImage(image);
    doc->m_nKind = std::string(type) == "complex" ? KindComplexFft : KindFftDerived;
}

const char* const kFftRefused = "Calcul impossible sur images FFT ou de plus de 8 bits !";

TEST_F(AnalysisTest, PhaseDialogNeedsFourImages)
{
    for (int i = 0; i < 3; ++i)
        AddDocument(8, 8, Zero);
    CPhase4Dlg dialog(app.get());
    EXPECT_EQ(Text(dialog, 1004), QString::fromUtf8("Il faut 4 images différentes !"));
    EXPECT_FALSE(Enabled(dialog, 1));
    EXPECT_FALSE(dialog.IsTimerActive(CPhase4Dlg::TIMER_CHOICE));
}

TEST_F(AnalysisTest, PhaseDialogPreselectsTheLastFourAndChecksThemPairwise)
{
    for (int i = 0; i < 6; ++i)
        AddDocument(8, 8, Zero);
    DocumentList list;
    app->ListOpenDocuments(list);
    CPhase4Dlg dialog(app.get());
    EXPECT_TRUE(dialog.IsTimerActive(CPhase4Dlg::TIMER_CHOICE));
    const int boxes[] = {1028, 1021, 1030, 1025}; // i0, i90, i180, i270
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Control<QComboBox>(dialog, boxes[k])->currentIndex(), -1);
        EXPECT_EQ(Control<QComboBox>(dialog, boxes[k])->currentText(), list[2 + k]->m_strName);
    }
    EXPECT_FALSE(Enabled(dialog, 1));
    // Valid, i90 on i0's entry, valid again.
    const struct {
        int i90;
        const char* status;
    } ticks[] = {{-1, ""}, {2, "Les 4 images ne sont pas différentes!"}, {0, ""}};
    for (const auto& tick : ticks) {
        Control<QComboBox>(dialog, 1021)->setCurrentIndex(tick.i90);
        dialog.OnTimer(CPhase4Dlg::TIMER_CHOICE);
        EXPECT_EQ(Text(dialog, 1004), tick.status);
        EXPECT_EQ(Enabled(dialog, 1), *tick.status == 0);
    }
}

TEST_F(AnalysisTest, PhaseDialogRefusesFftImages)
{
    for (int i = 0; i < 4; ++i)
        AddDocument(8, 8, Zero);
    for (const char* type : {"complex", "real"}) {
        MakeFftImage(frame->ActiveDocument(), type);
        CPhase4Dlg dialog(app.get());
        dialog.OnTimer(CPhase4Dlg::TIMER_CHOICE);
        EXPECT_EQ(Text(dialog, 1004), QString::fromUtf8(kFftRefused)) << type;
        EXPECT_FALSE(Enabled(dialog, 1)) << type;
    }
}

// Runs the phase dialog on four documents listed from `i0` on.
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
    // Per column: (i270 - i90, i0 - i180) = (100, 100); i0 = i180 with i270 - i90
    // 0, > 0 and < 0; i270 = i90 with i0 < i180. i270 is a colour image whose
    // (30 R + 59 G + 11 B) / 100 is 150, 10, 30, 0, 60.
    const int i0[] = {150, 80, 80, 80, 20}, i90[] = {50, 10, 10, 10, 60},
              i180[] = {50, 80, 80, 80, 120};
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
    EXPECT_EQ(result->Title(), QString("ImPhasee%1 (5x3)").arg(app->m_nImageCounter));
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
    EXPECT_EQ(result->Title(), QString("ImPhasee%1 (8x4)").arg(app->m_nImageCounter));
    // Inside i90 (num, den) = (100, 100); outside i90 reads 0: atan(150 / 100).
    EXPECT_EQ(Pixel(result, 3, 1), 31);
    EXPECT_EQ(Pixel(result, 4, 1), 39);
    EXPECT_EQ(Pixel(result, 0, 2), 39);
}

TEST_F(AnalysisTest, PhaseDialogThatFailsLeavesNoNewDocument)
{
    CFraloDoc* docs[4];
    for (CFraloDoc*& doc : docs)
        doc = AddDocument(5, 3, [](int, int) { return 80; });
    docs[0]->m_nWidth = 0; // the library refuses a result of no width
    const int16_t counter = app->m_nImageCounter;
    frame->MdiArea()->setActiveSubWindow(docs[0]->m_pChildFrame);
    CPhase4Dlg dialog(app.get());
    dialog.OnTimer(CPhase4Dlg::TIMER_CHOICE);
    dialog.findChild<QPushButton*>(ControlName(1))->click();
    EXPECT_EQ(messages, QStringList{QString::fromUtf8(
                            "Erreur de la bibliothèque d'images n°1301 !\ngen_image_const: wrong "
                            "value of a control parameter")});
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(OpenDocuments(), 4);
    EXPECT_EQ(app->m_nImageCounter, counter);
    EXPECT_EQ(frame->ActiveDocument(), docs[0]);
}

TEST_F(AnalysisTest, DemodulationNeedsAPhasedImageOtherThanTheMask)
{
    const QString refused = QString::fromUtf8("L'image phasée doit être différente du masque !");
    CDemodulationDlg empty(app.get());
    EXPECT_EQ(Text(empty, 1003), "?");
    EXPECT_EQ(Text(empty, 1004), "NOUVELLE IMAGE");
    // A press before the choice's first check runs nothing.
    Control<QPushButton>(empty, 1107)->click();
    EXPECT_EQ(empty.ResultDocument(), nullptr);
    EXPECT_TRUE(empty.IsTimerActive(CDemodulationDlg::TIMER_CHOICE));
    empty.OnTimer(CDemodulationDlg::TIMER_CHOICE);
    EXPECT_FALSE(Enabled(empty, 1107));
    EXPECT_EQ(Text(empty, 1003), refused);

    AddDocument(8, 8, Zero);
    CDemodulationDlg dialog(app.get());
    auto* mask = Control<QComboBox>(dialog, 1073);
    EXPECT_EQ(mask->itemText(1), "AUCUNE");
    EXPECT_EQ(mask->currentText(), "AUCUNE");
    EXPECT_EQ(mask->currentIndex(), -1);
    // The status stays when the choice is valid again.
    for (int selection : {-1, 0, 1}) {
        mask->setCurrentIndex(selection);
        dialog.OnTimer(CDemodulationDlg::TIMER_CHOICE);
        EXPECT_EQ(Enabled(dialog, 1107), selection != 0);
        EXPECT_EQ(Text(dialog, 1003), selection == -1 ? "?" : refused);
    }
}

TEST_F(AnalysisTest, DemodulationOfARampMakesOneDocumentPerRun)
{
    const CFraloDoc* ramp = AddDocument(64, 16, [](int x, int) { return (8 * x) & 255; });
    CDemodulationDlg dialog(app.get());
    QString during; // the buttons' state and the status while the unwrapper runs
    dialog.SetUnwrapper([&](int w, int h, const std::int32_t* phase, const std::int32_t* mask,
                            std::int32_t* out, UnwrapFlags flags) {
        during = QString("%1%2%3 %4 %5")
                     .arg(Enabled(dialog, 2))
                     .arg(Enabled(dialog, 23))
                     .arg(Enabled(dialog, 1107))
                     .arg(Text(dialog, 1003))
                     .arg(flags);
        CPhaseUnwrapper unwrapper;
        return unwrapper.Unwrap(w, h, phase, mask, out, flags);
    });
    for (int run = 0; run < 2; ++run) {
        Control<QPushButton>(dialog, 1107)->click();
        const CFraloDoc* result = dialog.ResultDocument();
        ASSERT_NE(result, ramp);
        EXPECT_EQ(OpenDocuments(), 2 + run);
        EXPECT_EQ(during, "000 (mode: 16) 16");
        EXPECT_TRUE(Enabled(dialog, 2) && Enabled(dialog, 23) && Enabled(dialog, 1107));
        EXPECT_EQ(Text(dialog, 1003), "Nb. de sauts de phase: M=1");
        EXPECT_EQ(result->Title(), QString("ImDemod%1_M1 (64x16)").arg(app->m_nImageCounter));
        EXPECT_EQ(Text(dialog, 1004), result->m_strName);
        EXPECT_EQ(result->m_nFringeCount, 1);
        EXPECT_EQ(Pixel(result, 31, 7), 125);
        EXPECT_EQ(Pixel(result, 61, 7), 255);
        // The 2-pixel frame is 0.
        for (int x = 0; x < 64; ++x)
            EXPECT_EQ(Pixel(result, x, 1) + Pixel(result, x, 14), 0);
        EXPECT_EQ(Pixel(result, 1, 7) + Pixel(result, 62, 7), 0);
        EXPECT_TRUE(dialog.IsTimerActive(CDemodulationDlg::TIMER_CHOICE));
    }
}

TEST_F(AnalysisTest, DemodulationIsReadyAgainAfterAFailure)
{
    AddDocument(8, 8, Zero);
    CDemodulationDlg dialog(app.get());
    dialog.SetUnwrapper([](int, int, const std::int32_t*, const std::int32_t*, std::int32_t*,
                           UnwrapFlags) -> int { throw std::bad_alloc(); });
    Control<QPushButton>(dialog, 1107)->click();
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Mémoire insuffisante !")});
    EXPECT_EQ(OpenDocuments(), 1) << "no empty result";
    EXPECT_TRUE(Enabled(dialog, 2) && Enabled(dialog, 23) && Enabled(dialog, 1107));
    EXPECT_TRUE(dialog.IsTimerActive(CDemodulationDlg::TIMER_CHOICE));
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

TEST_F(AnalysisTest, DemodulationRefusesAnFftImageAsThePhasedImage)
{
    MakeFftImage(AddDocument(16, 16, Zero), "real");
    CDemodulationDlg dialog(app.get());
    Control<QPushButton>(dialog, 1107)->click();
    EXPECT_EQ(messages, QStringList{QString::fromUtf8(kFftRefused)});
    EXPECT_EQ(OpenDocuments(), 1);
    EXPECT_EQ(dialog.ResultDocument(), nullptr);
    EXPECT_TRUE(dialog.IsTimerActive(CDemodulationDlg::TIMER_CHOICE));
}

TEST_F(AnalysisTest, DemodulationPresetsSetTheOptionControls)
{
    AddDocument(8, 8, Zero);
    CDemodulationDlg dialog(app.get());
    Control<QRadioButton>(dialog, 1079)->click();
    EXPECT_TRUE(Control<QCheckBox>(dialog, 1093)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1091)->isChecked()); // "&Moindres carrés 5x5"
    Control<QPushButton>(dialog, 23)->click();
    EXPECT_FALSE(Control<QCheckBox>(dialog, 1093)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1088)->isChecked());
}

TEST_F(AnalysisTest, FringePatternsMakeFourDocuments)
{
    struct Case {
        const char *contrast, *mean, *period;
        float storedContrast;
        int storedMean, storedPeriod, mire0, mire180; // column 0
    };
    const Case cases[] = {
        {"1", "127", "30", 1.0f, 127, 30, 254, 0},
        {"1", "200", "30", 1.0f, 200, 30, 255, 0},
        {"1.5", "300", "0", 1.0f, 255, 1, 255, 0}, // period 1: uniform images
        {"-1", "-5", "-3", 0.0f, 0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        CFringePatternsDlg dialog(app.get());
        Control<QLineEdit>(dialog, 1125)->setText(c.contrast);
        Control<QLineEdit>(dialog, 1126)->setText(c.mean);
        Control<QLineEdit>(dialog, 1121)->setText(c.period);
        const int before = OpenDocuments();
        Control<QPushButton>(dialog, 1)->click();
        EXPECT_EQ(app->m_fFringeContrast, c.storedContrast);
        EXPECT_EQ(app->m_nFringeMean, c.storedMean);
        EXPECT_EQ(app->m_nFringePeriod, c.storedPeriod);
        const QList<QMdiSubWindow*> children = frame->MdiArea()->subWindowList();
        ASSERT_EQ(children.size(), before + 4);
        const auto mire = [&](int k) {
            return static_cast<CChildFrame*>(children[before + k])->Document();
        };
        const char* names[] = {"Mire0", "Mire90", "Mire180", "Mire270"};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(mire(k)->Title(), QString("%1 (%2x%3)")
                                            .arg(names[k])
                                            .arg(app->m_nDefaultWidth)
                                            .arg(app->m_nDefaultHeight));
            EXPECT_TRUE(c.storedPeriod > 1 || Pixel(mire(k), 7, 3) == Pixel(mire(k), 0, 0)) << k;
        }
        EXPECT_EQ(Pixel(mire(0), 0, 5), c.mire0);
        EXPECT_EQ(Pixel(mire(2), 0, 5), c.mire180);
    }
}

TEST_F(AnalysisTest, FringePatternsThatFailLeaveNoEmptyDocument)
{
    app->m_nDefaultWidth = 0; // the library refuses a pattern of no width
    CFringePatternsDlg dialog(app.get());
    Control<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(messages, QStringList{QString::fromUtf8(
                            "Erreur de la bibliothèque d'images n°1301 !\ngen_image_const: wrong "
                            "value of a control parameter")});
    EXPECT_EQ(OpenDocuments(), 0);
}

TEST_F(AnalysisTest, FringePatternsRefuseAnEntryThatIsNoNumber)
{
    CFringePatternsDlg dialog(app.get());
    Control<QLineEdit>(dialog, 1126)->setText("abc");
    Control<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(messages, QStringList{"Entrez un entier."});
    EXPECT_EQ(OpenDocuments(), 0);
}

TEST_F(AnalysisTest, ZScaleOfTheActiveDocument)
{
    CFraloDoc* doc = AddDocument(8, 8, Zero);
    doc->m_nFringeCount = 9;
    CSpeckleEchZDlg dialog;
    const auto entry = [&](int id) { return Control<QLineEdit>(dialog, id); };
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Speckle ou moiré: calcul EchZ"));
    EXPECT_EQ(Text(dialog, 1009), doc->m_strName);
    EXPECT_EQ(entry(1114)->text() + entry(1115)->text() + entry(1116)->text(), "98.300632.8");
    dialog.OnTimer(CSpeckleEchZDlg::TIMER_SCALE);
    EXPECT_FLOAT_EQ(dialog.ScaleZ(), 1.2359375e-05f);
    EXPECT_EQ(Text(dialog, 1011), "EchZ=1.24e-05");
    EXPECT_TRUE(Enabled(dialog, 1) && Enabled(dialog, 1116) && !Enabled(dialog, 1115));

    Control<QRadioButton>(dialog, 1001)->click();
    entry(1114)->setText("0");
    entry(1115)->setText("2.5");
    dialog.OnTimer(CSpeckleEchZDlg::TIMER_SCALE);
    EXPECT_FLOAT_EQ(dialog.ScaleZ(), 2.5f / 256);
    EXPECT_TRUE(!Enabled(dialog, 1116) && Enabled(dialog, 1115));
    EXPECT_EQ(doc->m_nFringeCount, 0);
    EXPECT_EQ(doc->m_fMoirePitch, 2.5f);

    entry(1114)->setText("-1");
    dialog.OnTimer(CSpeckleEchZDlg::TIMER_SCALE);
    EXPECT_EQ(Text(dialog, 1011), "EchZ= ?");
    EXPECT_FALSE(Enabled(dialog, 1));
    EXPECT_EQ(doc->m_nFringeCount, 0);
    EXPECT_EQ(doc->m_fMoirePitch, 2.5f);
    EXPECT_FLOAT_EQ(dialog.ScaleZ(), 2.5f / 256);
    dialog.reject();
    EXPECT_FALSE(dialog.IsTimerActive(CSpeckleEchZDlg::TIMER_SCALE));
    EXPECT_EQ(doc->m_fScaleZ, 1.0f);
}

TEST_F(AnalysisTest, ZScaleOfADocumentWithoutJumpsOrOfNone)
{
    CSpeckleEchZDlg none;
    EXPECT_EQ(none.exec(), QDialog::Rejected);

    AddDocument(8, 8, Zero)->m_nFringeCount = -1;
    CSpeckleEchZDlg dialog;
    EXPECT_EQ(Text(dialog, 1009), QString::fromUtf8("Image démodulée: ?"));
    EXPECT_EQ(Control<QLineEdit>(dialog, 1114)->text(), "0");
}

TEST_F(AnalysisTest, CommandsOpenTheirDialogsWhileNothingAcquires)
{
    const auto enabled = [this](int id) {
        frame->UpdateCommandUI();
        return frame->Action(id)->isEnabled();
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(enabled(ID_PHASE_COMPUTE)) << i;
        AddDocument(8, 8, Zero);
    }
    const std::pair<int, const char*> titles[] = {
        {ID_FRINGE_PATTERNS, "Mires sinusoïdales"},
        {ID_PHASE_COMPUTE, "Calcul d'une image phasée à 4 images"},
        {ID_DEMODULATE, "Démodulation image phasée"},
    };
    for (const auto& [id, title] : titles) {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto* dialog = static_cast<QDialog*>(QApplication::activeModalWidget());
            shown = dialog->windowTitle();
            dialog->reject();
        });
        EXPECT_TRUE(frame->Execute(id));
        EXPECT_EQ(shown, QString::fromUtf8(title));
    }
    app->Live().Acquire(*frame->ActiveDocument());
    for (int id : {ID_FRINGE_PATTERNS, ID_PHASE_COMPUTE, ID_DEMODULATE})
        EXPECT_FALSE(enabled(id)) << id;
    app->Live().End();
}

} // namespace
