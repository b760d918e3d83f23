// The pages of the phase-shift acquisition dialog on the optical bench: their
// step values and texts, the run's failures, the viewing cycle, the
// subtraction and what a page leaves behind when it closes.
#include <QGridLayout>
#include <QLineEdit>

#include <verodyn/operators.h>

#include "metrology/acquisition/phase_sequence.h"
#include "metrology/acquisition/sequence_texts.h"
#include "phase_fixture.h"
#include "workbench/phase/camera_port.h"

namespace {

using namespace std::chrono_literals;

std::vector<uint8_t> PlaneOf(const Vobject& image)
{
    const PlaneView view = ViewPlanes(image);
    return {view.planes[0], view.planes[0] + std::size_t(view.width) * view.height};
}

class PhasePageTest : public PhaseBenchTest {
protected:
    static QString EditText(QWidget& page, int id) { return Control<QLineEdit>(page, id)->text(); }
};

// The row and column of `widget` in the grids of `page`.
std::pair<int, int> GridCell(QWidget& page, QWidget* widget)
{
    for (QGridLayout* grid : page.findChildren<QGridLayout*>())
        if (const int index = grid->indexOf(widget); index >= 0) {
            int row = 0, column = 0, rows = 0, columns = 0;
            grid->getItemPosition(index, &row, &column, &rows, &columns);
            return {row, column};
        }
    return {-1, -1};
}

TEST_F(PhasePageTest, StepValuesSitOnTheirRowsAndEachMnemonicLeadsToItsControl)
{
    auto* piezo = Open<CPiezoPhasePage>(CPhaseAcqDlg::TabPiezo);
    const int edits[] = {1032, 1028, 1029, 1030, 1031};
    for (int k = 0; k < 5; ++k) {
        const int row = GridCell(*piezo, Control<QLineEdit>(*piezo, edits[k])).first;
        EXPECT_EQ(GridCell(*piezo, Control<QLabel>(*piezo, 1042 + k)), std::pair(row, 2)) << k;
    }
    EXPECT_EQ(GridCell(*piezo, Control<QLabel>(*piezo, 1018)).first,
              GridCell(*piezo, Control<QLineEdit>(*piezo, 1031)).first + 1);

    for (int tab : {CPhaseAcqDlg::TabPiezo, CPhaseAcqDlg::TabStage, CPhaseAcqDlg::TabProjector,
                    CPhaseAcqDlg::TabStepper}) {
        dialog = std::make_unique<CPhaseAcqDlg>(app.get(), bench.clock);
        dialog->Tabs()->setCurrentIndex(tab);
        QWidget& page = *dialog->Page();
        int tied = 0;
        for (QLabel* label : page.findChildren<QLabel*>()) {
            if (!label->text().contains('&'))
                continue;
            const auto [row, column] = GridCell(page, label);
            EXPECT_EQ(GridCell(page, label->buddy()), std::pair(row, column + 1))
                << label->text().toStdString();
            ++tied;
        }
        EXPECT_EQ(tied, tab == CPhaseAcqDlg::TabProjector ? 3 : 7) << tab;
    }
}

TEST_F(PhasePageTest, PiezoSetpointsLeftAsShownStayOverRunsAndReopening)
{
    bench.Plug(0);
    const std::array<int16_t, 4> defaults = {409, 476, 544, 611};
    for (int runs : {3, 1}) {
        auto* page = Open<CPiezoPhasePage>(CPhaseAcqDlg::TabPiezo);
        for (int run = 0; run < runs; ++run) {
            Run(*page);
            EXPECT_EQ(app->m_nPhaseSteps, defaults) << runs << " " << run;
        }
    }
}

TEST_F(PhasePageTest, ARunsResultIsNeverTakenAsTheNextPagesCamera)
{
    auto* piezo = Open<CPiezoPhasePage>(CPhaseAcqDlg::TabPiezo);
    Run(*piezo);
    CFraloDoc* phase = piezo->PhaseDocument();
    const QString name = phase->m_strName;
    const std::vector<uint8_t> computed = piezo->Sequence()->Phase();
    frame->MdiArea()->setActiveSubWindow(phase->m_pChildFrame);
    dialog->Tabs()->setCurrentIndex(CPhaseAcqDlg::TabStage);
    auto* stage = qobject_cast<CStagePhasePage*>(dialog->Page());
    ASSERT_NE(stage->CameraDocument(), nullptr);
    EXPECT_NE(stage->CameraDocument(), phase);
    Run(*stage);
    dialog.reset();
    EXPECT_EQ(phase->m_strName, name);
    EXPECT_EQ(PlaneOf(phase->m_image), computed);
}

TEST_F(PhasePageTest, PiezoValuesAreShownValidatedAndSent)
{
    auto& supply = bench.Plug(0);
    auto* page = Open<CPiezoPhasePage>(CPhaseAcqDlg::TabPiezo);
    EXPECT_EQ(dialog->Tabs()->tabText(0), QString::fromUtf8("Piézo COM1"));
    const int edits[] = {1028, 1029, 1030, 1031};
    QStringList shown;
    for (int id : edits)
        shown << EditText(*page, id);
    EXPECT_EQ(shown, (QStringList{"199.9", "232.6", "265.9", "298.6"}));
    EXPECT_EQ(Text(*page, 1042), "(  0)");
    EXPECT_EQ(Text(*page, 1043), "(409)");
    EXPECT_EQ(Text(*page, 1018), "Alim 1 [0, 500 V] sur COM1...");
    EXPECT_EQ(page->Status(), QString::fromUtf8("Déph. de PI/2 entre les tensions piézo..."));

    app->m_nSupplyFullScale = 100;
    for (int id : edits)
        Control<QLineEdit>(*page, id)->setText("99");
    app->m_nSliderPos = 77;
    Run(*page, 7);
    shown.clear();
    for (int id : edits)
        shown << EditText(*page, id);
    EXPECT_EQ(shown, (QStringList{"94.9", "96.0", "97.0", "97.9"}));
    EXPECT_EQ(app->m_nPhaseSteps, (std::array<int16_t, 4>{971, 982, 992, 1002}));
    EXPECT_EQ(page->Status(), "U(V): 0 (0/1023)");
    for (int tick = 0; tick < 200 && page->Sequence()->Timer(); ++tick)
        Tick(*page);
    supply.Service();
    std::vector<int> sent;
    for (const auto& setpoint : supply.Setpoints())
        sent.push_back(setpoint.value);
    EXPECT_EQ(sent, (std::vector<int>{0, 971, 982, 992, 1002, 0}));
    EXPECT_EQ(app->m_nSliderPos, 0);
    EXPECT_FALSE(Enabled(*page, 1032));
    EXPECT_TRUE(Enabled(*page, 1028));
}

TEST_F(PhasePageTest, StageAndStepperValuesAreClamped)
{
    auto* stage = Open<CStagePhasePage>(CPhaseAcqDlg::TabStage);
    Control<QLineEdit>(*stage, 1033)->setText("12.5");
    Control<QLineEdit>(*stage, 1034)->setText("-1");
    Run(*stage, 6);
    EXPECT_EQ(EditText(*stage, 1033), "10.000");
    EXPECT_EQ(EditText(*stage, 1034), "0.000");
    EXPECT_EQ(app->m_fStagePos[0], 10.0f);

    auto* stepper = Open<CStepperPhasePage>(CPhaseAcqDlg::TabStepper);
    EXPECT_FALSE(Enabled(*stepper, 1033));
    Control<QLineEdit>(*stepper, 1034)->setText("5000");
    Control<QLineEdit>(*stepper, 1035)->setText("abc");
    Control<QPushButton>(*stepper, CPhasePage::IDC_ACQUIRE)->click();
    EXPECT_EQ(EditText(*stepper, 1034), "1000");
    EXPECT_EQ(EditText(*stepper, 1035), "0");
    // The motor is reset before the run's first timer.
    std::vector<uint8_t> writes;
    for (const auto& write : bench.stepper->Writes())
        writes.push_back(write.value);
    EXPECT_EQ(writes, (std::vector<uint8_t>{0x04, 0x00}));
    EXPECT_EQ(Text(*stepper, 1037), "Reset moteur...");
    EXPECT_TRUE(stepper->IsTimerActive(9));
}

TEST_F(PhasePageTest, AStepperMoveGoesOnStepByStepUntilFermerEndsIt)
{
    auto* page = Open<CStepperPhasePage>(CPhaseAcqDlg::TabStepper);
    Control<QLineEdit>(*page, 1034)->setText("250");
    Run(*page, 48); // up to the grab of Im0, which sets off to X2
    EXPECT_EQ(page->Status(), "X2(pas): 250");
    for (int tick = 0; tick < 20; ++tick)
        Tick(*page);
    EXPECT_EQ(Text(*page, 1037), "+ 10/250");
    EXPECT_TRUE(page->IsTimerActive(acquisition::PhaseSequence::kMoveTimer));
    // The direction level, then the pulse and the level 20 ms apart.
    const std::vector<qdriver::StepperWrite> writes = bench.stepper->Writes();
    ASSERT_EQ(writes.size(), 2u + 21u);
    EXPECT_EQ(writes.back().time - writes[2].time, 20 * 20ms);

    QPushButton* close = nullptr;
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == QString::fromUtf8("&Fermer"))
            close = button;
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_EQ(dialog->Page(), nullptr);
    EXPECT_EQ(bench.stepper->Position(), 10);
    EXPECT_EQ(bench.stepper->Writes().size(), writes.size());
}

