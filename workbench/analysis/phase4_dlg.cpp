#include "phase4_dlg.h"

#include <algorithm>
#include <memory>

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_controls.h"
#include "workbench/common/error_edge.h"
#include "workbench/common/user_message.h"
#include "workbench/core/image_choice.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

namespace {

// Box ids of i0, i90, i180, i270, and of the status text.
constexpr int kBoxIds[4] = {1028, 1021, 1030, 1025};
constexpr int kStatusId = 1004;
constexpr int kChoiceMs = 200;

} // namespace

CPhase4Dlg::CPhase4Dlg(WorkbenchSettings* app, QWidget* parent)
    : QDialog(parent), m_pApp(app), m_timers([this](int id) { OnTimer(id); })
{
    setWindowTitle(QString::fromUtf8("Calcul d'une image phasée à 4 images"));
    m_docs = ListedDocuments(*Documents(), &m_nCount);
    for (int k = 0; k < 4; ++k)
        m_pBoxes[k] = NewDocumentBox(kBoxIds[k], m_docs, m_nCount, this);

    // The boxes sit where the formula's fraction puts them: i270 - i90 over i0 - i180.
    auto* formula = new QGridLayout;
    formula->addWidget(new QLabel(QStringLiteral("phi = atan("), this), 0, 0, 4, 1);
    formula->addWidget(new QLabel(QStringLiteral("i270 - i90"), this), 0, 1, 1, 3);
    formula->addWidget(m_pBoxes[3], 1, 1);
    formula->addWidget(new QLabel(QStringLiteral("-"), this), 1, 2);
    formula->addWidget(m_pBoxes[1], 1, 3);
    formula->addWidget(new QLabel(QStringLiteral(" i0 - i180"), this), 2, 1, 1, 3);
    formula->addWidget(m_pBoxes[0], 3, 1);
    formula->addWidget(new QLabel(QStringLiteral("-"), this), 3, 2);
    formula->addWidget(m_pBoxes[2], 3, 3);
    formula->addWidget(new QLabel(QStringLiteral(")"), this), 0, 4, 4, 1);

    m_pStatus = Named(new QLabel(this), kStatusId);
    // A failure closes the dialog; its message is shown at the error edge.
    const OkQuitButtons buttons = NewOkQuitButtons(this, [this] {
        if (!RunAtErrorEdge([this] { OnOK(); }))
            reject();
    });
    m_pOK = buttons.ok;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(formula);
    layout->addWidget(m_pStatus);
    layout->addLayout(buttons.row);

    m_pOK->setEnabled(false);
    if (m_nCount >= 4)
        m_timers.SetTimer(TIMER_CHOICE, kChoiceMs);
    else
        SetStatus(QString::fromUtf8("Il faut 4 images différentes !"));
    m_preselected = PhasePreselection(m_nCount);
    for (int k = 0; k < 4; ++k)
        ShowEntryText(m_pBoxes[k], m_preselected[k]);
}

std::array<int, 4> CPhase4Dlg::ChosenPositions() const
{
    std::array<int, 4> positions;
    for (int k = 0; k < 4; ++k)
        positions[k] = ChosenPosition(m_pBoxes[k]->currentIndex(), m_preselected[k]);
    return positions;
}

void CPhase4Dlg::SetStatus(const QString& text) { m_pStatus->setText(text); }

void CPhase4Dlg::OnTimer(int id)
{
    if (id != TIMER_CHOICE)
        return;
    const std::array<int, 4> chosen = ChosenPositions();
    const bool different = PairwiseDifferent(chosen);
    const bool greyLevels = std::all_of(chosen.begin(), chosen.end(), [this](int position) {
        return ImagePlanesOf(*m_docs[position]).channels != 0;
    });
    const bool valid = different && greyLevels;
    if (valid != m_bValid) {
        m_bValid = valid;
        m_pOK->setEnabled(valid);
    }
    SetStatus(valid       ? QString()
              : different ? QString::fromUtf8(kNoGreyLevelsMessage)
                          : QString::fromUtf8("Les 4 images ne sont pas différentes!"));
}

void CPhase4Dlg::OnOK()
{
    m_timers.KillTimer(TIMER_CHOICE);
    const std::array<int, 4> chosen = ChosenPositions();
    const CFraloDoc* i0 = m_docs[chosen[0]];
    const int width = i0->m_nWidth, height = i0->m_nHeight;
    const std::size_t n = std::size_t(width) * std::size_t(height);
    std::unique_ptr<std::uint8_t[]> planes[4];
    for (int k = 0; k < 4; ++k) {
        planes[k] = std::make_unique_for_overwrite<std::uint8_t[]>(n);
        if (metrology::ImageToPlane(ImagePlanesOf(*m_docs[chosen[k]]), width, height,
                                    planes[k].get()) == metrology::PlaneStatus::SizeMismatch)
            UserMessage(QString::fromUtf8(metrology::kImageSizeMessage));
    }
    const ResultImage result = NewResultImage(width, height);
    metrology::FourImagePhase(planes[0].get(), planes[1].get(), planes[2].get(), planes[3].get(),
                              result.plane, n);
    // The document comes once its image is computed: a failure leaves none.
    m_pNewDoc = Documents()->NewImageDocument(width, height);
    if (!m_pNewDoc)
        return reject();
    ShowResultImage(*m_pNewDoc, result.image,
                    QStringLiteral("ImPhasee%1").arg(m_pApp->m_nImageCounter));
    accept();
}

void CPhase4Dlg::reject()
{
    m_timers.KillTimer(TIMER_CHOICE);
    QDialog::reject();
}
