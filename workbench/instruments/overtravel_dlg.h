// Recovery of the C-832 stage's X axis from a limit switch, in 0.2 mm steps.
#pragma once

#include <memory>

#include <QDialog>
#include <QString>

#include "metrology/instruments/c832_controller.h"
#include <clock/clock.h>

class QLabel;
class QPushButton;

class COvertravelDlg : public QDialog {
    Q_OBJECT
public:
    // Connects to the card and, when the axis is in over-travel, stops it and
    // offers the steps.
    explicit COvertravelDlg(ondula::Clock& clock, QWidget* parent = nullptr);

    void OnMovePlus();
    void OnMoveMinus();
    void OnCancel();
    void reject() override { OnCancel(); }

    QPushButton* m_btnPlus;
    QPushButton* m_btnMinus;
    QString m_strLine1;
    QString m_strLine2;
    QString m_strState;
    std::unique_ptr<instruments::CC832Controller> m_pC832;

private:
    void UpdateData();
    void Step(double mm);
    QString PositionLine();

    QLabel* m_pLine1;
    QLabel* m_pLine2;
    QLabel* m_pState;
};
