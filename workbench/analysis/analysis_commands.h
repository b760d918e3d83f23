// The frame's commands that open the analysis dialogs, modally.
#pragma once

class QWidget;

// "&Générer 4 mires sinusoïdales..." (32794).
void RunFringePatternsDialog(QWidget& frame);
// "&Calculer image phasée à 4 images..." (32796).
void RunPhaseDialog(QWidget& frame);
// "&Démoduler image phasée..." (32797).
void RunDemodulationDialog(QWidget& frame);
