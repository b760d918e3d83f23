// The main frame's instrument commands: each runs its dialog modally on the
// program's clock.
#pragma once

class QWidget;

// "&Translateur piézo sur port série..."
void RunPiezoDialog(QWidget& frame);
// "&Déplacer manuellement..."
void RunC832MoveDialog(QWidget& frame);
// "&Sortir de surcourse..."
void RunOvertravelDialog(QWidget& frame);
// "&Moteur pas à pas via port imprimante..."
void RunStepperDialog(QWidget& frame);
