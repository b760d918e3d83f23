// Opening a web page or a file with the desktop's application for it: the
// browser, the spreadsheet program. Tests put a recorder in its place.
#pragma once

#include <functional>

#include <QUrl>

// Opens `url`; false when no application could be started for it.
bool OpenWithDesktop(const QUrl& url);

// Replaces the desktop by `opener` (tests); an empty function restores it.
using DesktopOpener = std::function<bool(const QUrl& url)>;
void SetDesktopOpener(DesktopOpener opener);
