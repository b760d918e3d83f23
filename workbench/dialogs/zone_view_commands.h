// The frame's commands that open the live derived views (modal) and the zone
// dialogs (modeless, one of each at a time).
#pragma once

class QWidget;

// "Visualiser en &fausses couleurs..." (32790) and "&Visualiser en temps
// réel..." (32793): nothing without an active document.
void RunFalseColourDialog(QWidget& frame);
void RunRealTimeDialog(QWidget& frame);
// "&Créer une image masque..." (32801): nothing without an active document
// or while a mask dialog is open.
void OpenMaskDialog(QWidget& frame);
// "&Extraire une nouvelle image..." (32810): nothing while an extraction dialog is open.
void OpenExtractDialog(QWidget& frame);
