// "Multiplication par constante": multiplies every pixel of the active image
// by a coefficient, with a live preview.
#pragma once

#include "preview_dlg.h"

class QLabel;
class QSlider;

class CMultiplyDlg : public CPreviewDlg {
    Q_OBJECT
public:
    enum { TIMER_PREVIEW = 28 };

    // Coefficient 1.0 (slider 1011 at 10).
    explicit CMultiplyDlg(CFraloDoc& doc, QWidget* parent = nullptr);

    void ApplySetting() override;

    float Coefficient() const { return m_fCoefficient; }

private:
    void ReadSliders() override;

    QSlider* m_pSlider;
    QLabel* m_pText;
    float m_fCoefficient = 1;
};
