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

void CFirewireCameraDlg::ReadRange(const char* name, CameraRange* range) const
{
    // A camera that does not answer keeps the range it gave before: no range
    // at all would clamp the value to 0 and set it.
    const VTuple answer = GetParam(name);
    if (!answer.empty())
        *range = RangeOf(answer);
}

void CFirewireCameraDlg::ReadCamera()
{
    ReadRange(kShutterRange, &m_shutterRange);
    m_strShutterLabel = QString::fromStdString(FirewireShutterLabel(m_shutterRange));
    m_nShutter = m_shutterRange.value;
    m_shutter.SetRange(m_shutterRange.minimum, m_shutterRange.maximum);
    ReadRange(kGainRange, &m_gainRange);
    m_strGainLabel = QString::fromStdString(FirewireGainLabel(m_gainRange));
    m_nGain = m_gainRange.value;
    m_gain.SetRange(m_gainRange.minimum, m_gainRange.maximum);
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
    ReadRange(kShutterRange, &m_shutterRange);
    m_nShutter = Clamp(m_nShutter, m_shutterRange);
    if (!m_bAutoShutter)
        SetParam(kShutter, VTuple(m_nShutter));
    ReadRange(kGainRange, &m_gainRange);
    m_nGain = Clamp(m_nGain, m_gainRange);
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
