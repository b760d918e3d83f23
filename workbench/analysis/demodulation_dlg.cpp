#include "demodulation_dlg.h"

#include <algorithm>
#include <vector>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_controls.h"
#include "workbench/common/error_edge.h"
#include "workbench/common/user_message.h"
#include "workbench/core/image_choice.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

namespace {

constexpr int kChoiceMs = 20;

// A radio group whose buttons have the ids firstId, firstId + step, ... and
// their index as their value.
QButtonGroup* NewRadioGroup(int firstId, int step, std::initializer_list<const char*> texts,
                            QGroupBox* box)
{
    auto* group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    int index = 0;
    for (const char* text : texts) {
        auto* button =
            Named(new QRadioButton(QString::fromUtf8(text), box), firstId + step * index);
        group->addButton(button, index++);
        layout->addWidget(button);
    }
    return group;
}

// The first channel of `planes` as n values 0..255 (0 without pixels).
std::vector<std::int32_t> FirstChannel(const metrology::ImagePlanes& planes, std::size_t n)
{
    std::vector<std::int32_t> values(n, 0);
    if (planes.channels > 0 && planes.plane[0])
        std::copy(planes.plane[0], planes.plane[0] + n, values.begin());
    return values;
}

void CheckRadio(QButtonGroup* group, int index)
{
    if (QAbstractButton* button = group->button(index))
        button->setChecked(true);
}

} // namespace

CDemodulationDlg::CDemodulationDlg(WorkbenchSettings* app, QWidget* parent)
    : QDialog(parent),
      m_pApp(app),
      m_unwrap([this](int w, int h, const std::int32_t* phase, const std::int32_t* mask,
                      std::int32_t* out, UnwrapFlags flags) {
          return m_unwrapper.Unwrap(w, h, phase, mask, out, flags);
      }),
      m_timers([this](int id) { OnTimer(id); })
{
    setWindowTitle(QString::fromUtf8("Démodulation image phasée"));
    m_docs = ListedDocuments(*Documents(), &m_nCount);
    m_pPhased = NewDocumentBox(1061, m_docs, m_nCount, this);
    m_pMask = NewDocumentBox(1073, m_docs, m_nCount, this);
    m_pMask->addItem(QStringLiteral("AUCUNE"));

    auto* kind = new QGroupBox(this);
    m_pImageKind =
        NewRadioGroup(1075, 2,
                      {"&Image normale (franges régulières)", "&Avec des discontinuités physiques",
                       "&Avec d'importantes discontinuités"},
                      kind);
    m_pContinuousBackground =
        Named(new QCheckBox(QString::fromUtf8("&Avec bruit de fond continu"), this), 1081);
    m_pVeryFineFringes =
        Named(new QCheckBox(QString::fromUtf8("&Avec franges très fines"), this), 1082);
    auto* quality = new QGroupBox(this);
    m_pQuality = NewRadioGroup(
        1088, 1, {"&Variance", "&Linéarité", "&Laplacien", "&Moindres carrés 5x5"}, quality);
    auto* noise = new QGroupBox(this);
    m_pNoise = NewRadioGroup(1097, 1,
                             {"&Pas de détection de bruit de fond", "Détection de bruit type &1",
                              "Détection de bruit type &2", "Détection de bruit type &3"},
                             noise);
    m_pDiscontinuities =
        Named(new QCheckBox(QString::fromUtf8("&Détection des discontinuités"), this), 1093);
    m_pPoles = Named(new QCheckBox(QString::fromUtf8("&Détection de pôles"), this), 1095);
    m_pInvert = Named(
        new QCheckBox(QString::fromUtf8(" &Inversion luminances de l'image phasée"), this), 1039);

    m_pStatus = Named(new QLabel(this), 1003);
    m_pResultName = Named(new QLabel(this), 1004);
    m_pClose = Named(new QPushButton(QString::fromUtf8("&Fermer"), this), 2);
    m_pDefaults = Named(new QPushButton(QString::fromUtf8("&Par défaut"), this), 23);
    m_pDemodulate = Named(new QPushButton(QString::fromUtf8("&Démoduler"), this), 1107);
    m_pDemodulate->setDefault(true);

    for (int i = 0; i < 3; ++i)
        connect(m_pImageKind->button(i), &QAbstractButton::clicked, this,
                [this, i] { OnPreset(PRESET_NORMAL_FRINGES + 2 * i); });
    connect(m_pContinuousBackground, &QAbstractButton::clicked, this,
            [this] { OnPreset(PRESET_CONTINUOUS_BACKGROUND); });
    connect(m_pVeryFineFringes, &QAbstractButton::clicked, this,
            [this] { OnPreset(PRESET_VERY_FINE_FRINGES); });
    connect(m_pDefaults, &QPushButton::clicked, this, [this] { OnPreset(PRESET_DEFAULTS); });
    // After a failure, shown at the error edge, the dialog is ready for another run.
    connect(m_pDemodulate, &QPushButton::clicked, this, [this] {
        if (RunAtErrorEdge([this] { OnDemodulate(); }))
            return;
        SetRunButtonsEnabled(true);
        m_timers.SetTimer(TIMER_CHOICE, kChoiceMs);
    });
    connect(m_pClose, &QPushButton::clicked, this, &CDemodulationDlg::reject);

    auto* images = new QFormLayout;
    images->addRow(QString::fromUtf8("Image phasée:"), m_pPhased);
    images->addRow(QString::fromUtf8("Image masque:"), m_pMask);
    images->addRow(QString::fromUtf8("Image destination:"), m_pResultName);
    auto* options = new QVBoxLayout;
    options->addWidget(kind);
    options->addWidget(m_pContinuousBackground);
    options->addWidget(m_pVeryFineFringes);
    options->addWidget(quality);
    options->addWidget(noise);
    options->addWidget(m_pDiscontinuities);
    options->addWidget(m_pPoles);
    options->addWidget(m_pInvert);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pDefaults);
    buttons->addStretch();
    buttons->addWidget(m_pDemodulate);
    buttons->addWidget(m_pClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(images);
    layout->addLayout(options);
    layout->addWidget(m_pStatus);
    layout->addLayout(buttons);

    ShowEntryText(m_pMask, m_nCount);
    ShowEntryText(m_pPhased, 0);
    m_timers.SetTimer(TIMER_CHOICE, kChoiceMs);
    WriteControls();
}

