#include "phase_acq_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "instrument_pages.h"
#include "projector_phase_page.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/faces/workbench_settings.h"

CPhaseAcqDlg::CPhaseAcqDlg(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent,
                           acquisition::ProjectorOutput* projector)
    : QDialog(parent),
      m_pApp(app),
      m_projector(projector ? *projector : m_documentOnly),
      m_clock(clock)
{
    setWindowTitle(QString::fromUtf8("Acquisition d'une image phasée"));
    m_tab = Named(new QTabBar(this), IDC_TAB);
    m_tab->addTab(QString::fromUtf8(m_pApp->m_nComPort ? "Piézo COM2" : "Piézo COM1"));
    m_tab->addTab(QString::fromUtf8("Axe P.I. C832"));
    m_tab->addTab(QString::fromUtf8("Vidéoprojecteur"));
    m_tab->addTab(QString::fromUtf8("Moteur pas à pas via LPT"));
    m_pStatus = Named(new QLabel(this), IDC_STATUS);
    auto* close = new QPushButton(QString::fromUtf8("&Fermer"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    m_pPageArea = new QVBoxLayout;
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_pStatus, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tab);
    layout->addLayout(m_pPageArea, 1);
    layout->addLayout(bottom);

    ShowPage(TabPiezo);
    connect(m_tab, &QTabBar::currentChanged, this, &CPhaseAcqDlg::ShowPage);
}

CPhaseAcqDlg::~CPhaseAcqDlg() { delete m_pPage; }

void CPhaseAcqDlg::done(int result)
{
    // Closing ends the page at once, a run or a move under way with it.
    delete m_pPage;
    m_pPage = nullptr;
    QDialog::done(result);
}

void CPhaseAcqDlg::ShowPage(int index)
{
    m_pStatus->clear();
    if (index < TabPiezo || index > TabStepper)
        return;
    // The page's destruction is its close-down; cleared first, a page that
    // fails to open leaves none behind.
    delete m_pPage;
    m_pPage = nullptr;
    m_pPage = NewPage(Tab(index));
    if (m_pPage) {
        m_pPageArea->addWidget(m_pPage);
        m_pPage->show();
    }
}

QWidget* CPhaseAcqDlg::NewPage(Tab tab)
{
    switch (tab) {
    case TabPiezo:
        return new CPiezoPhasePage(m_pApp, m_clock, this);
    case TabStage:
        return new CStagePhasePage(m_pApp, m_clock, this);
    case TabProjector:
        return new CProjectorPhasePage(m_pApp, m_projector, this);
    case TabStepper:
        return new CStepperPhasePage(m_pApp, m_clock, this);
    }
    return nullptr;
}
