// The frame's commands that open the phase-shift and time-averaged dialogs, modally.
#pragma once

class BenchProjector;
class QWidget;

// "&Acq. image phasée à 4 images..." (32820).
void RunPhaseAcquisitionDialog(QWidget& frame, BenchProjector* bench);

// "Visualiser en &temps moyenné..." (32828).
void RunTimeAverageDialog(QWidget& frame);
