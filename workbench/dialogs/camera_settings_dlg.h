// What the camera settings dialogs share: the parameters' frames above the
// "&Appliquer" and "&Fermer" buttons, the start and stop of acquisition, and
// the parameter calls on the acquiring document's frame grabber.
#pragma once

#include <QDialog>

#include <verodyn/tuple.h>

#include "camera_controls.h"

class CFraloDoc;
class QBoxLayout;

// A camera settings dialog: the parameters' frames above "&Appliquer" and
// "&Fermer", while the active document acquires live.
class CCameraSettingsDlg : public QDialog {
public:
    // Starts acquisition on the active document and reads the camera's
    // settings into the controls; false (nothing read) when the document does
    // not acquire: the dialog is not shown.
    bool OnInitDialog();
    // "&Appliquer": the typed values are set; the dialog stays open.
    virtual void OnOK() = 0;
    // A slider moved.
    virtual void OnHScroll() = 0;
    // "&Fermer": acquisition stops, keeping the last frame; the dialog closes.
    void OnCancel();

    // The buttons: "&Appliquer" accepts, "&Fermer" (and Escape) rejects.
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

protected:
    CCameraSettingsDlg(const char* title, QWidget* parent);

    // The camera's settings into the members, once acquisition has started.
    virtual void ReadCamera() = 0;
    // Members from the controls (true) or to them (false).
    virtual void UpdateData(bool save) = 0;

    // A frame of controls with these ids below the frames before it; its
    // slider's moves call OnHScroll.
    CameraControls AddControls(int labelId, int editId, int sliderId, int autoId);
    // The camera parameters of the acquiring document's frame grabber, with
    // the error check off: a refused value is not reported.
    VTuple GetParam(const char* name) const;
    void SetParam(const char* name, const VTuple& value) const;

    CFraloDoc* m_pDoc = nullptr;

private:
    QBoxLayout* m_pFrames;
};
