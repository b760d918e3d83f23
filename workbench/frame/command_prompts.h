// The status-bar prompt of each command of the table: shown while the pointer
// rests on its menu item or tool-bar button, by context help, and in the help file.
#pragma once

// The prompt of command `id` (UTF-8), or null for an id the table does not hold.
const char* CommandPrompt(int id);
