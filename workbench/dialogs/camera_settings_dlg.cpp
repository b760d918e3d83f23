#include "camera_settings_dlg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"

namespace {

// Adds "&Appliquer" (the dialog's accept) and "&Fermer" (its reject).
void AddCameraButtons(QDialog* dialog, QBoxLayout* layout)
{
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("&Appliquer"), QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    buttons->addButton(QStringLiteral("&Fermer"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace

CCameraSettingsDlg::CCameraSettingsDlg(const char* title, QWidget* parent)
    : QDialog(parent), m_pFrames(new QVBoxLayout)
{
    setWindowTitle(QString::fromUtf8(title));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_pFrames);
    AddCameraButtons(this, layout);
}

CameraControls CCameraSettingsDlg::AddControls(int labelId, int editId, int sliderId, int autoId)
{
    const CameraControls controls =
        CameraControls::Add(m_pFrames, labelId, editId, sliderId, autoId);
    connect(controls.slider, &QSlider::valueChanged, this, [this] { OnHScroll(); });
    return controls;
}

bool CCameraSettingsDlg::OnInitDialog()
{
    CFraloDoc* doc = Documents()->ActiveDocument();
    if (!doc)
        return false;
    doc->StartAcquisition();
    if (Documents()->AcquiringDoc() != doc)
        return false;
    m_pDoc = doc;
    ReadCamera();
    UpdateData(false);
    return true;
}

VTuple CCameraSettingsDlg::GetParam(const char* name) const
{
    VTuple value;
    if (Documents()->Live().Grabbers().GetParam(m_pDoc->m_hGrabber, name, &value) != V_OK)
        return {};
    return value;
}

void CCameraSettingsDlg::SetParam(const char* name, const VTuple& value) const
{
    Documents()->Live().Grabbers().SetParam(m_pDoc->m_hGrabber, name, value);
}

void CCameraSettingsDlg::OnCancel()
{
    if (m_pDoc)
        m_pDoc->StopAcquisition();
    QDialog::reject();
}
