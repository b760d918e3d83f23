// The window-size dialog: the default size of new documents, among the sizes
// the current acquisition source allows.
#pragma once

#include <QDialog>

class WorkbenchSettings;
class QComboBox;

class CWindowSizeDlg : public QDialog {
public:
    explicit CWindowSizeDlg(QWidget* parent);

    // Fills the list with the sizes of the source's table, "%d X %d", and
    // shows the chosen one in the edit field, nothing selected.
    void OnInitDialog();
    // A selected entry becomes the chosen size; the chosen size becomes the
    // default size; the dialog closes.
    void OnOK();
    QComboBox* SizeList() const { return m_pSizes; }

protected:
    void accept() override { OnOK(); }

private:
    WorkbenchSettings* m_pApp;
    QComboBox* m_pSizes; // combo box 1000
};
