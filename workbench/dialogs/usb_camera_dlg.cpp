#include "usb_camera_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "workbench/core/camera_settings.h"

namespace {

const char* const kExposure = "Camera/Expose_us";
const char* const kGain = "Camera/Gain_dB";

int FirstValue(const VTuple& answer) { return answer.empty() ? 0 : int(answer[0].L()); }

} // namespace

CUsbCameraDlg::CUsbCameraDlg(QWidget* parent)
    : CCameraSettingsDlg("Réglages de la caméra kdLyra", parent),
      m_exposure(AddControls(1006, 1007, 1011, 0)),
      m_gain(AddControls(1008, 1005, 1012, 0))
{
    m_exposure.SetRange(kUsbExposure.minimum, kUsbExposure.maximum);
    m_gain.SetRange(UsbGainSliderPosition(float(kUsbGain.minimum)),
                    UsbGainSliderPosition(float(kUsbGain.maximum)));
}

void CUsbCameraDlg::ReadCamera()
{
    m_nExposure = FirstValue(GetParam(kExposure));
    m_strExposureLabel = QString::fromStdString(UsbExposureLabel());
    m_strGainLabel = QString::fromStdString(UsbGainLabel());
    m_fGain = float(FirstValue(GetParam(kGain)));
}

void CUsbCameraDlg::UpdateData(bool save)
{
    if (save) {
        m_nExposure = m_exposure.EditInt(m_nExposure);
        m_fGain = m_gain.EditFloat(m_fGain);
        return;
    }
    m_exposure.Show(m_strExposureLabel, QString::number(m_nExposure), m_nExposure);
    m_gain.Show(m_strGainLabel, QString::number(double(m_fGain)), UsbGainSliderPosition(m_fGain));
}

void CUsbCameraDlg::SetBoth()
{
    SetParam(kExposure, VTuple(m_nExposure));
    SetParam(kGain, VTuple(double(m_fGain)));
}

void CUsbCameraDlg::OnOK()
{
    UpdateData(true);
    m_nExposure = UsbClampExposure(m_nExposure);
    m_fGain = UsbClampGain(m_fGain);
    SetBoth();
    UpdateData(false);
}

void CUsbCameraDlg::OnHScroll()
{
    m_nExposure = m_exposure.slider->value();
    m_fGain = float(m_gain.slider->value() * 0.1);
    SetBoth();
    UpdateData(false);
}
