#include "firewire_camera_dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QVBoxLayout>

#include "workbench/core/camera_settings.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

namespace {

const char* const kShutter = "shutter";
const char* const kShutterRange = "shutter_range";
const char* const kGain = "video_gain";
const char* const kGainRange = "video_gain_range";

} // namespace

CFirewireCameraDlg::CFirewireCameraDlg(QWidget* parent) : QDialog(parent), m_pApp(Settings())
{
    setWindowTitle(QString::fromUtf8("Réglages de la caméra Firewire"));
    auto* layout = new QVBoxLayout(this);
    m_shutter = CameraControls::Add(layout, 1006, 1007, 1011, 1009);
    m_gain = CameraControls::Add(layout, 1008, 1005, 1012, 1010);
    AddCameraButtons(this, layout);
    for (QSlider* slider : {m_shutter.slider, m_gain.slider})
        connect(slider, &QSlider::valueChanged, this, [this] { OnHScroll(); });
    connect(m_shutter.automatic, &QCheckBox::clicked, this, [this] { OnAutoShutter(); });
    connect(m_gain.automatic, &QCheckBox::clicked, this, [this] { OnAutoGain(); });
}

bool CFirewireCameraDlg::OnInitDialog()
{
    m_pDoc = StartCameraAcquisition(*Documents());
    if (!m_pDoc)
        return false;
    const CameraRange shutter = RangeOf(GetCameraParam(*Documents(), m_pDoc, kShutterRange));
    m_strShutterLabel = QString::fromStdString(FirewireShutterLabel(shutter));
    m_nShutter = shutter.value;
    m_shutter.SetRange(shutter.minimum, shutter.maximum);
    const CameraRange gain = RangeOf(GetCameraParam(*Documents(), m_pDoc, kGainRange));
    m_strGainLabel = QString::fromStdString(FirewireGainLabel(gain));
    m_nGain = gain.value;
    m_gain.SetRange(gain.minimum, gain.maximum);
    UpdateData(false);
    return true;
}

void CFirewireCameraDlg::UpdateData(bool save)
{
    if (save) {
        m_nShutter = m_shutter.EditInt(m_nShutter);
        m_nGain = m_gain.EditInt(m_nGain);
        m_bAutoShutter = m_shutter.automatic->isChecked();
        m_bAutoGain = m_gain.automatic->isChecked();
        return;
    }
    m_shutter.label->setText(m_strShutterLabel);
    m_shutter.edit->setText(QString::number(m_nShutter));
    m_shutter.SetSlider(m_nShutter);
    m_shutter.automatic->setChecked(m_bAutoShutter);
    m_gain.label->setText(m_strGainLabel);
    m_gain.edit->setText(QString::number(m_nGain));
    m_gain.SetSlider(m_nGain);
    m_gain.automatic->setChecked(m_bAutoGain);
}

void CFirewireCameraDlg::OnOK()
{
    UpdateData(true);
    m_nShutter = Clamp(m_nShutter, RangeOf(GetCameraParam(*Documents(), m_pDoc, kShutterRange)));
    if (!m_bAutoShutter)
        SetCameraParam(*Documents(), m_pDoc, kShutter, VTuple(m_nShutter));
    m_nGain = Clamp(m_nGain, RangeOf(GetCameraParam(*Documents(), m_pDoc, kGainRange)));
    if (!m_bAutoGain)
        SetCameraParam(*Documents(), m_pDoc, kGain, VTuple(m_nGain));
    UpdateData(false);
}

void CFirewireCameraDlg::AutoMode(const CameraControls& controls, bool automatic, const char* name,
                                  int value)
{
    SetCameraParam(*Documents(), m_pDoc, name, automatic ? VTuple("auto") : VTuple(value));
    controls.edit->setEnabled(!automatic);
    controls.slider->setEnabled(!automatic);
}

void CFirewireCameraDlg::OnAutoShutter()
{
    UpdateData(true);
    AutoMode(m_shutter, m_bAutoShutter, kShutter, m_nShutter);
}

void CFirewireCameraDlg::OnAutoGain()
{
    UpdateData(true);
    AutoMode(m_gain, m_bAutoGain, kGain, m_nGain);
}

void CFirewireCameraDlg::OnHScroll()
{
    m_nShutter = m_shutter.slider->value();
    m_nGain = m_gain.slider->value();
    SetCameraParam(*Documents(), m_pDoc, kShutter, VTuple(m_nShutter));
    SetCameraParam(*Documents(), m_pDoc, kGain, VTuple(m_nGain));
    UpdateData(false);
}

void CFirewireCameraDlg::OnCancel()
{
    if (m_pDoc)
        m_pDoc->StopAcquisition();
    QDialog::reject();
}
