#include "fringe_patterns_dlg.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis_documents.h"
#include "dialog_controls.h"
#include "metrology/kernels/fringe_patterns.h"
#include "workbench/common/error_edge.h"
#include "workbench/common/user_message.h"
#include "workbench/core/entry_text.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

namespace {

// Refuses an entry that does not read: the dialog stays open on it.
template <class T> bool Refused(const std::optional<T>& value, QLineEdit* entry, const char* text)
{
    if (value)
        return false;
    UserMessage(QString::fromUtf8(text));
    entry->setFocus();
    entry->selectAll();
    return true;
}

} // namespace

CFringePatternsDlg::CFringePatternsDlg(WorkbenchSettings* app, QWidget* parent)
    : QDialog(parent), m_pApp(app)
{
    setWindowTitle(QString::fromUtf8("Mires sinusoïdales"));
    m_pContrast =
        Named(new QLineEdit(QString::number(m_pApp->m_fFringeContrast, 'g', 6), this), 1125);
    m_pMean = Named(new QLineEdit(QString::number(m_pApp->m_nFringeMean), this), 1126);
    m_pPeriod = Named(new QLineEdit(QString::number(m_pApp->m_nFringePeriod), this), 1121);

    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8("&Contraste C [0, 1]:"), m_pContrast);
    form->addRow(QString::fromUtf8("&I Moy [0, 255]:"), m_pMean);
    form->addRow(QString::fromUtf8("&Pas (pixel):"), m_pPeriod);
    form->addRow(QString::fromUtf8("Déphasage:"),
                 new QLabel(QString::fromUtf8("PI/2 entre chaque image"), this));
    form->addRow(QString::fromUtf8("Images destination:"),
                 new QLabel(QString::fromUtf8("4 NOUVELLES IMAGES"), this));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        Named(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), 1);
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    connect(ok, &QPushButton::clicked, this, [this] { RunAtErrorEdge([this] { OnOK(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CFringePatternsDlg::OnOK()
{
    const std::optional<float> contrast = ParseLeadingFloat(m_pContrast->text().toStdString());
    const std::optional<int> mean = ParseLeadingInt(m_pMean->text().toStdString());
    const std::optional<int> period = ParseLeadingInt(m_pPeriod->text().toStdString());
    if (Refused(contrast, m_pContrast, "Entrez un nombre.") ||
        Refused(mean, m_pMean, "Entrez un entier.") ||
        Refused(period, m_pPeriod, "Entrez un entier."))
        return;

    // The period is kept in 16 bits.
    const metrology::MireSettings settings =
        metrology::ClampMireSettings({std::min(*period, int(INT16_MAX)), *contrast, *mean});
    m_pApp->SetFringePattern(settings.period, settings.mean, settings.contrast);

    const int width = m_pApp->m_nDefaultWidth, height = m_pApp->m_nDefaultHeight;
    for (int k = 0; k < 4; ++k) {
        // Each pattern is made before its document: a failure leaves no empty one.
        const float halfTurns = 0.5f * float(k);
        const ResultImage pattern = NewResultImage(width, height);
        metrology::MakeMirePattern(pattern.plane, width, height, settings, halfTurns);
        CFraloDoc* doc = Documents()->NewImageDocument(width, height);
        if (!doc)
            break;
        ShowResultImage(*doc, pattern.image,
                        QString::asprintf("Mire%1.0f", double(halfTurns * 180)));
    }
    accept();
}
