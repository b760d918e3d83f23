// The settings of the USB camera (sources 6 and 7): exposure and gain in
// fixed ranges, while the active document acquires live.
#pragma once

#include <QDialog>
#include <QString>

#include "camera_controls.h"

class WorkbenchSettings;
class CFraloDoc;

class CUsbCameraDlg : public QDialog {
public:
    explicit CUsbCameraDlg(QWidget* parent);

    // Starts acquisition on the active document and reads exposure and gain
    // (whole decibels); false (nothing read) when the document does not
    // acquire: the dialog is not shown.
    bool OnInitDialog();
    // "&Appliquer": the typed values, clamped to 750..20000 us and 0..15 dB,
    // move the sliders and are set; the dialog stays open.
    void OnOK();
    // A slider moved: exposure and gain (tenths of a decibel) are set at once.
    void OnHScroll();
    // "&Fermer": acquisition stops, keeping the last frame; the dialog closes.
    void OnCancel();

    int m_nExposure = 0;
    QString m_strExposureLabel;
    QString m_strGainLabel;
    float m_fGain = 0;
    CameraControls m_exposure; // 1006, 1007, 1011
    CameraControls m_gain;     // 1008, 1005, 1012

    // The buttons: "&Appliquer" accepts, "&Fermer" (and Escape) rejects.
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

private:
    void UpdateData(bool save);
    void SetBoth();

    WorkbenchSettings* m_pApp;
    CFraloDoc* m_pDoc = nullptr;
};