TEST_F(PhasePageTest, AStageWithoutCardAcquiresWithoutMoving)
{
    bench.card->SetAbsent(true);
    auto* page = Open<CStagePhasePage>(CPhaseAcqDlg::TabStage);
    const QString absent = QString::fromUtf8("Carte P.I. C832 non trouvée !");
    EXPECT_EQ(page->Status(), absent);
    Run(*page);
    EXPECT_TRUE(page->Sequence()->HasPhase());
    EXPECT_EQ(page->Status(), absent);
    EXPECT_TRUE(bench.card->Commands().empty());
}

TEST_F(PhasePageTest, RunsThatCannotGoOnStopWithTheLiveMessage)
{
    auto* page = Open<CStepperPhasePage>(CPhaseAcqDlg::TabStepper);
    const QString lost = QString::fromUtf8(acquisition::kLiveFailedText);
    // The camera dies between Im0 and Im90.
    Run(*page, 60);
    grabber.dead = true;
    for (int tick = 0; tick < 100 && page->Sequence()->Timer(); ++tick)
        Tick(*page);
    EXPECT_EQ(page->Status(), lost);
    EXPECT_FALSE(page->Sequence()->HasPhase());
    EXPECT_NE(page->PhaseDocument()->m_strName.left(8), "ImPhasee");
    // The user may try again, but has nothing to view yet.
    EXPECT_TRUE(Enabled(*page, CPhasePage::IDC_ACQUIRE));
    EXPECT_TRUE(Enabled(*page, 1034));
    EXPECT_FALSE(Enabled(*page, CPhasePage::IDC_SHOW_ALL));

    // A camera that does not start leaves the page disabled.
    grabber.dead = false;
    grabber.refuses = true;
    auto* refused = Open<CStepperPhasePage>(CPhaseAcqDlg::TabStepper);
    Run(*refused);
    EXPECT_EQ(refused->Status(), lost);
    EXPECT_FALSE(Enabled(*refused, CPhasePage::IDC_ACQUIRE));

    // A source that does not start.
    auto* next = Open<CStepperPhasePage>(CPhaseAcqDlg::TabStepper);
    app->m_nSource = SourceNone;
    Control<QPushButton>(*next, CPhasePage::IDC_ACQUIRE)->click();
    EXPECT_FALSE(Enabled(*next, CPhasePage::IDC_ACQUIRE));
    EXPECT_FALSE(Enabled(*next, CPhasePage::IDC_REFERENCE));
    EXPECT_EQ(next->Sequence()->Timer(), 0);
}

