#include "qt_french.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool LoadQtFrench(QTranslator* translator)
{
    return translator->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                            QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
