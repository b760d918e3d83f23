// The open documents at the end of the Fenêtre menu: "&1 <title>" and so on
// in the order they were opened, the active one checked; choosing one
// activates it. The list is rebuilt each time the menu opens.
#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMdiArea;
class QMenu;

class WindowMenuList : public QObject {
    Q_OBJECT
public:
    WindowMenuList(QMenu* menu, QMdiArea* area);

    // Rebuilds the entries from the open documents.
    void Update();
    const QList<QAction*>& Entries() const { return m_entries; }

private:
    QMenu* m_pMenu;
    QMdiArea* m_pArea;
    QAction* m_pSeparator;
    QList<QAction*> m_entries;
};