void CDemodulationDlg::ReadControls()
{
    m_options.discontinuities = m_pDiscontinuities->isChecked();
    m_options.poles = m_pPoles->isChecked();
    m_options.imageKind = m_pImageKind->checkedId();
    m_options.quality = m_pQuality->checkedId();
    m_options.noise = m_pNoise->checkedId();
    m_options.continuousBackground = m_pContinuousBackground->isChecked();
    m_options.veryFineFringes = m_pVeryFineFringes->isChecked();
    m_options.invert = m_pInvert->isChecked();
}

void CDemodulationDlg::WriteControls()
{
    m_pDiscontinuities->setChecked(m_options.discontinuities);
    m_pPoles->setChecked(m_options.poles);
    CheckRadio(m_pImageKind, m_options.imageKind);
    CheckRadio(m_pQuality, m_options.quality);
    CheckRadio(m_pNoise, m_options.noise);
    m_pContinuousBackground->setChecked(m_options.continuousBackground);
    m_pVeryFineFringes->setChecked(m_options.veryFineFringes);
    m_pInvert->setChecked(m_options.invert);
    m_pStatus->setText(m_strStatus);
    m_pResultName->setText(m_strResultName);
}

void CDemodulationDlg::OnPreset(int preset)
{
    ReadControls();
    m_options = ApplyUnwrapPreset(m_options, preset);
    WriteControls();
}

void CDemodulationDlg::OnTimer(int id)
{
    if (id != TIMER_CHOICE)
        return;
    ReadControls();
    const DemodulationChoice choice =
        ChooseDemodulationImages(m_pPhased->currentIndex(), m_pMask->currentIndex(), m_nCount);
    const bool valid = DemodulationChoiceValid(choice, m_nCount);
    m_pDemodulate->setEnabled(valid);
    if (!valid)
        m_strStatus = QString::fromUtf8("L'image phasée doit être différente du masque !");
    WriteControls();
}

