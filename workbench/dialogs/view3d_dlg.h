// "Visualisation 3D": the active image as a cloud of points in a new document
// "Visu3D", turned by buttons or continuously; when the dialog closes the
// last picture becomes the document's image, as its negative when asked.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include <QDialog>

#include "workbench/common/window_timers.h"

class WorkbenchSettings;
class CFraloDoc;
class CGlWnd;
class QCheckBox;
class QPushButton;

class CView3DDlg : public QDialog {
    Q_OBJECT
public:
    // Control ids; each control's object name is its id.
    enum ControlId : int {
        IDOK = 1,
        IDC_NEGATIVE = 1009,
        IDC_RY_MINUS = 1035,
        IDC_RY_PLUS = 1038,
        IDC_RX_PLUS = 1043,
        IDC_RX_MINUS = 1045,
        IDC_RZ_MINUS = 1048,
        IDC_RZ_PLUS = 1051,
    };
    // Timer 1 draws the first picture, timer 2 turns the cloud.
    enum TimerId : int { TIMER_FIRST_PICTURE = 1, TIMER_AUTO_ROTATION = 2 };

    explicit CView3DDlg(QWidget* parent = nullptr);
    ~CView3DDlg() override;

    // OnInitDialog, then the dialog runs modally.
    int DoModal();
    // Makes the "Visu3D" document of the active one's size, takes the grey
    // plane of the active image ("Erreur sur taille image !" and a plane of
    // zeros when the image is not of its document's size), sets up the
    // drawing and arms timer 1. Nothing without an active document.
    void OnInitDialog();
    // Timer 1 draws once and stops; timer 2 draws; every tick then turns the
    // angles by (-2, -20, -10) degrees.
    void OnTimer(int id);
    // "&Rot. auto." / "&Stop rot.": starts or stops timer 2, the six
    // rotation buttons disabled while it runs.
    void OnOK();
    // "&Quitter": takes the check box and closes the dialog.
    void OnCancel();
    // A rotation button: one angle by 10 degrees, then a picture at once.
    void OnRotate(int buttonId);

    CFraloDoc* Document3D() const { return m_pDoc3D; }
    std::array<float, 3> Angles() const { return {m_fAngleX, m_fAngleY, m_fAngleZ}; }
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }

public slots:
    // Escape and the window's close button end the dialog as "&Quitter" does.
    void reject() override { OnCancel(); }
    void done(int result) override;

private:
    // Draws the cloud at the current angles and shows the picture in the view.
    void Draw();
    // After the dialog has gone: the picture becomes the document's image and
    // the document its ordinary display again.
    void PostNcDestroy();
    QPushButton* AddButton(int id, const char* text);

    WorkbenchSettings* m_pApp;
    CFraloDoc* m_pSourceDoc = nullptr;
    CFraloDoc* m_pDoc3D = nullptr;
    std::vector<uint8_t> m_pGrey;
    std::unique_ptr<CGlWnd> m_pGlWnd;
    int16_t m_nWidth = 0;
    int16_t m_nHeight = 0;
    int16_t m_nTicks = 0;
    float m_fAngleX = -2.0f;
    float m_fAngleY = 20.0f;
    float m_fAngleZ = 10.0f;
    bool m_bAutoRotate = false;
    bool m_bNegativeOnExit = false;
    bool m_bFinished = false;
    WindowTimers m_timers;
    QPushButton* m_pAutoButton = nullptr;
    QCheckBox* m_pNegative = nullptr;
    std::vector<QPushButton*> m_rotationButtons;
};
