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
    int openImages = 0;           // open image documents
    bool mouseCoordsOpen = false; // the mouse-coordinates window is open
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