TEST_F(PhasePageTest, AStageRunCutOffByALimitCanBeRunAgain)
{
    bench.card->SetTravel(1, -1000000, 40000);
    auto* page = Open<CStagePhasePage>(CPhaseAcqDlg::TabStage);
    Control<QLineEdit>(*page, 1033)->setText("0.5");
    Run(*page);
    EXPECT_EQ(page->Status(), QString::fromUtf8(instruments::kOverTravelText));
    ASSERT_TRUE(Enabled(*page, CPhasePage::IDC_ACQUIRE));
    bench.card->SetTravel(1, -1000000, 1000000);
    Run(*page);
    EXPECT_EQ(page->Status(), QString::fromUtf8(acquisition::kPhaseDoneText));
    EXPECT_TRUE(page->Sequence()->HasPhase());
}

TEST_F(PhasePageTest, ViewingCycleAndSubtractionAgainstAReference)
{
    CFraloDoc* reference = AddDocument(kWidth, kHeight, [](int, int) { return 250; });
    frame->MdiArea()->setActiveSubWindow(camera->m_pChildFrame);
    auto* page = Open<CStepperPhasePage>(CPhaseAcqDlg::TabStepper);
    auto* box = Control<QComboBox>(*page, CPhasePage::IDC_REFERENCE);
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->currentText(), "AUCUNE");
    box->setCurrentIndex(0);
    Run(*page);
    ASSERT_TRUE(Enabled(*page, CPhasePage::IDC_SUBTRACT));
    Control<QPushButton>(*page, CPhasePage::IDC_SUBTRACT)->click();
    CFraloDoc* difference = page->SubtractDocument();
    ASSERT_NE(difference, nullptr);
    const int number = page->PhaseDocument()->m_nImageNumber;
    EXPECT_EQ(difference->m_strName, QStringLiteral("DifPhase%1").arg(number));
    const std::vector<uint8_t>& phase = page->Sequence()->Phase();
    const std::vector<uint8_t> result = PlaneOf(difference->m_image);
    for (size_t i = 0; i < phase.size(); i += 997)
        ASSERT_EQ(result[i], uint8_t(phase[i] - 250)) << i;
    EXPECT_EQ(page->PhaseDocument()->m_strName, "DifPhase");
    EXPECT_FALSE(Enabled(*page, CPhasePage::IDC_SUBTRACT));

    QStringList names, texts;
    for (int press = 0; press < 8; ++press) {
        Control<QPushButton>(*page, CPhasePage::IDC_SHOW_ALL)->click();
        names << page->PhaseDocument()->m_strName;
        texts << page->Status();
    }
    const QString phaseName = QStringLiteral("ImPhasee%1").arg(number);
    EXPECT_EQ(names, (QStringList{"Im0", "Im90", "Im180", "Im270", phaseName, reference->m_strName,
                                  difference->m_strName, "Im0"}));
    EXPECT_EQ(texts[5], QString::fromUtf8("Image phasée référence visualisée."));
    EXPECT_EQ(texts[6], QString::fromUtf8("Image soustraction modulo 256 visualisée."));
}

