// The application object: every setting and every piece of run-time state
// that more than one window needs, start-up and exit, and the operations
// through which dialogs make result documents and list the open ones.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <QColor>
#include <QFont>
#include <QPen>
#include <QString>
#include <QStringList>

#include "archive.h"
#include "live_control.h"
#include "size_table.h"

class CFraloDoc;
class CMainFrame;
class CExtractImageDlg;
class CMaskDlg;
class CMouseCoordsDlg;
class CTalvoBoard;
class OpticalBenchSession;

class CFraloApp {
public:
    // Defaults, pens and fonts; becomes the application that FraloApp() returns.
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

    // Reads (Load) or writes (Store) the persistent settings at `path`; false
    // when no file was read or the write failed. Reading validates each value
    // and rebuilds the size table for the stored source.
    bool SerializeSettings(Archive direction, const QString& path);

    // Clears the ten pairs and fills those of `source`.
    void FillSizeTable(int source);
    // True when some pair of the current table equals (width, height); when
    // none does, the size index and the default size fall back to pair 0.
    bool IsSizeAllowed(int source, int width, int height);
    // 0 and pair `index`, or 1 and 640 x 480 for an index outside 0..9 or an empty pair.
    int GetSize(int index, int16_t* width, int16_t* height) const;
    void CreatePensAndFonts();
    // The rotation in degrees of label font k (0..179): 90 - k.
    static int LabelFontRotation(int k) { return 90 - k; }

    // A new document in its own child frame, active, fitted to width x height
    // when both exceed 100; null without a main frame.
    CFraloDoc* NewImageDocument(int width, int height);
    // The open documents in MDI order from the active one (at most 20; the
    // rest null). The active child does not change.
    void ListOpenDocuments(std::array<CFraloDoc*, 20>& list) const;
    // The same walk without the active document.
    void ListOtherDocuments(std::array<CFraloDoc*, 20>& list) const;
    // Cascades the children, each frame fitted to its image as far as the area allows.
    void CascadeAndFitAll();
    // Runs the about box.
    void OnAppAbout();

    // The recent-file list (4 entries, newest first).
    void AddToRecentFileList(const QString& path);
    QStringList RecentFiles() const;
    // The folder of the file last opened, or saved under a chosen name: the
    // file dialogs start there. Empty until then.
    QString LastFolder() const;
    void SetLastFolder(const QString& folder);

    // Live acquisition: the document that acquires and the loop of the
    // imaging library's frame grabbers.
    LiveControl& Live() { return m_live; }
    // The document that acquires, or null.
    CFraloDoc* AcquiringDoc() const;

    // The simulated optical bench the program runs on, or null.
    OpticalBenchSession* Bench() const { return m_pBench.get(); }
    CMainFrame* MainFrame() const { return m_pMainFrame; }
    const QString& SettingsPath() const { return m_strSettingsPath; }

    int16_t m_nImageCounter = 0;
    int16_t m_nOpenImages = 0;
    int16_t m_nDefaultWidth = 0;
    int16_t m_nDefaultHeight = 0;
    int16_t m_nChildWidth = 0;
    int16_t m_nChildHeight = 0;
    int16_t m_nMaxWidth = 1024;
    int16_t m_nMaxHeight = 768;
    std::array<QPen, 8> m_pens;
    QFont m_font; // the label font; LabelFontRotation gives the angle of each of the 180
    std::array<uint32_t, 8> m_colors = {0xFFFFFF, 0x0000FF, 0x00FFFF, 0xFF82FF,
                                        0x82FF82, 0xE65050, 0xFF00FF, 0x000000};
    int16_t m_nFontHeight = 14;
    int16_t m_nPenWidth = 1;
    CFraloDoc* m_pCopiedDoc = nullptr;
    int16_t m_nSource = 0;
    int16_t m_nSizeIndex = 0;
    SizeTable m_sizeTable{};
    float m_fCameraGain = 15.0f;
    int16_t m_nExposureUs = 20000;
    int16_t m_nFringePeriod = 30;
    int16_t m_nFringeMean = 127;
    float m_fFringeContrast = 1.0f;
    int16_t m_nComPort = 0;
    int16_t m_nSupplyModel = 0;
    int16_t m_nSliderPos = 0;
    std::array<float, 4> m_fStagePos = {0.0f, 0.25f, 0.5f, 0.75f};
    int16_t m_nSupplyFullScale = 500;
    std::array<int16_t, 4> m_nPhaseSteps = {409, 476, 544, 611};
    std::array<int16_t, 4> m_nStepperPos = {0, 2, 4, 6};
    int16_t m_nMaskShape = 0;
    CMouseCoordsDlg* m_pMouseCoordsDlg = nullptr; // the open mouse-coordinates window
    CExtractImageDlg* m_pExtractDlg = nullptr;    // the open extraction dialog
    CMaskDlg* m_pMaskDlg = nullptr;               // the open mask dialog
    std::unique_ptr<CTalvoBoard> m_pTalvoBoard;   // the board of the Talvo source

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

// A colour of the overlay table (0x00BBGGRR) as a QColor.
QColor ColorFromRef(uint32_t colorRef);
