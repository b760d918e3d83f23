// When the commands of the frame and of the view's context menu are available.
#pragma once

#include <set>

// The application state the rules look at.
struct CommandState {
    bool hasActiveDocument = false;
    bool acquiring = false;         // some document acquires
    bool activeIsAcquiring = false; // the document in question is the acquiring one
    bool hasCopiedDocument = false;
    int activeKind = 0; // kind word of the document in question
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

// The context-menu items (ids 32776, 32777, 32791, 32792) greyed for a view
// whose document is described by `s`.
std::set<int> GreyedContextItems(const CommandState& s);
