#include "command_table.h"

#include <map>
#include <set>

#include "help_file.h"
#include "main_frame.h"
#include "workbench/analysis/analysis_commands.h"
#include "workbench/core/acquisition_sources.h"
#include "workbench/core/command_ids.h"
#include "workbench/core/command_rules.h"
#include "workbench/dialogs/zone_view_commands.h"
#include "workbench/instruments/instrument_commands.h"
#include "workbench/phase/phase_commands.h"
#include "workbench/view/fralo_view.h"

namespace {

#define CALL(member) [](CMainFrame& f) { f.member(); }
// A dialog command, run with the frame as the dialog's parent.
#define WINDOW(run) [](CMainFrame& f) { run(f); }
#define RULE(member) [](const CMainFrame& f) { return f.member(); }
#define STATE_RULE(rule) [](const CMainFrame& f) { return rule(f.State()); }
// A command of the view's context menu: it acts on the active view, the one
// whose menu it is.
#define VIEW_CALL(member)                                                                          \
    [](CMainFrame& f) {                                                                            \
        if (CFraloView* view = f.ActiveView())                                                     \
            view->member();                                                                        \
    }
// A source command: disabled while a document acquires, checked while its
// source is the current one.
#define SOURCE(id, menu, text, member, code)                                                       \
    {                                                                                              \
        id, menu, text, nullptr, CALL(member), STATE_RULE(SourceCommandEnabled),                   \
            [](const CMainFrame& f) { return SourceChecked(f.State(), code); }                     \
    }
#define RECENT(i)                                                                                  \
    {                                                                                              \
        ID_FILE_MRU_FILE1 + i, "&Fichier/Fichiers récents", "", nullptr,                           \
            [](CMainFrame& f) { f.OnRecentFile(i); },                                              \
            [](const CMainFrame& f) { return f.HasRecentFile(i); }                                 \
    }

const char* const kFile = "&Fichier";
const char* const kEdit = "&Edition";
const char* const kSource = "&Numériseur";
const char* const kDravik = "&Numériseur/&Dravik";
const char* const kKandris = "&Numériseur/&Caméra Kandris kdLyra";
const char* const kView = "&Visualisation";
const char* const kFringe = "&Interférométrie";
const char* const kImage = "&Traitement";
const char* const kWindow = "Fe&nêtre";
const char* const kHelp = "&?";

} // namespace

