#include "help_file.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <QWhatsThis>

#include "command_prompts.h"
#include "command_table.h"
#include "workbench/common/desktop_open.h"
#include "workbench/common/user_message.h"

namespace {

// A menu text as read in the menu: without its '&' marks nor the accelerator shown.
QString Readable(const char* text)
{
    return QString::fromUtf8(text).section('\t', 0, 0).remove('&');
}

// One table of the page: a title and its commands in order.
struct HelpSection {
    QString title;
    std::vector<const CommandEntry*> commands;
};

QString SectionHtml(const HelpSection& section)
{
    QString html = QStringLiteral("<h2>%1</h2>\n<table>\n"
                                  "<tr><th>Commande</th><th>Raccourci</th><th>Effet</th></tr>\n")
                       .arg(section.title.toHtmlEscaped());
    QStringList rows;
    for (const CommandEntry* entry : section.commands) {
        // The recent files are named at run time: one row stands for all of them.
        QString text = *entry->text ? Readable(entry->text) : QStringLiteral("(nom du fichier)");
        const char* frameText = FrameMenuText(*entry);
        if (std::strcmp(frameText, entry->text) != 0)
            text += QString::fromUtf8(" (« %1 » sans image ouverte)").arg(Readable(frameText));
        const QString keys =
            entry->shortcut ? QString::fromUtf8(entry->shortcut).replace(';', " ou ") : QString();
        const QString row = QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                                .arg(text.toHtmlEscaped(), keys.toHtmlEscaped(),
                                     QString::fromUtf8(CommandPrompt(entry->id)).toHtmlEscaped());
        if (!rows.contains(row))
            rows.append(row);
    }
    return html + rows.join(QString()) + QStringLiteral("</table>\n");
}

} // namespace

QString HelpPage()
{
    std::vector<HelpSection> sections;
    std::map<QString, std::size_t> menuSections;
    HelpSection context{QStringLiteral("Menu contextuel de l'image (clic droit)"), {}};
    HelpSection keys{QStringLiteral("Commandes au clavier"), {}};
    const std::vector<int>& contextItems = ContextMenuItems();
    for (const CommandEntry& entry : CommandTable()) {
        if (entry.id == 0)
            continue;
        if (entry.menu) {
            const QString path = QString::fromUtf8(entry.menu);
            auto [found, added] = menuSections.try_emplace(path, sections.size());
            if (added)
                sections.push_back({QStringLiteral("Menu ") +
                                        path.split('/').replaceInStrings("&", "").join(" > "),
                                    {}});
            sections[found->second].commands.push_back(&entry);
        } else if (std::find(contextItems.begin(), contextItems.end(), entry.id) !=
                   contextItems.end()) {
            context.commands.push_back(&entry);
        } else if (entry.shortcut && entry.handler) {
            keys.commands.push_back(&entry);
        }
    }
    sections.push_back(context);
    sections.push_back(keys);

    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Ondula4 : rubriques de l'aide</title>\n"
        "<style>table{border-collapse:collapse}td,th{border:1px solid #999;padding:2px 6px;"
        "text-align:left}</style>\n</head>\n<body>\n<h1>Ondula4 : rubriques de l'aide</h1>\n"
        "<p>Les menus du logiciel et leurs commandes. Une commande grisée n'est pas disponible "
        "pour l'image active ou pendant une acquisition. Maj+F1 (Shift+F1) puis un clic sur une "
        "commande "
        "en affiche l'aide sans l'exécuter.</p>\n");
    for (const HelpSection& section : sections)
        html += SectionHtml(section);
    return html + QStringLiteral("</body>\n</html>\n");
}

QString HelpFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("aide.html"));
}

void ShowHelpTopics(CMainFrame&)
{
    const QString path = HelpFilePath();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(HelpPage().toUtf8()) < 0 || !file.commit()) {
        UserMessage(QString::fromUtf8("Erreur d'écriture fichier: ") + path);
        return;
    }
    if (!OpenWithDesktop(QUrl::fromLocalFile(path)))
        UserMessage(QString::fromUtf8("Aucun programme n'a pu ouvrir l'aide, écrite dans :\n") +
                    path);
}

void EnterContextHelp(CMainFrame&) { QWhatsThis::enterWhatsThisMode(); }
