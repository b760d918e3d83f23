#include "mouse_coords_dlg.h"

#include <QLabel>
#include <QVBoxLayout>

#include "workbench/faces/workbench_settings.h"

CMouseCoordsDlg::CMouseCoordsDlg(QWidget* parent)
    : QDialog(parent), m_pApp(Settings()), m_pValues(new QLabel), m_pAxes(new QLabel)
{
    setWindowTitle(QString::fromUtf8("Coordonnées souris"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    m_pValues->setObjectName(QStringLiteral("1030"));
    m_pAxes->setObjectName(QStringLiteral("1031"));
    QFont large = font();
    large.setPointSize(large.pointSize() * 3 / 2);
    m_pValues->setFont(large);
    m_pAxes->setFont(large);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pValues);
    layout->addWidget(m_pAxes);
    show();
}

CMouseCoordsDlg::~CMouseCoordsDlg() { Forget(); }

void CMouseCoordsDlg::Forget()
{
    if (m_pApp)
        m_pApp->ForgetZoneWindow(this);
}

void CMouseCoordsDlg::SetValues(const QString& a, const QString& b, const QString& c,
                                const QString& d, const QString& e)
{
    m_strValues =
        m_strAxes.isEmpty() ? QString() : QStringList{a, b, c, d, e}.join(QStringLiteral("  "));
    UpdateControls();
}

void CMouseCoordsDlg::SetAxes(const QString& text)
{
    m_strAxes = text;
    if (m_strAxes.isEmpty())
        m_strValues.clear();
    UpdateControls();
}

void CMouseCoordsDlg::UpdateControls()
{
    m_pValues->setText(m_strValues);
    m_pAxes->setText(m_strAxes);
}

void CMouseCoordsDlg::Close()
{
    Forget();
    close();
}

void CMouseCoordsDlg::reject()
{
    Forget();
    QDialog::reject();
}
