// The frame's commands that open the phase-shift and time-averaged dialogs, modally.
#pragma once

class CMainFrame;

// "&Acq. image phasée à 4 images..." (32820).
void RunPhaseAcquisitionDialog(CMainFrame& frame);

// "Visualiser en &temps moyenné..." (32828).
void RunTimeAverageDialog(CMainFrame& frame);
