// "Redimensionnement image": resizes the active image by a percentage of its
// size at opening, with a live preview.
#pragma once

#include "preview_dlg.h"

class QLabel;
class QSlider;

class CResizeDlg : public CPreviewDlg {
    Q_OBJECT
public:
    enum { TIMER_PREVIEW = 28 };

    // 100 %; the slider (1019) runs from the smallest percentage to 200.
    explicit CResizeDlg(CFraloDoc& doc, QWidget* parent = nullptr);

    // The saved image at the percentage becomes the document's image and
    // size: frame, scroll sizes, title and display window follow; the
    // clicked point, the zone and the profiles are forgotten.
    void ApplySetting() override;

    int Percent() const { return m_nPercent; }
    int SmallestPercent() const { return m_nSmallest; }

protected:
    // The document is given back the saved image at its size at opening.
    void RestoreSaved() override;

private:
    // The percentage and both texts from the slider.
    void ReadSliders() override;
    // The document takes `image` of width x height and shows it.
    void ShowResized(const Vobject& image, int width, int height);

    int m_nWidth0;
    int m_nHeight0;
    int m_nSmallest;
    int m_nPercent = 100;
    QSlider* m_pSlider;
    QLabel* m_pRangeText;
    QLabel* m_pSizeText;
};
