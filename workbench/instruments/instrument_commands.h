// The main frame's instrument commands: each runs its dialog modally on the
// program's clock.
#pragma once

class CMainFrame;

// "&Translateur piézo sur port série..."
void RunPiezoDialog(CMainFrame& frame);
// "&Déplacer manuellement..."
void RunC832MoveDialog(CMainFrame& frame);
// "&Sortir de surcourse..."
void RunOvertravelDialog(CMainFrame& frame);
// "&Moteur pas à pas via port imprimante..."
void RunStepperDialog(CMainFrame& frame);
