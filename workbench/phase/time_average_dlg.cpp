#include "time_average_dlg.h"

#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "time_average_pages.h"
#include "workbench/analysis/dialog_controls.h"

CTimeAverageDlg::CTimeAverageDlg(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent)
    : QDialog(parent), m_pApp(app), m_clock(clock)
{
    setWindowTitle(QString::fromUtf8("Temps moyenné"));
    m_tab = Named(new QTabBar(this), IDC_TAB);
    m_tab->addTab(QString::fromUtf8("A 2 images"));
    m_tab->addTab(QString::fromUtf8("A 4 images"));
    auto* close = new QPushButton(QString::fromUtf8("&Fermer"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    m_pPageArea = new QVBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tab);
    layout->addLayout(m_pPageArea, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    ShowPage(TabTwo);
    connect(m_tab, &QTabBar::currentChanged, this, &CTimeAverageDlg::ShowPage);
}

CTimeAverageDlg::~CTimeAverageDlg() { delete m_pPage; }

void CTimeAverageDlg::ShowPage(int index)
{
    if (index != TabTwo && index != TabFour)
        return;
    delete m_pPage;
    if (index == TabTwo)
        m_pPage = new CTimeAvg2Page(m_pApp, m_clock, this);
    else
        m_pPage = new CTimeAvg4Page(m_pApp, m_clock, this);
    m_pPageArea->addWidget(m_pPage);
    m_pPage->show();
}