void CDemodulationDlg::SetRunButtonsEnabled(bool enabled)
{
    m_pClose->setEnabled(enabled);
    m_pDefaults->setEnabled(enabled);
    m_pDemodulate->setEnabled(enabled);
}

void CDemodulationDlg::OnDemodulate()
{
    m_timers.KillTimer(TIMER_CHOICE);
    ReadControls();
    const DemodulationChoice choice =
        ChooseDemodulationImages(m_pPhased->currentIndex(), m_pMask->currentIndex(), m_nCount);
    // A press that comes before the choice's first check (an Enter typed ahead)
    // may find no image at all.
    if (!DemodulationChoiceValid(choice, m_nCount)) {
        m_timers.SetTimer(TIMER_CHOICE, kChoiceMs);
        return;
    }
    const CFraloDoc* phased = m_docs[choice.phased];
    const CFraloDoc* mask = choice.mask >= 0 ? m_docs[choice.mask] : nullptr;
    const UnwrapFlags flags = UnwrapFlagsOf(m_options, mask != nullptr);
    m_strStatus = QStringLiteral("(mode: %1)").arg(flags);
    WriteControls();

    // The arrays take the phased image's own size and its first channel; a mask
    // of another size would be read past its end or out of line.
    const metrology::ImagePlanes phase = ImagePlanesOf(*phased);
    const int width = phase.width, height = phase.height;
    metrology::ImagePlanes maskPlanes;
    if (mask)
        maskPlanes = ImagePlanesOf(*mask);
    if (phase.channels == 0 || (mask && maskPlanes.channels == 0)) {
        UserMessage(QString::fromUtf8(kNoGreyLevelsMessage));
        m_timers.SetTimer(TIMER_CHOICE, kChoiceMs);
        return;
    }
    if (mask) {
        if (maskPlanes.width != width || maskPlanes.height != height) {
            UserMessage(QString::fromUtf8(metrology::kImageSizeMessage));
            m_timers.SetTimer(TIMER_CHOICE, kChoiceMs);
            return;
        }
    }
    const std::size_t n = std::size_t(width) * std::size_t(height);
    std::vector<std::int32_t> phaseValues = FirstChannel(phase, n);
    std::vector<std::int32_t> maskValues;
    if (mask)
        maskValues = FirstChannel(maskPlanes, n);
    // The unwrapper leaves the 2-pixel frame alone: it stays 0.
    std::vector<std::int32_t> out(n, 0);
    SetRunButtonsEnabled(false);
    const int jumps = m_unwrap(width, height, phaseValues.data(),
                               mask ? maskValues.data() : nullptr, out.data(), flags);
    const ResultImage result = NewResultImage(width, height);
    std::transform(out.begin(), out.end(), result.plane,
                   [](std::int32_t v) { return std::uint8_t(v & 0xFF); });
    // The document comes once its image is computed: a failure leaves none.
    CFraloDoc* doc = Documents()->NewImageDocument(width, height);
    if (!doc) {
        SetRunButtonsEnabled(true);
        m_timers.SetTimer(TIMER_CHOICE, kChoiceMs);
        return;
    }
    m_pResultDoc = doc;
    doc->SetFringeCount(std::max(jumps, 0));
    ShowResultImage(
        *doc, result.image,
        QStringLiteral("ImDemod%1_M%2").arg(m_pApp->m_nImageCounter).arg(doc->m_nFringeCount));
    m_strStatus = QStringLiteral("Nb. de sauts de phase: M=%1").arg(doc->m_nFringeCount);
    m_strResultName = doc->m_strName;
    SetRunButtonsEnabled(true);
    WriteControls();
    m_timers.SetTimer(TIMER_CHOICE, kChoiceMs);
}

void CDemodulationDlg::reject()
{
    m_timers.KillTimer(TIMER_CHOICE);
    QDialog::reject();
}
