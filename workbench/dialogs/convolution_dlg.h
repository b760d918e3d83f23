// "Filtres de convolution": filters the active image in place with a named
// or edited kernel, multiplies it by a constant, and goes back to the image
// before the last filter or to the image at opening.
#pragma once

#include <array>

#include <QDialog>

#include <imageproc/plane_buffers.h>
#include <verodyn/object.h>

#include <imageproc/filter_presets.h>

class CFraloDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;

class CConvolutionDlg : public QDialog {
    Q_OBJECT
public:
    // Works on `doc` until it closes: filter 0 shown, no stretch, factor 1.05.
    explicit CConvolutionDlg(CFraloDoc& doc, QWidget* parent = nullptr);

    // Filter `index` becomes current and is shown as the table gives it; the
    // edits made to it are forgotten.
    void OnSelchangeFilterType(int index);
    // The current filter takes dimension index + 3; the coefficients it holds,
    // and those typed into its block, stay.
    void OnSelchangeDimension(int index);
    // The 49 coefficients (not a number: 0) and the divisor (below 1: 1) go
    // into the current filter; the image is kept as the previous one, then
    // convolved with the filter's top-left block (at least 3 x 3), its
    // contrast stretched when asked.
    void OnApplyFilter();
    // Gives the document back the image at opening, or before the last filter.
    void OnOriginalImage();
    void OnPreviousImage();
    // Multiplies every byte by the factor, clamped to [0, 10] and shown back.
    void OnMultiplyLuminance();

    // Enter and "&?" leave the dialog open; "&Fermer" closes it.
    void accept() override { }

private:
    // Shows the current filter: its block in the edits, enabled, the rest
    // empty and disabled; its divisor and dimension.
    void ShowKernel();
    // The planes of the document's image; false when there are none.
    bool ReadPlanes(PlaneBuffers* planes) const;
    // The document's image becomes `planes`, shown.
    void ShowPlanes(const PlaneBuffers& planes);
    void ShowImage(const Vobject& image);
    void ShowCopy(const Vobject& image);

    CFraloDoc& m_doc;
    std::array<ConvolutionFilter, kFilterCount> m_filters;
    int m_nCurrent = 0;
    float m_fFactor = 1.05f;
    QComboBox* m_pFilters;
    QComboBox* m_pDimensions;
    std::array<QLineEdit*, kKernelSide * kKernelSide> m_pCoefficients{};
    QLineEdit* m_pDivisor;
    QCheckBox* m_pStretch;
    QLineEdit* m_pFactor;
    Vobject m_initial;
    Vobject m_previous;
};
