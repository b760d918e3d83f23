// The frame's commands that open the phase-shift and time-averaged dialogs, modally.
#pragma once

class BenchProjector;
class QWidget;

// "&Acq. image phasée à 4 images..." (32820); the projector page's patterns go
// to `bench` when the optical bench is on (else null), dark again when the
// page changes and when the dialog closes.
void RunPhaseAcquisitionDialog(QWidget& frame, BenchProjector* bench);

// "Visualiser en &temps moyenné..." (32828).
void RunTimeAverageDialog(QWidget& frame);
