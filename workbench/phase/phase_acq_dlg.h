// "Acquisition d'une image phasée": one tab per phase-shift instrument. The
// page of the tab shown is created with it and destroyed when another tab is
// shown or the dialog closes, which is the page's close-down.
#pragma once

#include <QDialog>

#include "metrology/acquisition/projector_sequence.h"
#include <clock/clock.h>

class WorkbenchSettings;
class CPhasePage;
class QLabel;
class QTabBar;
class QVBoxLayout;

class CPhaseAcqDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDC_TAB = 1015, IDC_STATUS = 1022 };
    enum Tab { TabPiezo = 0, TabStage = 1, TabProjector = 2, TabStepper = 3 };

    // The four tabs, page 0 shown. The instruments keep time on `clock`; the
    // projector page's patterns go to `projector` as well as to its document
    // (none: the user places the document on the projector's screen).
    CPhaseAcqDlg(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent = nullptr,
                 acquisition::ProjectorOutput* projector = nullptr);
    ~CPhaseAcqDlg() override;

    // Destroys the page shown and creates the page of tab `index`; any other
    // index only clears the status.
    void ShowPage(int index);
    // "&Fermer" (or Escape): the page's close-down, then the dialog ends.
    void done(int result) override;
    // The page shown, or null.
    QWidget* Page() const { return m_pPage; }
    QTabBar* Tabs() const { return m_tab; }

private:
    // The page of tab `tab`, on this dialog's instruments.
    QWidget* NewPage(Tab tab);

    // The projector as the program sees it: its document is all it needs.
    class DocumentOnly final : public acquisition::ProjectorOutput {
    public:
        void Project(const std::uint8_t*, int) override { }
    };

    WorkbenchSettings* m_pApp;
    DocumentOnly m_documentOnly;
    acquisition::ProjectorOutput& m_projector;
    ondula::Clock& m_clock;
    QTabBar* m_tab;
    QLabel* m_pStatus;
    QVBoxLayout* m_pPageArea;
    QWidget* m_pPage = nullptr;
};
