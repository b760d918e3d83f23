// "&Exporter vers Excel": the active document's profiles and their charts in
// a new workbook, opened with the desktop's spreadsheet program.
#pragma once

#include <QString>

class CFraloDoc;

class CExcelExport {
public:
    // Writes into `folder`, made when missing.
    explicit CExcelExport(QString folder = DocumentsFolder());

    // Writes the sheet "Profil(s)" and the charts of `doc`'s profiles (see
    // BuildProfileWorkbook) into a new file named after the document, never
    // over an existing one, and opens it (desktop_open.h). A write that fails
    // leaves no file and shows "Erreur d'écriture du classeur: " with the
    // path; a workbook that cannot be opened stays, and "Erreur de démarrage
    // Excel" is shown with its path. True when the workbook was written.
    // Nothing for a null document.
    bool Export(const CFraloDoc* doc);
    // The file of the last workbook written; empty before.
    const QString& WrittenPath() const { return m_strPath; }
    // True when the last workbook written was opened.
    bool Opened() const { return m_bOpened; }

    // The user's documents folder.
    static QString DocumentsFolder();

private:
    // A new file for the document, created empty (`reserved`), or the name
    // that could not be created.
    QString ReserveFile(const QString& documentName, bool* reserved) const;

    QString m_strFolder;
    QString m_strPath;
    bool m_bOpened = false;
};
