// "Conv. pixel-mm et luminance-mm": the active document's calibration in
// millimetres: pixels per mm in x and y, grey levels per mm in z, whether
// values show in mm, and the powers of ten that scale them for display.
#pragma once

#include <QDialog>

#include "workbench/core/calibration.h"

class CFraloDoc;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CCalibrationDlg : public QDialog {
    Q_OBJECT
public:
    // Shows the document's flags and scales (EntryOfScale); the edits of a
    // scale not shown in mm are disabled.
    explicit CCalibrationDlg(CFraloDoc& doc, QWidget* parent = nullptr);

    // The check boxes: their edits (and the z-scale button) enabled exactly
    // when checked; the hint names the unit.
    void OnUnitsXY();
    void OnUnitsZ();
    // "&Speckle ou moiré...": runs the z-scale dialog on the document; when
    // it ends with OK, the z fields take its scale (TakeScaleZ).
    void OnSpeckleMoire();
    // The z fields take a z scale in millimetres per grey level: 1 level for
    // `millimetresPerLevel` mm.
    void TakeScaleZ(float millimetresPerLevel);
    // Stores the calibration (StoreCalibration) and closes.
    void OnOK();

    void accept() override { OnOK(); }

private:
    // The edits of each scale (and the z-scale button) enabled exactly when
    // its check box is checked.
    void EnableEdits();
    // The value of a scale edit; empty or unfinished text counts as 0.
    static float EditValue(const QLineEdit* edit);

    CFraloDoc& m_doc;
    QCheckBox* m_pUnitsXY;
    QCheckBox* m_pUnitsZ;
    QLabel* m_pHint;
    QLineEdit* m_pPixels;
    QLineEdit* m_pMillimetresXY;
    QLineEdit* m_pLevels;
    QLineEdit* m_pMillimetresZ;
    QPushButton* m_pScaleZ;
};
