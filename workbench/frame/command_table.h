// The one table of the frame's commands: id, menu place, French text,
// accelerator, handler and update rule. The table is written with the
// frame's handlers, in main_frame_commands.cpp.
#pragma once

#include <vector>

class CMainFrame;

// A row states what its command has; the fields it leaves out are null.
struct CommandEntry {
    int id;                         // 0: a separator in `menu`
    const char* menu;               // menu path, levels separated by '/'; null: no menu item
    const char* text = nullptr;     // menu text (UTF-8), "\t" before the accelerator shown
    const char* shortcut = nullptr; // key sequences separated by ';'; null: none
    void (*handler)(CMainFrame&) = nullptr;       // null: the command stays disabled
    bool (*enabled)(const CMainFrame&) = nullptr; // null: enabled whenever it has a handler (a
                                                  // command without handler stays disabled)
    bool (*checked)(const CMainFrame&) = nullptr; // null: not checkable
};

// Every command in menu order; tool bar 128 and the view's context menu list
// their items separately. Each command runs at the error edge (error_edge.h).
const std::vector<CommandEntry>& CommandTable();

// Ids of tool bar 128 in order; 0 is a separator.
const std::vector<int>& ToolBarButtons();

// Ids of the view's context menu in order.
const std::vector<int>& ContextMenuItems();

// Menu 128, shown while no document is open, holds every command of the table
// but these, which act on an open document.
bool InDocumentMenuOnly(int id);
// The text of `entry` in menu 128: menu 129's text unless menu 128 names it otherwise.
const char* FrameMenuText(const CommandEntry& entry);
