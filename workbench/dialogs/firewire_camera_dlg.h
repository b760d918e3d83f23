// The settings of an IEEE-1394 camera (source 5): shutter and gain, each with
// the range the camera reports and an automatic mode, while the active
// document acquires live.
#pragma once

#include <QDialog>
#include <QString>

#include "camera_controls.h"

class WorkbenchSettings;
class CFraloDoc;

class CFirewireCameraDlg : public QDialog {
public:
    explicit CFirewireCameraDlg(QWidget* parent);

    // Starts acquisition on the active document and reads both ranges; false
    // (nothing read) when the document does not acquire: the dialog is not shown.
    bool OnInitDialog();
    // "&Appliquer": the typed values, clamped to the ranges, are set unless
    // in automatic mode; the dialog stays open.
    void OnOK();
    // "&Auto" boxes: the parameter goes to "auto" (its edit and slider
    // disabled), or back to its value.
    void OnAutoShutter();
    void OnAutoGain();
    // A slider moved: both parameters are set to the sliders' values.
    void OnHScroll();
    // "&Fermer": acquisition stops, keeping the last frame; the dialog closes.
    void OnCancel();

    QString m_strShutterLabel;
    int m_nShutter = 0;
    QString m_strGainLabel;
    int m_nGain = 0;
    bool m_bAutoShutter = false;
    bool m_bAutoGain = false;
    CameraControls m_shutter; // 1006, 1007, 1011, 1009
    CameraControls m_gain;    // 1008, 1005, 1012, 1010

    // The buttons: "&Appliquer" accepts, "&Fermer" (and Escape) rejects.
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

private:
    // Members from the controls (true) or to them (false).
    void UpdateData(bool save);
    void AutoMode(const CameraControls& controls, bool automatic, const char* name, int value);

    WorkbenchSettings* m_pApp;
    CFraloDoc* m_pDoc = nullptr;
};
