// The mouse-coordinates window: the values under the cursor and the axis
// description of the status bar, larger, in a modeless window of the main frame.
#pragma once

#include <QDialog>
#include <QString>

class WorkbenchSettings;
class QLabel;

class CMouseCoordsDlg : public QDialog {
public:
    // Made and shown at once, both lines empty. The application keeps it in
    // m_pMouseCoordsDlg while it is open; it deletes itself when closed,
    // whichever way.
    explicit CMouseCoordsDlg(QWidget* parent);
    ~CMouseCoordsDlg() override;

    // The five value texts separated by two blanks, or nothing while the axis line is empty.
    void SetValues(const QString& a, const QString& b, const QString& c, const QString& d,
                   const QString& e);
    // The axis line; an empty one empties the values too.
    void SetAxes(const QString& text);
    // Closes the window (the menu command given again).
    void Close();

    QString m_strValues; // static 1030
    QString m_strAxes;   // static 1031

protected:
    // The close button and Escape.
    void reject() override;

private:
    void Forget();
    void UpdateControls();

    WorkbenchSettings* m_pApp;
    QLabel* m_pValues;
    QLabel* m_pAxes;
};
