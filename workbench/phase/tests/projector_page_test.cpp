// The projector page on the optical bench: the camera sees the projected
// pattern displaced by the surface; a flat reference run, then the surface,
// and the demodulation of the difference.
#include <QCheckBox>
#include <QLineEdit>

#include "metrology/acquisition/sequence_texts.h"
#include "phase_fixture.h"
#include "tests/support/known_surface.h"
#include "workbench/phase/projector_phase_page.h"

namespace {

class BenchProjector final : public acquisition::ProjectorOutput {
public:
    explicit BenchProjector(optical_bench::Interferometer& optics) : m_optics(optics) { }
    void Project(const std::uint8_t* pattern, int period) override
    {
        m_optics.Project(pattern, period);
    }

private:
    optical_bench::Interferometer& m_optics;
};

// The live view's own message on a camera that gives no frame.
const QString kCameraLost = QString::fromUtf8(
    "Erreur sur fonction Acq. permanente !\nVérifier votre caméra (shutter, diaphragme, ...");

class ProjectorTest : public PhaseBenchTest {
protected:
    CProjectorPhasePage* OpenProjector()
    {
        frame->MdiArea()->setActiveSubWindow(camera->m_pChildFrame);
        PlugSupplyUnlessPlugged();
        dialog = std::make_unique<CPhaseAcqDlg>(app.get(), bench.clock, nullptr, &projector);
        dialog->Tabs()->setCurrentIndex(CPhaseAcqDlg::TabProjector);
        return qobject_cast<CProjectorPhasePage*>(dialog->Page());
    }
    void Acquire(CProjectorPhasePage& page)
    {
        Control<QPushButton>(page, CProjectorPhasePage::IDC_ACQUIRE)->click();
        for (int tick = 0; tick < 1000 && page.Sequence()->Timer(); ++tick) {
            FireLiveTimers();
            const int timer = page.Sequence()->Timer();
            if (page.IsTimerActive(timer))
                page.OnTimer(timer);
        }
    }