const std::vector<CommandEntry>& CommandTable()
{
    static const std::vector<CommandEntry> table = {
        {ID_FILE_NEW, kFile, "&Nouveau\tCtrl+N", "Ctrl+N", CALL(OnFileNew)},
        {ID_OPEN, kFile, "&Ouvrir...\tCtrl+O", "Ctrl+O", CALL(OnOpen)},
        {ID_SAVE, kFile, "&Enregistrer\tCtrl+S", "Ctrl+S", CALL(OnSave), STATE_RULE(SaveEnabled)},
        {ID_SAVE_AS, kFile, "En&registrer sous...", nullptr, CALL(OnSaveAs),
         STATE_RULE(SaveEnabled)},
        {ID_FILE_CLOSE, kFile, "&Fermer", nullptr, CALL(OnFileClose), RULE(HasActiveDocument)},
        {0, kFile},
        {ID_FILE_PRINT, kFile, "&Imprimer...\tCtrl+P", "Ctrl+P", CALL(OnFilePrint),
         RULE(HasActiveDocument)},
        {ID_FILE_PRINT_PREVIEW, kFile, "Aperçu a&vant impression", nullptr,
         CALL(OnFilePrintPreview), RULE(HasActiveDocument)},
        {ID_FILE_PRINT_SETUP, kFile, "&Configuration de l'impression...", nullptr,
         CALL(OnFilePrintSetup)},
        {0, kFile},
        RECENT(0),
        RECENT(1),
        RECENT(2),
        RECENT(3),
        {0, kFile},
        {ID_APP_EXIT, kFile, "&Quitter", nullptr, CALL(OnAppExit)},
        // The framework's own open and save share the program's handlers.
        {ID_FILE_OPEN, nullptr, "&Ouvrir...", nullptr, CALL(OnOpen)},
        {ID_FILE_SAVE, nullptr, "&Enregistrer", nullptr, CALL(OnSave), STATE_RULE(SaveEnabled)},

        {ID_EDIT_COPY, kEdit, "&Copier\tCtrl+C", "Ctrl+C", CALL(OnEditCopy), RULE(CanCopy)},
        {ID_EDIT_PASTE, kEdit, "C&oller\tCtrl+V", "Ctrl+V", CALL(OnEditPaste), RULE(CanPaste)},
        {ID_PASTE_CLIPBOARD, kEdit, "&Coller presse-papier", nullptr, CALL(OnPasteClipboard),
         RULE(CanPasteClipboard)},
        // Undo and cut have accelerators but no handler in this program.
        {ID_EDIT_UNDO, nullptr, "&Annuler", "Ctrl+Z;Alt+Backspace"},
        {ID_EDIT_CUT, nullptr, "Co&uper", "Ctrl+X;Shift+Del"},

        {ID_LIVE_ACQUISITION, kSource, "&Acquisition permanente", nullptr,
         CALL(StartActiveAcquisition), STATE_RULE(LiveAcquisitionEnabled)},
        {ID_FROZEN_ACQUISITION, kSource, "&Acquisition figée", nullptr, CALL(StopActiveAcquisition),
         STATE_RULE(FrozenAcquisitionEnabled)},
        {0, kSource},
        SOURCE(ID_SOURCE_NONE, kSource, "&Aucun", OnSourceNone, SourceNone),
        SOURCE(ID_SOURCE_TWAIN, kSource, "&Twain", OnSourceTwain, SourceTwain),
        SOURCE(ID_SOURCE_VFW, kSource, "&Video for Windows (Webcam, ...)", OnSourceVfw, SourceVfw),
        SOURCE(ID_SOURCE_DIRECTSHOW, kSource, "&Direct Show (Webcam, ...)", OnSourceDirectShow,
               SourceDirectShow),
        SOURCE(ID_SOURCE_ZEPHON2, kDravik, "&Zephon II", OnSourceZephon2, SourceZephon2),
        SOURCE(ID_SOURCE_TALVO, kDravik, "&Talvo", OnSourceTalvo, SourceTalvo),
        SOURCE(ID_SOURCE_IEEE1394, kSource, "&IEEE 1394 (Firewire)", OnSourceIeee1394,
               SourceIeee1394),
        SOURCE(ID_SOURCE_USB_LARGE, kKandris, "A1C ou G (1280 x 1024)", OnSourceUsbCameraLarge,
               SourceUsbCameraLarge),
        SOURCE(ID_SOURCE_USB_SMALL, kKandris, "A2C ou G (640 x 480)", OnSourceUsbCameraSmall,
               SourceUsbCameraSmall),
        {0, kSource},
        {ID_DEFAULT_SIZE, kSource, "&Taille par défaut...", nullptr, CALL(OnDefaultSize),
         STATE_RULE(DefaultSizeEnabled)},
        {ID_CAMERA_SETTINGS, kSource, "&Régler les paramètres de la caméra...", nullptr,
         CALL(OnCameraSettings), STATE_RULE(CameraSettingsEnabled)},

        {ID_FALSE_COLOURS, kView, "Visualiser en &fausses couleurs...", nullptr,
         WINDOW(RunFalseColourDialog), STATE_RULE(LiveViewEnabled)},
        {ID_REAL_TIME_VIEW, kView, "&Visualiser en temps réel...", nullptr,
         WINDOW(RunRealTimeDialog), STATE_RULE(LiveViewEnabled)},
        {ID_TIME_AVERAGED, kView, "Visualiser en &temps moyenné...", nullptr,
         WINDOW(RunTimeAverageDialog), STATE_RULE(InstrumentAcquisitionEnabled)},
        {ID_VIEW_3D, kView, "&Visualiser en 3D", nullptr, CALL(OnView3D),
         STATE_RULE(View3DEnabled)},
        {ID_GAUSS_FIT, kView, "&Gaussienne sur tracé de profils", nullptr, CALL(OnGaussFit),
         nullptr, STATE_RULE(GaussFitChecked)},
        {ID_MOUSE_COORDS, kView, "&Coordonnées souris", nullptr, CALL(OnMouseCoords), nullptr,
         STATE_RULE(MouseCoordsChecked)},
        {0, kView},
        {ID_VIEW_TOOLBAR, kView, "&Barre d'outils", nullptr, CALL(OnToggleToolBar), nullptr,
         RULE(ToolBarShown)},
        {ID_VIEW_STATUS_BAR, kView, "Barre d'é&tat", nullptr, CALL(OnToggleStatusBar), nullptr,
         RULE(StatusBarShown)},

        {ID_FRINGE_PATTERNS, kFringe, "&Générer 4 mires sinusoïdales...", nullptr,
         WINDOW(RunFringePatternsDialog), STATE_RULE(AnalysisEnabled)},
        {ID_PHASE_ACQUISITION, kFringe, "&Acq. image phasée à 4 images...", nullptr,
         [](CMainFrame& f) { RunPhaseAcquisitionDialog(f, f.Bench()); },
         STATE_RULE(InstrumentAcquisitionEnabled)},
        {ID_PHASE_COMPUTE, kFringe, "&Calculer image phasée à 4 images...", nullptr,
         WINDOW(RunPhaseDialog), STATE_RULE(PhaseComputeEnabled)},
        {ID_DEMODULATE, kFringe, "&Démoduler image phasée...", nullptr,
         WINDOW(RunDemodulationDialog), STATE_RULE(AnalysisEnabled)},
        {ID_C832_MOVE, kFringe, "&Déplacer manuellement...", nullptr, WINDOW(RunC832MoveDialog)},
        {ID_C832_OVERTRAVEL, kFringe, "&Sortir de surcourse...", nullptr,
         WINDOW(RunOvertravelDialog)},
        {ID_PIEZO_SUPPLY, kFringe, "&Translateur piézo sur port série...", nullptr,
         WINDOW(RunPiezoDialog)},
        {ID_STEPPER, kFringe, "&Moteur pas à pas via port imprimante...", nullptr,
         WINDOW(RunStepperDialog)},

        {ID_BRIGHTNESS, kImage, "&Ajuster luminance et contraste...", nullptr, CALL(OnBrightness),
         STATE_RULE(ImageDialogEnabled)},
        {ID_RGB_TO_GREY, kImage, "&RVB en NG", nullptr, CALL(OnRgbToGrey),
         STATE_RULE(RgbToGreyEnabled)},
        {ID_GREY_TO_RGB, kImage, "&NG en RGB", nullptr, CALL(OnGreyToRgb),
         STATE_RULE(GreyToRgbEnabled)},
        {ID_NEGATIVE, kImage, "&Négatif", nullptr, CALL(OnNegative), STATE_RULE(FftBlockedEnabled)},
        {ID_MASK, kImage, "&Créer une image masque...", nullptr, WINDOW(OpenMaskDialog),
         STATE_RULE(MaskEnabled)},
        {ID_CALIBRATE, kImage, "&Etalonner l'image...", nullptr, CALL(OnCalibrate),
         STATE_RULE(CalibrateEnabled)},
        {ID_FILTER, kImage, "&Filtrer l'image...", nullptr, CALL(OnFilter),
         STATE_RULE(ImageDialogEnabled)},
        {ID_RESIZE, kImage, "Redimensionner l'image...", nullptr, CALL(OnResize),
         STATE_RULE(ImageDialogEnabled)},
        {ID_EXTRACT, kImage, "&Extraire une nouvelle image...", nullptr, WINDOW(OpenExtractDialog),
         STATE_RULE(ExtractEnabled)},
        {ID_FFT, kImage, "FFT &complexe", nullptr, CALL(OnFft), STATE_RULE(FftBlockedEnabled)},
        {ID_FFT_INVERSE, kImage, "FFT &inverse", nullptr, CALL(OnFftInverse),
         STATE_RULE(ComplexOnlyEnabled)},
        {ID_FFT_PHASE, kImage, "&Phase d'une image FFT complexe", nullptr, CALL(OnFftPhase),
         STATE_RULE(ComplexOnlyEnabled)},
        {ID_FFT_MODULUS, kImage, "&Module d'une image FFT complexe", nullptr, CALL(OnFftModulus),
         STATE_RULE(ComplexOnlyEnabled)},
        {ID_MATH_LOGIC, kImage, "&Opérations mathématiques et logiques...", nullptr,
         CALL(OnMathLogic), STATE_RULE(MathLogicEnabled)},
        {ID_MULTIPLY, kImage, "&Multiplier par constante...", nullptr, CALL(OnMultiply),
         STATE_RULE(ImageDialogEnabled)},
        {ID_EXPORT_EXCEL, kImage, "&Exporter vers Excel", nullptr, CALL(OnExportExcel),
         STATE_RULE(ExportEnabled)},

        {ID_WINDOW_CASCADE, kWindow, "&Cascade", nullptr, CALL(OnWindowCascade),
         RULE(HasActiveDocument)},
        {ID_WINDOW_TILE, kWindow, "&Mosaïque", nullptr, CALL(OnWindowTile),
         RULE(HasActiveDocument)},

        // The view's context menu (ContextMenuItems gives its order).
        {ID_VIEW_LIVE_ACQUISITION, nullptr, "Aquisition permanente", nullptr,
         VIEW_CALL(OnLiveAcquisition), STATE_RULE(LiveAcquisitionEnabled)},
        {ID_VIEW_FROZEN_ACQUISITION, nullptr, "&Acquisition figée", nullptr,
         VIEW_CALL(OnFrozenAcquisition), STATE_RULE(FrozenAcquisitionEnabled)},
        {ID_RESET_MOUSE_COORDS, nullptr, "Initialiser coordonnées souris", nullptr,
         VIEW_CALL(OnResetMouseCoords), STATE_RULE(ResetMouseCoordsEnabled)},
        {ID_CLEAR_PROFILES, nullptr, "Effacer tracé des profils", nullptr,
         VIEW_CALL(OnClearProfiles), STATE_RULE(ClearProfilesEnabled)},

        {ID_HELP_INDEX, kHelp, "&Rubriques de l'aide", nullptr, ShowHelpTopics},
        {ID_CONTEXT_HELP, nullptr, "Aide contextuelle", "Shift+F1", EnterContextHelp},
        // The framework's help on the active window (F1): the help file has no
        // topic per window, so these stay unavailable.
        {ID_HELP, nullptr, "Aide"},
        {ID_DEFAULT_HELP, nullptr, "Aide par défaut"},
        {ID_ONLINE_HELP, kHelp, "Aide et mise à jour de Ondula en ligne...", nullptr,
         CALL(OnOnlineHelp)},
        {0, kHelp},
        {ID_APP_ABOUT, kHelp, "&A propos du logiciel...", nullptr, CALL(OnAppAbout)},
    };
    return table;
}

