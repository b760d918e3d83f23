#include "tool_bar_icons.h"

#include <mutex>

#include "workbench/core/command_ids.h"

const std::vector<ToolBarIconName>& ToolBarIconNames()
{
    static const std::vector<ToolBarIconName> names = {
        {ID_FILE_NEW, "document-new", ":/icons/new.xpm"},
        {ID_OPEN, "document-open", ":/icons/open.xpm"},
        {ID_SAVE, "document-save", ":/icons/save.xpm"},
        {ID_FILE_PRINT_PREVIEW, "document-print-preview", ":/icons/print_preview.xpm"},
        {ID_FILE_PRINT, "document-print", ":/icons/print.xpm"},
        {ID_LIVE_ACQUISITION, "media-playback-start", ":/icons/live.xpm"},
        {ID_FROZEN_ACQUISITION, "media-playback-pause", ":/icons/frozen.xpm"},
        {ID_EDIT_COPY, "edit-copy", ":/icons/copy.xpm"},
        {ID_EDIT_PASTE, "edit-paste", ":/icons/paste.xpm"},
        {ID_APP_ABOUT, "help-about", ":/icons/about.xpm"},
    };
    return names;
}

QIcon ToolBarIcon(int id)
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The pictures live in a static library: nothing else would link them in.
        Q_INIT_RESOURCE(icons);
        // Desktops that name no icon theme (a bare X session) still get Adwaita's.
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    });
    for (const ToolBarIconName& name : ToolBarIconNames())
        if (name.id == id)
            return QIcon::fromTheme(QLatin1String(name.theme), QIcon(QLatin1String(name.fallback)));
    return {};
}
