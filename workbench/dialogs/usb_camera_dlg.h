// The settings of the USB camera (sources 6 and 7): exposure and gain in
// fixed ranges, while the active document acquires live.
#pragma once

#include <QString>

#include "camera_settings_dlg.h"

class CUsbCameraDlg : public CCameraSettingsDlg {
public:
    explicit CUsbCameraDlg(QWidget* parent);

    // "&Appliquer": the typed values, clamped to 750..20000 us and 0..15 dB,
    // move the sliders and are set; the dialog stays open.
    void OnOK() override;
    // A slider moved: exposure and gain (tenths of a decibel) are set at once.
    void OnHScroll() override;

    int m_nExposure = 0;
    QString m_strExposureLabel;
    QString m_strGainLabel;
    float m_fGain = 0;
    CameraControls m_exposure; // 1006, 1007, 1011
    CameraControls m_gain;     // 1008, 1005, 1012

private:
    // Exposure and gain (whole decibels).
    void ReadCamera() override;
    void UpdateData(bool save) override;
    void SetBoth();
};