const std::vector<int>& ToolBarButtons()
{
    static const std::vector<int> buttons = {
        ID_FILE_NEW,
        ID_OPEN,
        ID_SAVE,
        0,
        ID_FILE_PRINT_PREVIEW,
        ID_FILE_PRINT,
        0,
        ID_LIVE_ACQUISITION,
        ID_FROZEN_ACQUISITION,
        0,
        ID_EDIT_COPY,
        ID_EDIT_PASTE,
        0,
        ID_APP_ABOUT,
    };
    return buttons;
}

const std::vector<int>& ContextMenuItems()
{
    static const std::vector<int> items = {
        ID_VIEW_LIVE_ACQUISITION,
        ID_VIEW_FROZEN_ACQUISITION,
        ID_RESET_MOUSE_COORDS,
        ID_CLEAR_PROFILES,
    };
    return items;
}

bool InDocumentMenuOnly(int id)
{
    static const std::set<int> ids = {
        ID_SAVE,      ID_SAVE_AS,    ID_FILE_CLOSE,      ID_FILE_PRINT,     ID_FILE_PRINT_PREVIEW,
        ID_EDIT_COPY, ID_EDIT_PASTE, ID_PASTE_CLIPBOARD, ID_WINDOW_CASCADE, ID_WINDOW_TILE,
    };
    return ids.count(id) != 0;
}

const char* FrameMenuText(const CommandEntry& entry)
{
    static const std::map<int, const char*> texts = {
        {ID_FRINGE_PATTERNS, "&Génération de 4 mires ..."},
    };
    auto found = texts.find(entry.id);
    return found == texts.end() ? entry.text : found->second;
}
