// What the camera settings dialogs share: a frame per parameter (label, edit,
// slider, an optional "&Auto" box), the "&Appliquer" and "&Fermer" buttons,
// and the parameter calls on the active document's frame grabber.
#pragma once

#include <QString>

#include <verodyn/tuple.h>

class DocumentService;
class CFraloDoc;
class QBoxLayout;
class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QSlider;

// One parameter's controls; the ids name the controls (objectName).
struct CameraControls {
    QLabel* label = nullptr;
    QLineEdit* edit = nullptr;
    QSlider* slider = nullptr;
    QCheckBox* automatic = nullptr; // null without "&Auto"

    // Adds a frame of controls with these ids to `layout`.
    static CameraControls Add(QBoxLayout* layout, int labelId, int editId, int sliderId,
                              int autoId);
    // The slider's range and position, set without reporting a move.
    void SetRange(int minimum, int maximum) const;
    void SetSlider(int position) const;
    // The edit's text as a number; `current` when it is none.
    int EditInt(int current) const;
    float EditFloat(float current) const;
};

// Adds "&Appliquer" (the dialog's accept) and "&Fermer" (its reject).
void AddCameraButtons(QDialog* dialog, QBoxLayout* layout);

// Starts acquisition on the active document; it, or null when it does not
// acquire afterwards (no document, or a failed start).
CFraloDoc* StartCameraAcquisition(DocumentService& documents);

// The camera parameters of `doc`'s frame grabber, with the error check off:
// a refused value is not reported.
VTuple GetCameraParam(DocumentService& documents, const CFraloDoc* doc, const char* name);
void SetCameraParam(DocumentService& documents, const CFraloDoc* doc, const char* name,
                    const VTuple& value);
