// "Opérations mathématiques et logiques": combines two open images pixel by
// pixel into a new document.
#pragma once

#include <QDialog>

#include "workbench/analysis/analysis_documents.h"
#include "workbench/common/window_timers.h"
#include "workbench/core/image_combination.h"

class CFraloDoc;
class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;

class CMathOpsDlg : public QDialog {
    Q_OBJECT
public:
    // The timer that checks the chosen operands.
    enum { TIMER_CHECK = 14 };

    // Both lists name the open documents, each showing the last one with no
    // entry picked; "Soustraction modulo &256" is chosen; the check timer
    // runs every 100 ms.
    explicit CMathOpsDlg(QWidget* parent = nullptr);

    // A tick of TIMER_CHECK: "&OK" is enabled exactly when the operands can
    // be combined; the message says why they cannot.
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }
    // Combines the operands into a new document of the first one's size,
    // which becomes the result, and closes. Operands that cannot be combined
    // (chosen since the last tick) only update the check.
    void OnOK();
    // The document made by "&OK", or null.
    CFraloDoc* Result() const { return m_pResult; }

    void accept() override { OnOK(); }
    void done(int result) override;

private:
    // The document of the entry picked in `list`, or the last entry's when
    // none is picked; null for an empty list.
    CFraloDoc* Operand(const QComboBox* list) const;
    // Shows whether the operands can be combined; true when they can.
    bool CheckOperands(CFraloDoc* first, CFraloDoc* second);

    DocumentList m_docs{};
    int m_nDocs = 0;
    QComboBox* m_pFirst;
    QComboBox* m_pSecond;
    QButtonGroup* m_pOperation;
    QLabel* m_pMessage;
    QPushButton* m_pOK = nullptr;
    CFraloDoc* m_pResult = nullptr;
    WindowTimers m_timers;
};
