// The frame's commands that open the analysis dialogs, modally.
#pragma once

class CMainFrame;

// "&Générer 4 mires sinusoïdales..." (32794).
void RunFringePatternsDialog(CMainFrame& frame);
// "&Calculer image phasée à 4 images..." (32796).
void RunPhaseDialog(CMainFrame& frame);
// "&Démoduler image phasée..." (32797).
void RunDemodulationDialog(CMainFrame& frame);
