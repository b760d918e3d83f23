// The settings of an IEEE-1394 camera (source 5): shutter and gain, each with
// the range the camera reports and an automatic mode, while the active
// document acquires live.
#pragma once

#include <QString>

#include "camera_settings_dlg.h"
#include "workbench/core/camera_settings.h"

class CFirewireCameraDlg : public CCameraSettingsDlg {
public:
    explicit CFirewireCameraDlg(QWidget* parent);

    // "&Appliquer": the typed values, clamped to the ranges, are set unless
    // in automatic mode; the dialog stays open.
    void OnOK() override;
    // "&Auto" boxes: the parameter goes to "auto" (its edit and slider
    // disabled), or back to its value.
    void OnAutoShutter();
    void OnAutoGain();
    // A slider moved: both parameters are set to the sliders' values.
    void OnHScroll() override;

    QString m_strShutterLabel;
    int m_nShutter = 0;
    QString m_strGainLabel;
    int m_nGain = 0;
    bool m_bAutoShutter = false;
    bool m_bAutoGain = false;
    CameraControls m_shutter; // 1006, 1007, 1011, 1009
    CameraControls m_gain;    // 1008, 1005, 1012, 1010

private:
    // The range `name` the camera reports into `range`; unchanged when it
    // does not answer.
    void ReadRange(const char* name, CameraRange* range) const;
    // Both ranges, with the values the camera reports.
    void ReadCamera() override;
    void UpdateData(bool save) override;
    void AutoMode(const CameraControls& controls, bool automatic, const char* name, int value);

    CameraRange m_shutterRange;
    CameraRange m_gainRange;
};
