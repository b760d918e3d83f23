// "Visualisation en temps réel": the amplified difference between the
// camera's grey levels live and a reference frame taken on request.
#pragma once

#include <cstdint>
#include <vector>

#include "live_view_dlg.h"

class QLineEdit;
class WorkbenchSettings;

class CRealTimeDlg : public CLiveViewDlg {
    Q_OBJECT
public:
    enum { TIMER_REAL_TIME = 2 };

    // Gain 8; "&Référence" disabled until "&Visualiser".
    explicit CRealTimeDlg(WorkbenchSettings* app, QWidget* parent = nullptr);

    int Gain() const { return m_nGain; }

protected:
    void OnStarting() override;
    void ComputeResult() override;

private:
    // "&Référence": the grey levels of the last tick become the reference.
    void OnReference();
    void OnChangeGain();

    int16_t m_nGain = 8;
    std::vector<uint8_t> m_reference;
    std::vector<uint8_t> m_result;
    QPushButton* m_pReference;
    QLineEdit* m_pGain;
};
