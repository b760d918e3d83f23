#include "firewire_camera_dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "workbench/core/camera_settings.h"

namespace {

const char* const kShutter = "shutter";
const char* const kShutterRange = "shutter_range";
const char* const kGain = "video_gain";
const char* const kGainRange = "video_gain_range";

} // namespace

CFirewireCameraDlg::CFirewireCameraDlg(QWidget* parent)
    : CCameraSettingsDlg("Réglages de la caméra Firewire", parent),
      m_shutter(AddControls(1006, 1007, 1011, 1009)),
      m_gain(AddControls(1008, 1005, 1012, 1010))
{
    connect(m_shutter.automatic, &QCheckBox::clicked, this, [this] { OnAutoShutter(); });
    connect(m_gain.automatic, &QCheckBox::clicked, this, [this] { OnAutoGain(); });
}

void CFirewireCameraDlg::ReadCamera()
{
    const CameraRange shutter = RangeOf(GetParam(kShutterRange));
    m_strShutterLabel = QString::fromStdString(FirewireShutterLabel(shutter));
    m_nShutter = shutter.value;
    m_shutter.SetRange(shutter.minimum, shutter.maximum);
    const CameraRange gain = RangeOf(GetParam(kGainRange));
    m_strGainLabel = QString::fromStdString(FirewireGainLabel(gain));
    m_nGain = gain.value;
    m_gain.SetRange(gain.minimum, gain.maximum);
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
    m_shutter.Show(m_strShutterLabel, QString::number(m_nShutter), m_nShutter);
    m_shutter.automatic->setChecked(m_bAutoShutter);
    m_gain.Show(m_strGainLabel, QString::number(m_nGain), m_nGain);
    m_gain.automatic->setChecked(m_bAutoGain);
}

void CFirewireCameraDlg::OnOK()
{
    UpdateData(true);
    m_nShutter = Clamp(m_nShutter, RangeOf(GetParam(kShutterRange)));
    if (!m_bAutoShutter)
        SetParam(kShutter, VTuple(m_nShutter));
    m_nGain = Clamp(m_nGain, RangeOf(GetParam(kGainRange)));
    if (!m_bAutoGain)
        SetParam(kGain, VTuple(m_nGain));
    UpdateData(false);
}

void CFirewireCameraDlg::AutoMode(const CameraControls& controls, bool automatic, const char* name,
                                  int value)
{
    SetParam(name, automatic ? VTuple("auto") : VTuple(value));
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
    SetParam(kShutter, VTuple(m_nShutter));
    SetParam(kGain, VTuple(m_nGain));
    UpdateData(false);
}
