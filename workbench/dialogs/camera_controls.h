// One camera parameter's frame in the camera settings dialogs: label, edit,
// slider and an optional "&Auto" box.
#pragma once

#include <QString>

class QBoxLayout;
class QCheckBox;
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
    // The slider's range, set without reporting a move.
    void SetRange(int minimum, int maximum) const;
    // Shows `text` in the label, `value` in the edit and the slider at
    // `position`, without reporting a move.
    void Show(const QString& text, const QString& value, int position) const;
    // The edit's text as a number; `current` when it is none.
    int EditInt(int current) const;
    float EditFloat(float current) const;
};
