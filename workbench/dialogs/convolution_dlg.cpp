#include "convolution_dlg.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <imageproc/convolution.h>
#include <imageproc/tone_curves.h>
#include <verodyn/operators.h>

#include "dialog_support.h"
#include "workbench/doc/fralo_doc.h"

namespace {

constexpr int kLargestFactor = 10;

// Coefficients and divisors are 16-bit values; their edits take no other.
QLineEdit* NumberEdit(int id)
{
    auto* edit = Named(new QLineEdit, id);
    edit->setValidator(new QIntValidator(INT16_MIN, INT16_MAX, edit));
    return edit;
}

// The 16-bit value of an edit; a text that is not a number gives 0.
int16_t EditValue(const QLineEdit* edit)
{
    return static_cast<int16_t>(std::clamp(edit->text().toInt(), INT16_MIN, INT16_MAX));
}

QString FactorText(float factor) { return QString::number(factor, 'g', 6); }

} // namespace

CConvolutionDlg::CConvolutionDlg(CFraloDoc& doc, QWidget* parent)
    : QDialog(parent),
      m_doc(doc),
      m_pFilters(Named(new QComboBox, 1000)),
      m_pDimensions(Named(new QComboBox, 1001)),
      m_pDivisor(NumberEdit(1071)),
      m_pStretch(Named(new QCheckBox(QStringLiteral("&Etendre le contraste dans [0, 255]")), 1010)),
      m_pFactor(Named(new QLineEdit, 1015))
{
    setWindowTitle(QStringLiteral("Filtres de convolution"));
    for (int i = 0; i < kFilterCount; ++i) {
        m_filters[i] = FilterPreset(i);
        m_pFilters->addItem(QString::fromUtf8(FilterName(i)));
    }
    for (int n = kSmallestKernel; n <= kKernelSide; ++n)
        m_pDimensions->addItem(QString("%1x%1").arg(n));
    connect(m_pFilters, &QComboBox::activated, this, &CConvolutionDlg::OnSelchangeFilterType);
    connect(m_pDimensions, &QComboBox::activated, this, &CConvolutionDlg::OnSelchangeDimension);

    auto* coefficients = new QGroupBox(QStringLiteral("Coefficients matrice de convolution"));
    auto* grid = new QGridLayout(coefficients);
    for (int r = 0; r < kKernelSide; ++r)
        for (int c = 0; c < kKernelSide; ++c) {
            QLineEdit* edit = NumberEdit(2000 + 10 * r + c);
            edit->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-32768")) + 12);
            grid->addWidget(edit, r, c);
            m_pCoefficients[r * kKernelSide + c] = edit;
        }
    auto* type = new QGroupBox(QStringLiteral("Type filtre"));
    auto* typeLayout = new QVBoxLayout(type);
    typeLayout->addWidget(m_pFilters);
    auto* dimension = new QHBoxLayout;
    dimension->addWidget(new QLabel(QStringLiteral("Dimension:")));
    dimension->addWidget(m_pDimensions);
    typeLayout->addLayout(dimension);

    auto* divisor = new QHBoxLayout;
    auto* divisorLabel = new QLabel(QStringLiteral("&Diviseur:"));
    divisorLabel->setBuddy(m_pDivisor);
    divisor->addWidget(divisorLabel);
    divisor->addWidget(m_pDivisor);
    auto* multiply = new QHBoxLayout;
    multiply->addWidget(Clicked(new QPushButton(QStringLiteral("&Multiplier la ...")), 5,
                                [this] { OnMultiplyLuminance(); }));
    multiply->addWidget(new QLabel(QStringLiteral("... luminance de tous les pixels par:")));
    multiply->addWidget(m_pFactor);
    auto* actions = new QHBoxLayout;
    actions->addWidget(Clicked(new QPushButton(QStringLiteral("&Appliquer le filtre")), 3,
                               [this] { OnApplyFilter(); }));
    actions->addWidget(Clicked(new QPushButton(QStringLiteral("&Image originale")), 4,
                               [this] { OnOriginalImage(); }));
    actions->addWidget(Clicked(new QPushButton(QString::fromUtf8("Image &antérieure")), 6,
                               [this] { OnPreviousImage(); }));
    auto* closing = new QHBoxLayout;
    closing->addWidget(Named(new QLabel, 1011));
    closing->addStretch();
    closing->addWidget(DialogButtons(this, {{1, "&?"}, {2, "&Fermer"}}));

    auto* top = new QHBoxLayout;
    top->addWidget(coefficients);
    auto* side = new QVBoxLayout;
    side->addWidget(type);
    side->addLayout(divisor);
    side->addWidget(m_pStretch);
    side->addStretch();
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Named(
        new QLabel(QStringLiteral("Vous pouvez changer la dimension et introduire vos propres "
                                  "coefficients...")),
        1009));
    layout->addLayout(actions);
    layout->addLayout(multiply);
    layout->addLayout(closing);

    m_pFactor->setText(FactorText(m_fFactor));
    m_pFilters->setCurrentIndex(0);
    ShowKernel();
    copy_image(m_doc.m_image, &m_initial);
    copy_image(m_doc.m_image, &m_previous);
}

