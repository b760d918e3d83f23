// "Ajustement luminance, fact. contraste": adds a brightness offset to the
// active image and applies a gamma curve, with a live preview.
#pragma once

#include "preview_dlg.h"

class QLabel;
class QSlider;

class CLuminanceGammaDlg : public CPreviewDlg {
    Q_OBJECT
public:
    enum { TIMER_PREVIEW = 27 };

    // Luminance 0 (slider 155 at 50), gamma 1.00 (slider 159 at 100).
    explicit CLuminanceGammaDlg(CFraloDoc& doc, QWidget* parent = nullptr);

    void ApplySetting() override;

    int Luminance() const { return m_nLuminance; }
    float Gamma() const { return m_fGamma; }

private:
    void ReadSliders() override;

    QSlider* m_pLuminanceSlider;
    QSlider* m_pGammaSlider;
    QLabel* m_pLuminanceText;
    QLabel* m_pGammaText;
    int m_nLuminance = 0;
    float m_fGamma = 1;
};
