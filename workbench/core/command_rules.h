// When the commands of the frame and of the view's context menu are available.
#pragma once

// The application state the rules look at.
struct CommandState {
    bool hasActiveDocument = false;
    bool acquiring = false;         // some document acquires
    bool activeIsAcquiring = false; // the active document is the acquiring one
    bool hasCopiedDocument = false;
    int activeKind = 0; // kind word of the active document
    int source = 0;     // acquisition source code
    int openImages = 0; // open image documents
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