void CConvolutionDlg::ShowKernel()
{
    const ConvolutionFilter& filter = m_filters[m_nCurrent];
    for (int r = 0; r < kKernelSide; ++r)
        for (int c = 0; c < kKernelSide; ++c) {
            QLineEdit* edit = m_pCoefficients[r * kKernelSide + c];
            const bool used = r < filter.dimension && c < filter.dimension;
            edit->setText(used ? QString::number(filter.kernel[r * kKernelSide + c]) : QString());
            edit->setEnabled(used);
        }
    m_pDivisor->setText(QString::number(filter.divisor));
    m_pDimensions->setCurrentIndex(filter.dimension - kSmallestKernel);
}

void CConvolutionDlg::OnSelchangeFilterType(int index)
{
    if (index < 0 || index >= kFilterCount)
        return;
    m_nCurrent = index;
    m_pFilters->setCurrentIndex(index);
    m_filters[index] = FilterPreset(index);
    ShowKernel();
}

void CConvolutionDlg::OnSelchangeDimension(int index)
{
    ConvolutionFilter& filter = m_filters[m_nCurrent];
    for (int i = 0; i < kKernelSide * kKernelSide; ++i)
        if (m_pCoefficients[i]->isEnabled())
            filter.kernel[i] = EditValue(m_pCoefficients[i]);
    filter.dimension =
        static_cast<int16_t>(std::clamp(index + kSmallestKernel, kSmallestKernel, kKernelSide));
    ShowKernel();
}

bool CConvolutionDlg::ReadPlanes(PlaneBuffers* planes) const
{
    return ReadDocumentPlanes(m_doc.m_image, m_doc.m_nWidth, m_doc.m_nHeight, planes);
}

void CConvolutionDlg::ShowPlanes(const PlaneBuffers& planes)
{
    Vobject image;
    GenImageFromPlanes(planes, &image);
    ShowImage(image);
}

void CConvolutionDlg::ShowImage(const Vobject& image)
{
    m_doc.SetImage(image);
    m_doc.UpdateAllViews();
}

void CConvolutionDlg::OnApplyFilter()
{
    ConvolutionFilter& filter = m_filters[m_nCurrent];
    for (int i = 0; i < kKernelSide * kKernelSide; ++i)
        filter.kernel[i] = EditValue(m_pCoefficients[i]);
    filter.divisor = std::max<int16_t>(EditValue(m_pDivisor), 1);
    ShowKernel();
    copy_image(m_doc.m_image, &m_previous);
    const int n = std::max<int>(filter.dimension, kSmallestKernel);
    std::array<int16_t, kKernelSide * kKernelSide> block{};
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            block[r * n + c] = filter.kernel[r * kKernelSide + c];
    PlaneBuffers planes;
    if (!ReadPlanes(&planes))
        return;
    Convolve(block.data(), n, filter.divisor, &planes);
    if (m_pStretch->isChecked())
        StretchContrast(&planes);
    ShowPlanes(planes);
}

// The document gets a copy: the kept images stay as they are whatever is
// done to its image.
void CConvolutionDlg::OnOriginalImage() { ShowCopy(m_initial); }

void CConvolutionDlg::OnPreviousImage() { ShowCopy(m_previous); }

void CConvolutionDlg::ShowCopy(const Vobject& image)
{
    Vobject copy;
    copy_image(image, &copy);
    ShowImage(copy);
}

void CConvolutionDlg::OnMultiplyLuminance()
{
    bool number = false;
    const float factor = m_pFactor->text().toFloat(&number);
    if (number && !std::isnan(factor))
        m_fFactor = std::clamp(factor, 0.0f, float(kLargestFactor));
    m_pFactor->setText(FactorText(m_fFactor));
    PlaneBuffers planes;
    if (!ReadPlanes(&planes))
        return;
    ApplyTable(MultiplyTable(m_fFactor), &planes);
    ShowPlanes(planes);
}
