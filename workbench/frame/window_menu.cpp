#include "window_menu.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

WindowMenuList::WindowMenuList(QMenu* menu, QMdiArea* area)
    : QObject(menu), m_pMenu(menu), m_pArea(area), m_pSeparator(menu->addSeparator())
{
    connect(menu, &QMenu::aboutToShow, this, &WindowMenuList::Update);
}

void WindowMenuList::Update()
{
    qDeleteAll(m_entries);
    m_entries.clear();
    const QList<QMdiSubWindow*> windows = m_pArea->subWindowList();
    m_pSeparator->setVisible(!windows.isEmpty());
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        // Only the first nine get a mnemonic digit.
        const QString number = i < 9 ? QString("&%1").arg(i + 1) : QString::number(i + 1);
        QAction* entry = m_pMenu->addAction(number + ' ' + window->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(window == m_pArea->currentSubWindow());
        connect(entry, &QAction::triggered, window, [this, window] {
            if (window->isMinimized())
                window->showNormal();
            m_pArea->setActiveSubWindow(window);
        });
        m_entries.append(entry);
    }
}