TEST_F(PhasePageTest, ClosingLeavesTheLastCompleteRunInFilesAndMosaic)
{
    shift = [&] { return optical_bench::StepperFringes(bench.stepper->Position()); };
    auto* page = Open<CStepperPhasePage>(CPhaseAcqDlg::TabStepper);
    Run(*page);
    std::array<std::vector<uint8_t>, 4> frames;
    for (int step = 0; step < 4; ++step)
        frames[step] = page->Sequence()->Frame(step);
    // A second run cut off after two frames, on another surface.
    optics.SetFlat(true);
    Run(*page, 80);
    ASSERT_NE(page->Sequence()->Timer(), 0);
    dialog->Tabs()->setCurrentIndex(CPhaseAcqDlg::TabStage);

    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    for (int step = 0; step < 4; ++step) {
        Vobject image;
        const std::string path = "im" + std::string(acquisition::StepName(step) + 2) + ".tif";
        ASSERT_EQ(read_image(&image, path.c_str()), V_OK) << path;
        EXPECT_EQ(PlaneOf(image), frames[step]) << path;
    }
    EXPECT_EQ(camera->m_strName, "Im0_270");
    EXPECT_EQ(camera->m_nWidth, kWidth);
    EXPECT_EQ(camera->m_nHeight, kHeight);
    // Tile Im90 (top right) shows frame 1 at half size.
    EXPECT_EQ(Pixel(camera, kWidth / 2 + 10, 20), frames[1][std::size_t(41) * kWidth + 21]);
}

