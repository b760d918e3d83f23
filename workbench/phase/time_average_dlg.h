// "Temps moyenné": the two time-averaged pages on tabs; showing a tab
// destroys the other page and creates its own from scratch.
#pragma once

#include <QDialog>

#include <clock/clock.h>

class WorkbenchSettings;
class QTabBar;
class QVBoxLayout;

class CTimeAverageDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDC_TAB = 1027 };
    enum Tab { TabTwo = 0, TabFour = 1 };

    CTimeAverageDlg(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent = nullptr);
    ~CTimeAverageDlg() override;

    void ShowPage(int index);
    QWidget* Page() const { return m_pPage; }
    QTabBar* Tabs() const { return m_tab; }

private:
    WorkbenchSettings* m_pApp;
    ondula::Clock& m_clock;
    QTabBar* m_tab;
    QVBoxLayout* m_pPageArea;
    QWidget* m_pPage = nullptr;
};
