// The frame's commands that open the live derived views (modal) and the zone
// dialogs (modeless, one of each at a time).
#pragma once

class CMainFrame;

// "Visualiser en &fausses couleurs..." (32790) and "&Visualiser en temps
// réel..." (32793): nothing without an active document.
void RunFalseColourDialog(CMainFrame& frame);
void RunRealTimeDialog(CMainFrame& frame);
// "&Créer une image masque..." (32801): nothing without an active document
// or while a mask dialog is open.
void OpenMaskDialog(CMainFrame& frame);
// "&Extraire une nouvelle image..." (32810): nothing while an extraction dialog is open.
void OpenExtractDialog(CMainFrame& frame);