    BenchProjector projector{optics};
};

TEST_F(ProjectorTest, PeriodIsClampedAndWithoutReferenceThereIsNoDemodulation)
{
    auto* page = OpenProjector();
    ASSERT_NE(page, nullptr);
    auto* period = Control<QLineEdit>(*page, CProjectorPhasePage::IDC_PERIOD);
    EXPECT_EQ(period->text(), "30");
    period->setText("0");
    Acquire(*page);
    EXPECT_EQ(period->text(), "1");
    EXPECT_EQ(app->m_nFringePeriod, 1);
    period->setText("250");
    Acquire(*page);
    EXPECT_EQ(app->m_nFringePeriod, 100);
    EXPECT_EQ(page->Status(), QString::fromUtf8(acquisition::kPhaseDoneText));
    EXPECT_FALSE(Enabled(*page, CProjectorPhasePage::IDC_DEMODULATE));
    QStringList names;
    for (int press = 0; press < 6; ++press) {
        Control<QPushButton>(*page, CProjectorPhasePage::IDC_SHOW_ALL)->click();
        names << page->ProjectorDocument()->m_strName;
    }
    const QString phase =
        QStringLiteral("ImPhasee%1").arg(page->ProjectorDocument()->m_nImageNumber);
    EXPECT_EQ(names, (QStringList{"Im0", "Im90", "Im180", "Im270", phase, "Im0"}));
    dialog.reset();
    EXPECT_EQ(camera->m_strName, "Im0_270");
}

TEST_F(ProjectorTest, TheReferencesListEveryOpenDocumentAndStoppingTheAdjustmentClearsTheStatus)
{
    auto* page = OpenProjector();
    auto* box = Control<QComboBox>(*page, CProjectorPhasePage::IDC_REFERENCE);
    EXPECT_EQ(box->itemText(0), camera->m_strName);
    EXPECT_EQ(box->itemText(box->count() - 1), "AUCUNE");

    auto* adjust = Control<QPushButton>(*page, CProjectorPhasePage::IDC_ADJUST);
    adjust->click();
    for (int tick = 0; tick < 21; ++tick) {
        FireLiveTimers();
        page->OnTimer(page->Sequence()->Timer());
    }
    EXPECT_EQ(page->Status(), QString::fromUtf8("Acq. permanente et mire 0° visualisée..."));
    adjust->click();
    EXPECT_EQ(adjust->text(), QString::fromUtf8("&Réglage acquisitions"));
    EXPECT_EQ(page->Status(), "");
}

TEST_F(ProjectorTest, ARunWhoseCameraDiesCanBeRunAgain)
{
    auto* page = OpenProjector();
    grabber.dead = true;
    Acquire(*page);
    EXPECT_EQ(page->Status(), QString::fromUtf8(acquisition::kLiveFailedText));
    EXPECT_EQ(messages, QStringList{kCameraLost}) << messages.join("|").toStdString();
    for (int id : {int(CProjectorPhasePage::IDC_ACQUIRE), int(CProjectorPhasePage::IDC_ADJUST),
                   int(CProjectorPhasePage::IDC_PERIOD)})
        EXPECT_TRUE(Enabled(*page, id)) << id;
    EXPECT_FALSE(Enabled(*page, CProjectorPhasePage::IDC_SHOW_ALL));
    grabber.dead = false;
    Acquire(*page);
    EXPECT_EQ(page->Status(), QString::fromUtf8(acquisition::kPhaseDoneText));
}

TEST_F(ProjectorTest, AnAdjustmentTellsOfADeadCameraOnceAndItsStopLeavesTheRunWhole)
{
    auto* page = OpenProjector();
    grabber.dead = true;
    auto* adjust = Control<QPushButton>(*page, CProjectorPhasePage::IDC_ADJUST);
    adjust->click();
    for (int tick = 0; tick < 40 && page->Sequence()->Timer(); ++tick) {
        FireLiveTimers();
        page->OnTimer(page->Sequence()->Timer());
    }
    EXPECT_EQ(page->Status(), QString::fromUtf8(acquisition::kLiveFailedText));
    EXPECT_EQ(messages, QStringList{kCameraLost}) << messages.join("|").toStdString();

    // An adjustment stopped before it has started live acquisition itself.
    dialog.reset();
    grabber.dead = false;
    messages.clear();
    page = OpenProjector();
    adjust = Control<QPushButton>(*page, CProjectorPhasePage::IDC_ADJUST);
    adjust->click();
    adjust->click();
    Acquire(*page);
    EXPECT_EQ(page->Status(), QString::fromUtf8(acquisition::kPhaseDoneText));
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

TEST_F(ProjectorTest, TheBlankBeforeARunHasTheRunsSize)
{
    auto* page = OpenProjector();
    Acquire(*page);
    // Live acquisition gives the camera document its source's size.
    camera->TakeSize(kWidth * 2, kHeight * 2);
    Control<QPushButton>(*page, CProjectorPhasePage::IDC_ACQUIRE)->click();
    const CFraloDoc* projected = page->ProjectorDocument();
    EXPECT_EQ(projected->m_strName, "Mire__");
    EXPECT_EQ(projected->m_nWidth, kWidth);
    EXPECT_EQ(projected->m_nHeight, kHeight);
}

TEST_F(ProjectorTest, MeasurementRoadWithTheProjector)
{
    optics.SetFlat(true);
    auto* page = OpenProjector();
    Acquire(*page);
    CFraloDoc* reference = page->ProjectorDocument();
    dialog.reset();
    ASSERT_EQ(reference->m_strName, QStringLiteral("ImPhasee%1").arg(reference->m_nImageNumber));

    optics.SetFlat(false);
    page = OpenProjector();
    auto* box = Control<QComboBox>(*page, CProjectorPhasePage::IDC_REFERENCE);
    box->setCurrentIndex(box->findText(reference->m_strName));
    Acquire(*page);
    ASSERT_TRUE(Enabled(*page, CProjectorPhasePage::IDC_DEMODULATE));
    // The demodulation is that of the run, whatever the camera's size now.
    camera->TakeSize(kWidth * 2, kHeight);
    Control<QCheckBox>(*page, CProjectorPhasePage::IDC_INVERT)->setChecked(true);
    Control<QPushButton>(*page, CProjectorPhasePage::IDC_DEMODULATE)->click();
    EXPECT_EQ(page->Status(), QString::fromUtf8("Image demodulée inversée calculée..."));
    const CFraloDoc* height = page->DemodulatedDocument();
    ASSERT_NE(height, nullptr);
    EXPECT_EQ(height->m_nWidth, kWidth);
    EXPECT_EQ(height->m_strName, QStringLiteral("ImDemodM%1").arg(height->m_nFringeCount));
    const known_surface::Fit fit = known_surface::FitHeightOfSize(
        [&](int x, int y) { return Pixel(height, x, y); }, kWidth, kHeight);
    EXPECT_LE(fit.worst, 3.0);
    EXPECT_EQ(height->m_nFringeCount, fit.fringes);
    EXPECT_FALSE(Enabled(*page, CProjectorPhasePage::IDC_DEMODULATE));
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

} // namespace
