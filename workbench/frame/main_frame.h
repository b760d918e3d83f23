// The top-level window: MDI area, menu, tool bar, six-pane status bar and
// the handlers of the commands that act on the active image.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>

#include <QMainWindow>

#include "workbench/core/command_rules.h"
#include "workbench/core/status_panes.h"

class CFraloDoc;
class CFraloView;
class CChildFrame;
class QLabel;
class QMdiArea;
class QMenu;
class QPrinter;
class QToolBar;
class Vobject;
class WorkbenchSettings;
class BenchProjector;
struct CommandEntry;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Creates menu, tool bar and status bar and shows itself maximised.
    explicit CMainFrame(WorkbenchSettings* app);
    ~CMainFrame() override;

    QMdiArea* MdiArea() const { return m_pMdiArea; }
    CChildFrame* ActiveChild() const;
    CFraloDoc* ActiveDocument() const;
    CFraloView* ActiveView() const;
    // The action of a command id, or null.
    QAction* Action(int id) const;
    // Runs the handler of command `id` when it is enabled; false otherwise.
    bool Execute(int id);
    // Re-evaluates every update rule and the two status panes (the idle update).
    void UpdateCommandUI();
    // The menu shown: 128 while no document is open, 129 while one is.
    int ShownMenu() const;
    // The texts of panes 130 and 131.
    QString ValuesPane() const;
    QString UnitsPane() const;
    // What every update rule of the command table looks at, for the active document.
    CommandState State() const;
    // Where the Caps Lock, Num Lock and Scroll Lock panes read the keyboard
    // (ReadKeyLocks unless replaced, as tests do).
    void SetKeyLockReader(std::function<KeyLocks()> reader);
    // The optical bench's projector that the phase acquisition drives, or null.
    BenchProjector* Bench() const { return m_pBench; }
    void SetBench(BenchProjector* bench) { m_pBench = bench; }

    // File commands with the file already chosen.
    bool OpenFile(const QString& path);
    bool SaveActive();
    bool SaveActiveAs(const QString& path);
    // Save of the active document: without a question to its own file (or a
    // new one), else through the choice of a file; false when nothing was written.
    bool SaveActiveChoosing();
    // Where the save dialog asks for the file (an empty answer cancels);
    // tests replace the dialog. `proposed` is the path offered.
    using SavePathChooser = std::function<QString(const QString& proposed)>;
    void SetSavePathChooser(SavePathChooser chooser);
    // Asks whether to save those of `documents` that changed and do not
    // acquire, one question for all, and saves them on Yes. False when the
    // user cancels or a save does not happen: nothing may close then.
    bool MayClose(const QList<CFraloDoc*>& documents);
    // A new document of width x height in its own child frame, active: its
    // view fits the frame to it once and shows it.
    CFraloDoc* NewDocument(int width, int height);
    // Shows `doc` in its own child frame, active, fitted once to its image.
    CFraloDoc* ShowDocument(std::unique_ptr<CFraloDoc> doc);

    // Command handlers.
    void OnFileNew();
    void OnOpen();
    void OnSave();
    void OnSaveAs();
    void OnFileClose();
    void OnEditCopy();
    void OnEditPaste();
    void OnPasteClipboard();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void OnWindowCascade();
    void OnWindowTile();
    void OnToggleToolBar();
    void OnToggleStatusBar();
    void OnAppAbout();
    void OnAppExit();
    void OnRecentFile(int index);
    // Commands on the active image (image_commands.cpp).
    void OnFft();
    void OnFftInverse();
    void OnFftPhase();
    void OnFftModulus();
    void OnRgbToGrey();
    void OnGreyToRgb();
    void OnNegative();
    void OnGaussFit();
    void OnView3D();
    void OnExportExcel();
    void OnOnlineHelp();
    // The image-operation dialogs (image_dialog_commands.cpp), on the active document.
    void OnMathLogic();
    void OnFilter();
    void OnBrightness();
    void OnMultiply();
    void OnResize();
    void OnCalibrate();

    // Acquisition: "Acquisition permanente" starts acquiring into the active
    // document when none acquires; "Acquisition figée" stops it from the
    // active document when one acquires.
    void StartActiveAcquisition();
    void StopActiveAcquisition();
    // The source commands (SourceCommands gives what each does).
    void OnSourceNone();
    void OnSourceTwain();
    void OnSourceVfw();
    void OnSourceDirectShow();
    void OnSourceZephon2();
    void OnSourceIeee1394();
    void OnSourceUsbCameraLarge();
    void OnSourceUsbCameraSmall();
    void OnSourceTalvo();
    // "Taille par défaut...", "Coordonnées souris" (opens or closes its
    // window), "Régler les paramètres de la caméra..." (the dialog of the source).
    void OnDefaultSize();
    void OnMouseCoords();
    void OnCameraSettings();

    // Update rules.
    bool HasActiveDocument() const;
    bool CanCopy() const;
    bool CanPaste() const;
    bool CanPasteClipboard() const;
    bool ToolBarShown() const;
    bool StatusBarShown() const;
    bool HasRecentFile(int index) const;

protected:
    // Quitting asks once about every changed document.
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenusAndToolBar();
    void CreateStatusBar();
    // Runs source command `id`.
    void ChooseSource(int id);
    // Hands the panes' texts to the mouse-coordinates window while it is open.
    void UpdateMouseCoords();
    // The active view when its image can be printed; otherwise null, with a
    // message when there is one that cannot.
    CFraloView* PrintableView() const;
    // The menu at `path` of menu bar `menuId` (128 or 129), made when missing.
    QMenu* MenuFor(const QString& path, int menuId);
    // The action that stands for `action` in menu 128, which names some
    // commands otherwise: a second action that follows and triggers `action`.
    QAction* FrameMenuAction(const CommandEntry& entry, QAction* action);
    // Shows the menu of 128 or 129 that fits the open documents.
    void ShowMenuOfState();
    // The folder where the file dialogs start, and the file `name` in it.
    QString DialogPath(const QString& name) const;
    // Gives the active document the image `image` (paste and clipboard paste).
    void PasteIntoActive(const Vobject& image, const QString& name);
    // An image command's operator: the image in, the result out, the
    // library's status back.
    using ImageOperator = std::function<int(const Vobject&, Vobject*)>;
    // A new document of `source`'s size and of kind `kind` that shows what
    // `op` makes of its image, or null, after `failure` (the library's reason
    // when null) has been shown, when `op` fails.
    CFraloDoc* NewResultDocument(const CFraloDoc& source, const ImageOperator& op,
                                 const char* failure, int kind);
    // The FFT family: `op` from the active image into a new document named
    // `nameFormat` of the image counter, of kind `kind`; `failure` when it fails.
    void RunFftCommand(const char* nameFormat, int kind, int (*op)(const Vobject&, Vobject*),
                       const char* failure);

    WorkbenchSettings* m_pApp;
    BenchProjector* m_pBench = nullptr;
    QMdiArea* m_pMdiArea;
    QToolBar* m_pToolBar = nullptr;
    QLabel* m_pValuesPane = nullptr;
    QLabel* m_pUnitsPane = nullptr;
    std::array<QLabel*, 3> m_pLockPanes{};
    std::function<KeyLocks()> m_readKeyLocks;
    std::map<int, QAction*> m_actions;
    std::map<std::pair<int, QString>, QMenu*> m_menus;
    std::map<int, QList<QMenu*>> m_topMenus;
    std::unique_ptr<QPrinter> m_pPrinter;
    SavePathChooser m_chooseSavePath;
};
