#include "usb_camera_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QVBoxLayout>

#include "workbench/core/camera_settings.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

namespace {

const char* const kExposure = "Camera/Expose_us";
const char* const kGain = "Camera/Gain_dB";

int FirstValue(const VTuple& answer) { return answer.empty() ? 0 : int(answer[0].L()); }

} // namespace

CUsbCameraDlg::CUsbCameraDlg(QWidget* parent) : QDialog(parent), m_pApp(Settings())
{
    setWindowTitle(QString::fromUtf8("Réglages de la caméra kdLyra"));
    auto* layout = new QVBoxLayout(this);
    m_exposure = CameraControls::Add(layout, 1006, 1007, 1011, 0);
    m_gain = CameraControls::Add(layout, 1008, 1005, 1012, 0);
    AddCameraButtons(this, layout);
    m_exposure.SetRange(kUsbExposure.minimum, kUsbExposure.maximum);
    m_gain.SetRange(UsbGainSliderPosition(float(kUsbGain.minimum)),
                    UsbGainSliderPosition(float(kUsbGain.maximum)));
    for (QSlider* slider : {m_exposure.slider, m_gain.slider})
        connect(slider, &QSlider::valueChanged, this, [this] { OnHScroll(); });
}

bool CUsbCameraDlg::OnInitDialog()
{
    m_pDoc = StartCameraAcquisition(*Documents());
    if (!m_pDoc)
        return false;
    m_nExposure = FirstValue(GetCameraParam(*Documents(), m_pDoc, kExposure));
    m_strExposureLabel = QString::fromStdString(UsbExposureLabel());
    m_strGainLabel = QString::fromStdString(UsbGainLabel());
    m_fGain = float(FirstValue(GetCameraParam(*Documents(), m_pDoc, kGain)));
    UpdateData(false);
    return true;
}

void CUsbCameraDlg::UpdateData(bool save)
{
    if (save) {
        m_nExposure = m_exposure.EditInt(m_nExposure);
        m_fGain = m_gain.EditFloat(m_fGain);
        return;
    }
    m_exposure.label->setText(m_strExposureLabel);
    m_exposure.edit->setText(QString::number(m_nExposure));
    m_exposure.SetSlider(m_nExposure);
    m_gain.label->setText(m_strGainLabel);
    m_gain.edit->setText(QString::number(double(m_fGain)));
    m_gain.SetSlider(UsbGainSliderPosition(m_fGain));
}

void CUsbCameraDlg::SetBoth()
{
    SetCameraParam(*Documents(), m_pDoc, kExposure, VTuple(m_nExposure));
    SetCameraParam(*Documents(), m_pDoc, kGain, VTuple(double(m_fGain)));
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

void CUsbCameraDlg::OnCancel()
{
    if (m_pDoc)
        m_pDoc->StopAcquisition();
    QDialog::reject();
}
