// When the commands of the frame and of the view's context menu are available.
#pragma once

// The application state the rules look at.
struct CommandState {
    bool hasActiveDocument = false;
    bool acquiring = false;         // some document acquires
    bool activeIsAcquiring = false; // the active document is the acquiring one
    bool hasCopiedDocument = false;
    int activeKind = 0;           // kind word of the active document
    int source = 0;               // acquisition source code
    int activeChannels = 0;       // channels of the active document's image, of any pixel type
    bool activeGaussFit = false;  // the active document draws the fits of its profiles
    int openImages = 0;           // open image documents
    bool mouseCoordsOpen = false; // the mouse-coordinates window is open
    bool extractOpen = false;     // the extraction dialog is open
    bool maskOpen = false;        // the mask dialog is open
    bool activeInMask = false;    // the mask dialog works on the active document
};

// Save, Save As, Close, Print, Print Preview, window commands: an active document.
bool DocumentCommandEnabled(const CommandState& s);
// Copy: an active document that is no FFT image, and nothing acquires.
bool CopyEnabled(const CommandState& s);
// Paste: a remembered document and nothing acquires.
bool PasteEnabled(const CommandState& s);
// "Coller presse-papier": an active document and nothing acquires.
bool PasteClipboardEnabled(const CommandState& s);

// Fringe patterns and demodulation: nothing acquires.
bool AnalysisEnabled(const CommandState& s);
// Four-image phase: nothing acquires and more than three images are open.
bool PhaseComputeEnabled(const CommandState& s);

// Phase-shift acquisition and time-averaged views: an active document (the
// camera document), nothing acquires, and a live source (2 or above).
bool InstrumentAcquisitionEnabled(const CommandState& s);

// "Acquisition permanente" of the frame and of the view: an active document,
// a source, and nothing acquires.
bool LiveAcquisitionEnabled(const CommandState& s);
// "Acquisition figée" of the frame and of the view: an active document, a
// source, and some document acquires.
bool FrozenAcquisitionEnabled(const CommandState& s);
// "Initialiser coordonnées souris": an active document and nothing acquires.
bool ResetMouseCoordsEnabled(const CommandState& s);
// "Effacer tracé des profils": an active document that draws profiles and
// does not acquire.
bool ClearProfilesEnabled(const CommandState& s);

// The source commands: disabled while a document acquires; each checked while
// its source is the current one.
bool SourceCommandEnabled(const CommandState& s);
bool SourceChecked(const CommandState& s, int source);
// "Taille par défaut...": nothing acquires and the source is not TWAIN.
bool DefaultSizeEnabled(const CommandState& s);
// "Régler les paramètres de la caméra...": nothing acquires, source 5 or above.
bool CameraSettingsEnabled(const CommandState& s);
// "Coordonnées souris": checked while its window is open.
bool MouseCoordsChecked(const CommandState& s);
// "&Opérations mathématiques et logiques...": nothing acquires.
bool MathLogicEnabled(const CommandState& s);
// "&Etalonner l'image...": an active document and nothing acquires.
bool CalibrateEnabled(const CommandState& s);
// The dialogs that change the active image in place (filter, brightness,
// multiplication, resize): an active document that is no FFT image, and
// nothing acquires.
bool ImageDialogEnabled(const CommandState& s);

// The image commands below depend on the active document only while there is
// one: without it they are enabled (and do nothing) unless something acquires.
// "FFT &complexe" and "&Négatif": nothing acquires and the active image is no
// FFT image.
bool FftBlockedEnabled(const CommandState& s);
// "FFT &inverse", phase and module: nothing acquires and the active image is a
// complex FFT image.
bool ComplexOnlyEnabled(const CommandState& s);
// "&RVB en NG": nothing acquires, and a one-channel active image is an FFT image.
bool RgbToGreyEnabled(const CommandState& s);
// "&NG en RGB": nothing acquires and the active image has one channel and is
// no FFT image.
bool GreyToRgbEnabled(const CommandState& s);
// "&Visualiser en 3D": nothing acquires.
bool View3DEnabled(const CommandState& s);
// "&Exporter vers Excel": an active document that draws profiles, and nothing acquires.
bool ExportEnabled(const CommandState& s);
// "&Gaussienne sur tracé de profils" is checked while the active document draws fits.
bool GaussFitChecked(const CommandState& s);

// Save and Save As: an active document that no mask dialog works on (its
// image is then the tinted working copy).
bool SaveEnabled(const CommandState& s);
// The live derived views: nothing acquires and the source is above TWAIN.
bool LiveViewEnabled(const CommandState& s);
// The zone dialogs: nothing acquires and the same dialog is not open.
bool MaskEnabled(const CommandState& s);
bool ExtractEnabled(const CommandState& s);
