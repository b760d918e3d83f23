// Reading the keyboard's lock keys for the status bar.
#pragma once

#include "workbench/core/status_panes.h"

// The Caps Lock, Num Lock and Scroll Lock indicators of the X server when the
// program runs on X11; unknown on any other display (and without a display).
KeyLocks ReadKeyLocks();
