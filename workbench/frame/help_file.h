// The program's help: a French page made from the command table (each menu,
// its commands, their shortcuts and prompts), so it always matches the menus,
// and context help on the next command clicked.
#pragma once

#include <QString>

class CMainFrame;

// The help page (HTML): the commands of every menu in menu order, those of the
// image's context menu, and those reached by keys alone, each with its prompt.
QString HelpPage();

// Where "&Rubriques de l'aide" writes the page: "aide.html" in the user's cache folder.
QString HelpFilePath();

// "&Rubriques de l'aide": writes the page and opens it in the desktop's viewer;
// says where it is when it cannot be written or no viewer opens it.
void ShowHelpTopics(CMainFrame& frame);

// Context help (Shift+F1): the next command clicked shows its prompt instead of running.
void EnterContextHelp(CMainFrame& frame);
