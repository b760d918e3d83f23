// The documents service: what windows, documents and views ask of the open
// documents and of the shell that holds them. The application implements it
// and wires it once, when it starts.
#pragma once

#include <array>

#include <QList>
#include <QString>
#include <QStringList>

class CFraloDoc;
class CTalvoBoard;
class DocumentFrame;
class ImageView;
class LiveControl;
class QMenu;

class DocumentService {
public:
    // A new document of width x height (of the default size when either is 0)
    // in its own child frame, active, its frame fitted to it once and shown;
    // null without a main frame.
    virtual CFraloDoc* NewImageDocument(int width, int height) = 0;
    // The open documents in MDI order from the active one (at most 20; the
    // rest null). The active child does not change.
    virtual void ListOpenDocuments(std::array<CFraloDoc*, 20>& list) const = 0;
    // The same walk without the active document.
    virtual void ListOtherDocuments(std::array<CFraloDoc*, 20>& list) const = 0;
    virtual CFraloDoc* ActiveDocument() const = 0;
    virtual ImageView* ActiveView() const = 0;
    // Cascades the children, each frame fitted to its image as far as the area allows.
    virtual void CascadeAndFitAll() = 0;
    // Makes `child` the active one and adds the commands of the view's
    // context menu to `menu`, enabled by their update rules.
    virtual void AddContextCommands(QMenu* menu, DocumentFrame* child) = 0;
    // Asks whether to save those of `documents` that changed and do not
    // acquire; false when nothing may close.
    virtual bool MayClose(const QList<CFraloDoc*>& documents) = 0;
    // The recent-file list (4 entries, newest first).
    virtual void AddToRecentFileList(const QString& path) = 0;
    virtual QStringList RecentFiles() const = 0;
    // The folder of the file last opened, or saved under a chosen name: the
    // file dialogs start there. Empty until then.
    virtual QString LastFolder() const = 0;
    virtual void SetLastFolder(const QString& folder) = 0;

    // Live acquisition: the document that acquires (or null), the loop of the
    // imaging library's frame grabbers, and the board of the Talvo source.
    virtual CFraloDoc* AcquiringDoc() const = 0;
    virtual LiveControl& Live() = 0;
    virtual CTalvoBoard& TalvoBoard() = 0;

protected:
    ~DocumentService() = default;
};

// The running application's documents service; null before it starts.
DocumentService* Documents();
// Wired once, by the application when it starts (null when it ends).
void SetDocuments(DocumentService* documents);
