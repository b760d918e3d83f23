// The application object: every setting and every piece of run-time state
// that more than one window needs, start-up and exit, and the operations
// through which dialogs make result documents and list the open ones.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <QString>
#include <QStringList>

#include "workbench/core/live_control.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

class CFraloDoc;
class CMainFrame;
class CTalvoBoard;
class OpticalBenchSession;

class CFraloApp : public WorkbenchSettings, public DocumentService {
public:
    // Defaults, pens and fonts; becomes the application that FraloApp() returns,
    // and the settings and documents service of Settings() and Documents().
    CFraloApp();
    ~CFraloApp();
    CFraloApp(const CFraloApp&) = delete;
    CFraloApp& operator=(const CFraloApp&) = delete;

    // Start-up: main frame, sizes, the settings of `settingsPath` (kept as the
    // path written at exit), the optical bench when its switch is set, the
    // first document (the image named by the first argument, else a new one),
    // then the frame is shown. False when the frame or the first document
    // cannot be made.
    bool InitInstance(const QStringList& arguments, const QString& settingsPath);
    // Exit: writes the settings (a failure is reported) and returns `exitCode`.
    int ExitInstance(int exitCode);

    // Reads the persistent settings at `path`, validating each value, and
    // rebuilds the size table for the stored source; false when no file was read.
    bool LoadSettings(const QString& path);
    // Writes the persistent settings to `path`; false when the write failed.
    bool SaveSettings(const QString& path) const;

    // The documents service, on the main frame's MDI area.
    CFraloDoc* NewImageDocument(int width, int height) override;
    void ListOpenDocuments(std::array<CFraloDoc*, 20>& list) const override;
    void ListOtherDocuments(std::array<CFraloDoc*, 20>& list) const override;
    CFraloDoc* ActiveDocument() const override;
    ImageView* ActiveView() const override;
    void CascadeAndFitAll() override;
    void AddContextCommands(QMenu* menu, DocumentFrame* child) override;
    bool MayClose(const QList<CFraloDoc*>& documents) override;
    // Runs the about box.
    void OnAppAbout();

    // The recent-file list (4 entries, newest first).
    void AddToRecentFileList(const QString& path) override;
    QStringList RecentFiles() const override;
    // The folder of the file last opened, or saved under a chosen name: the
    // file dialogs start there. Empty until then.
    QString LastFolder() const override;
    void SetLastFolder(const QString& folder) override;

    // Live acquisition: the document that acquires and the loop of the
    // imaging library's frame grabbers.
    LiveControl& Live() override { return m_live; }
    // The document that acquires, or null.
    CFraloDoc* AcquiringDoc() const override;
    CTalvoBoard& TalvoBoard() override { return *m_pTalvoBoard; }

    // The simulated optical bench the program runs on, or null.
    OpticalBenchSession* Bench() const { return m_pBench.get(); }
    CMainFrame* MainFrame() const { return m_pMainFrame; }
    const QString& SettingsPath() const { return m_strSettingsPath; }

    std::unique_ptr<CTalvoBoard> m_pTalvoBoard; // the board of the Talvo source

private:
    void WalkDocuments(std::array<CFraloDoc*, 20>& list, bool includeActive) const;

    // Before the frame and live acquisition, so that it outlives both.
    std::unique_ptr<OpticalBenchSession> m_pBench;
    CMainFrame* m_pMainFrame = nullptr;
    QString m_strSettingsPath;
    LiveControl m_live;
};

// The running application object.
CFraloApp* FraloApp();
