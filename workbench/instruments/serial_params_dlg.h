// Choice of the piezo supply model connected to the serial port.
#pragma once

#include <QDialog>

class WorkbenchSettings;
class QRadioButton;

class CSerialParamsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSerialParamsDlg(WorkbenchSettings* app, QWidget* parent = nullptr);

    // Keeps the chosen model and its full scale (500 V or 100 V) in the
    // application, then ends the dialog.
    void OnOK();

    int m_nSupply = -1; // 0 "Alimentation 1", 1 "Alimentation 2"
    QRadioButton* m_pSupply1;
    QRadioButton* m_pSupply2;

private:
    void UpdateData(bool save);

    WorkbenchSettings* m_pApp;
};
