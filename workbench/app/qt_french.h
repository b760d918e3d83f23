// Qt's own texts (file, print, page set-up and message dialogs, the buttons,
// the document windows' menu) in French.
#pragma once

class QTranslator;

// Loads Qt's French translations into `translator`, which the caller installs
// and keeps for the program's life; false when they are not installed.
bool LoadQtFrench(QTranslator* translator);