TEST_F(PhasePageTest, AnUnwritableFolderIsReported)
{
    auto* page = Open<CStepperPhasePage>(CPhaseAcqDlg::TabStepper);
    Run(*page);
    QDir(dir.path()).mkdir("im0.tif");
    dialog.reset();
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Erreur d'écriture de l'image !")});
}

} // namespace

namespace {

TEST_F(PhasePageTest, TheCommandsNeedACameraDocumentAndALiveSource)
{
    frame->UpdateCommandUI();
    for (int id : {ID_PHASE_ACQUISITION, ID_TIME_AVERAGED})
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    app->m_nSource = SourceTwain;
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->Action(ID_PHASE_ACQUISITION)->isEnabled());
    app->m_nSource = SourceUsbCameraLarge;
    delete camera->m_pChildFrame;
    frame->UpdateCommandUI();
    for (int id : {ID_PHASE_ACQUISITION, ID_TIME_AVERAGED})
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
}

TEST_F(PhasePageTest, TheCameraFrameIsBroughtToTheRunsSizeAndMadeGrey)
{
    const std::vector<uint8_t> grey = {10, 20, 30, 40}, red = {100, 0, 0, 0}, blue = {0, 0, 0, 200};
    struct Case {
        const char* name;
        int width, height;
        bool colour;
        std::vector<uint8_t> expected; // the 2 x 2 plane
    } cases[] = {
        {"same size", 2, 2, false, grey},
        {"colour", 2, 2, true, {35, 11, 17, 45}},  // (30 R + 59 G + 11 B) / 100
        {"zoomed", 4, 1, false, {20, 40, 20, 40}}, // nearest of 4 x 1
    };
    for (const Case& c : cases) {
        Vobject frame;
        if (c.colour)
            gen_image3(&frame, "byte", c.width, c.height, red.data(), grey.data(), blue.data());
        else
            gen_image1(&frame, "byte", c.width, c.height, grey.data());
        camera->SetImage(frame);
        CameraPort port(*app, *camera, 2, 2);
        std::vector<uint8_t> plane(4, 99);
        EXPECT_TRUE(port.Grab(plane.data())) << c.name;
        EXPECT_EQ(plane, c.expected) << c.name;
        EXPECT_EQ(port.Failure(), "") << c.name;
    }
    // Frames that give no grey plane of the run's size: their own channels and size.
    Vobject wide16;
    gen_image_const(&wide16, "uint2", 6, 3);
    const struct Failure {
        const char* name;
        Vobject frame;
        const char* text;
    } failures[] = {
        {"no image", Vobject(), "Erreur dimensions image:\n0,0,0,2"},
        {"16-bit", wide16, "Erreur dimensions image:\n1,2,2,2"}, // zoomed, yet no bytes
    };
    for (const Failure& f : failures) {
        camera->SetImage(f.frame);
        CameraPort port(*app, *camera, 2, 2);
        std::vector<uint8_t> plane(4);
        EXPECT_FALSE(port.Grab(plane.data())) << f.name;
        EXPECT_EQ(port.Failure(), f.text) << f.name;
    }
}

} // namespace
