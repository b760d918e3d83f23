#include "math_ops_dlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <verodyn/operators.h>

#include "dialog_support.h"
#include "workbench/analysis/analysis_documents.h"
#include "workbench/common/error_edge.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"

namespace {

constexpr int kCheckPeriodMs = 100;

struct OperationButton {
    int id;
    const char* label;
};
// In the order of ImageOperation.
const OperationButton kOperations[kImageOperationCount] = {
    {1023, "&Addition"},
    {1024, "Addition &modulo 256"},
    {1026, "&Soustraction absolue"},
    {1027, "Soustraction modulo &256"},
    {1029, "&ET logique"},
    {1033, "O&U inclusif (OR)"},
    {1034, "OU e&xclusif (XOR)"},
    {1037, "&Multiplication"},
    {1042, "&Division"},
};

OperandFacts FactsOf(const CFraloDoc& doc)
{
    return {doc.m_nKind, doc.Channels(), doc.m_nWidth, doc.m_nHeight};
}

} // namespace

CMathOpsDlg::CMathOpsDlg(QWidget* parent)
    : QDialog(parent),
      m_pOperation(new QButtonGroup(this)),
      m_pMessage(Named(new QLabel, 1018)),
      m_timers([this](int id) { OnTimer(id); })
{
    setWindowTitle(QString::fromUtf8("Opérations mathématiques et logiques"));
    m_docs = ListedDocuments(*Documents(), &m_nDocs);
    m_pFirst = NewDocumentBox(1020, m_docs, m_nDocs, this);
    m_pSecond = NewDocumentBox(1021, m_docs, m_nDocs, this);
    ShowEntryText(m_pFirst, m_nDocs - 1);
    ShowEntryText(m_pSecond, m_nDocs - 1);

    auto* sources = new QFormLayout;
    sources->addRow(QStringLiteral("Image source &1:"), m_pFirst);
    sources->addRow(QStringLiteral("Image source &2:"), m_pSecond);
    sources->addRow(QStringLiteral("&Image destination:"),
                    Named(new QLabel(QStringLiteral("NOUV. IMAGE")), 1006));
    auto* group = new QGroupBox(QString::fromUtf8("Opération"));
    auto* operations = new QGridLayout(group);
    for (int i = 0; i < kImageOperationCount; ++i) {
        auto* radio =
            Named(new QRadioButton(QString::fromUtf8(kOperations[i].label)), kOperations[i].id);
        m_pOperation->addButton(radio, i);
        operations->addWidget(radio, i % 5, i / 5);
    }
    m_pOperation->button(int(ImageOperation::SubModulo))->setChecked(true);
    m_pMessage->setMinimumHeight(4 * fontMetrics().height());
    m_pMessage->setWordWrap(true);

    QDialogButtonBox* buttons = DialogButtons(this, {{1, "&OK"}, {2, "&Quitter"}});
    m_pOK = buttons->findChild<QPushButton*>(ControlName(1));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sources);
    layout->addWidget(group);
    layout->addWidget(m_pMessage);
    layout->addWidget(buttons);
    m_timers.SetTimer(TIMER_CHECK, kCheckPeriodMs);
}

CFraloDoc* CMathOpsDlg::Operand(const QComboBox* list) const
{
    const int index = list->currentIndex() >= 0 ? list->currentIndex() : m_nDocs - 1;
    return index >= 0 && index < m_nDocs ? m_docs[index] : nullptr;
}

bool CMathOpsDlg::CheckOperands(CFraloDoc* first, CFraloDoc* second)
{
    OperandFacts a, b;
    if (first)
        a = FactsOf(*first);
    if (second)
        b = FactsOf(*second);
    const OperandMismatch mismatch = ::CheckOperands(first ? &a : nullptr, second ? &b : nullptr);
    m_pOK->setEnabled(mismatch == OperandMismatch::None);
    m_pMessage->setText(QString::fromUtf8(MismatchMessage(mismatch)));
    return mismatch == OperandMismatch::None;
}

void CMathOpsDlg::OnTimer(int id)
{
    if (id == TIMER_CHECK)
        CheckOperands(Operand(m_pFirst), Operand(m_pSecond));
}

void CMathOpsDlg::OnOK()
{
    RunAtErrorEdge([this] {
        CFraloDoc* first = Operand(m_pFirst);
        CFraloDoc* second = Operand(m_pSecond);
        if (!CheckOperands(first, second))
            return;
        const int width = first->m_nWidth;
        const int height = first->m_nHeight;
        const auto operation = static_cast<ImageOperation>(m_pOperation->checkedId());
        // The result is made before its document, so that a failure leaves no
        // document behind.
        Vobject result;
        if (IsModuloOperation(operation)) {
            PlaneBuffers a, b;
            if (!ReadDocumentPlanes(first->m_image, width, height, &a) ||
                !ReadDocumentPlanes(second->m_image, width, height, &b))
                return;
            gen_image1(&result, "byte", width, height, CombineGreyModulo(operation, a, b).data());
        } else {
            CombineInLibrary(operation, first->m_image, second->m_image, &result);
        }
        CFraloDoc* doc = Documents()->NewImageDocument(width, height);
        if (!doc)
            return;
        doc->SetImage(result);
        doc->UpdateAllViews();
        m_pResult = doc;
        QDialog::accept();
    });
}

void CMathOpsDlg::done(int result)
{
    m_timers.KillTimer(TIMER_CHECK);
    QDialog::done(result);
}
