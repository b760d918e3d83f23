#include "desktop_open.h"

#include <QDesktopServices>

namespace {

DesktopOpener& Opener()
{
    static DesktopOpener opener;
    return opener;
}

} // namespace

bool OpenWithDesktop(const QUrl& url)
{
    return Opener() ? Opener()(url) : QDesktopServices::openUrl(url);
}

void SetDesktopOpener(DesktopOpener opener) { Opener() = std::move(opener); }
