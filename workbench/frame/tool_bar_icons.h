// The pictures of tool bar 128: the desktop icon theme's where it has them,
// else the program's own.
#pragma once

#include <vector>

#include <QIcon>

struct ToolBarIconName {
    int id;               // command id of the button
    const char* theme;    // icon name of the freedesktop naming scheme
    const char* fallback; // the program's own picture (a resource path)
};

// One entry per button of tool bar 128.
const std::vector<ToolBarIconName>& ToolBarIconNames();

// The icon of command `id`: the desktop theme's, else Adwaita's, else the
// program's own; a null icon for a command without button.
QIcon ToolBarIcon(int id);
