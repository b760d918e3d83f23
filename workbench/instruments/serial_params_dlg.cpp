#include "serial_params_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "workbench/analysis/dialog_controls.h"
#include "workbench/faces/workbench_settings.h"

CSerialParamsDlg::CSerialParamsDlg(WorkbenchSettings* app, QWidget* parent)
    : QDialog(parent), m_pApp(app)
{
    setWindowTitle(QString::fromUtf8("Paramètres port série"));
    auto* group = new QGroupBox(QString::fromUtf8("Protocole de communication"), this);
    auto* grid = new QGridLayout(group);
    m_pSupply1 = new QRadioButton(QString::fromUtf8("Alimentation &1 [0, 500V]"), group);
    m_pSupply2 = new QRadioButton(QString::fromUtf8("Alimentation &2 [0, 100 V]"), group);
    grid->addWidget(m_pSupply1, 0, 0);
    grid->addWidget(
        new QLabel(QString::fromUtf8("(9600 bauds, parité impaire, 8 bits, 2 stops, xon/xoff)")), 1,
        0);
    grid->addWidget(m_pSupply2, 2, 0);
    grid->addWidget(
        new QLabel(QString::fromUtf8("(9600 bauds, pas de parité, 8 bits, 1 stop, xon/xoff)")), 3,
        0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(NewOkQuitButtons(this, [this] { OnOK(); }).row);

    m_nSupply = m_pApp->m_nSupplyModel;
    UpdateData(false);
}

void CSerialParamsDlg::UpdateData(bool save)
{
    if (save) {
        m_nSupply = m_pSupply1->isChecked() ? 0 : m_pSupply2->isChecked() ? 1 : -1;
        return;
    }
    m_pSupply1->setChecked(m_nSupply == 0);
    m_pSupply2->setChecked(m_nSupply == 1);
}

void CSerialParamsDlg::OnOK()
{
    UpdateData(true);
    m_pApp->SetSupplyModel(m_nSupply);
    accept();
}
