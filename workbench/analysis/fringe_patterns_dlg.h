// "Mires sinusoïdales": four new documents "Mire0" to "Mire270" of vertical
// sinusoidal fringes a quarter fringe apart, at the default size.
#pragma once

#include <QDialog>

class WorkbenchSettings;
class QLineEdit;

class CFringePatternsDlg : public QDialog {
    Q_OBJECT
public:
    // Shows the contrast, mean and period kept in the application.
    explicit CFringePatternsDlg(WorkbenchSettings* app, QWidget* parent = nullptr);

private:
    // Reads the entries (an entry that does not read keeps the dialog open),
    // clamps and stores them, makes the four patterns and closes.
    void OnOK();

    WorkbenchSettings* m_pApp;
    QLineEdit* m_pContrast;
    QLineEdit* m_pMean;
    QLineEdit* m_pPeriod;
};
