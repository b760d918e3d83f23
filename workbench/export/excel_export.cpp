#include "excel_export.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include "workbench/common/desktop_open.h"
#include "workbench/common/user_message.h"
#include "workbench/core/profile_workbook.h"
#include "workbench/doc/fralo_doc.h"
#include "workbook_check.h"

namespace {

// Files "<name> (2).xlsx" and on are tried up to this one.
constexpr int kMostNameAttempts = 1000;
constexpr const char* kScientific = "0.0E+0";

void AddChart(lxw_workbook* workbook, const ProfileChart& c, int firstRow, int lastRow)
{
    const char* sheet = ProfileWorkbook::kSheetName;
    lxw_chart* chart = workbook_add_chart(workbook, LXW_CHART_SCATTER);
    lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_categories(series, sheet, lxw_row_t(firstRow), lxw_col_t(c.xColumn),
                                lxw_row_t(lastRow), lxw_col_t(c.xColumn));
    chart_series_set_values(series, sheet, lxw_row_t(firstRow), lxw_col_t(c.yColumn),
                            lxw_row_t(lastRow), lxw_col_t(c.yColumn));
    chart_series_set_name(series, c.series.c_str());
    chart_title_set_name(chart, c.title.c_str());
    chart_axis_set_name(chart->x_axis, c.xTitle.c_str());
    if (c.xScientific)
        chart_axis_set_num_format(chart->x_axis, kScientific);
    if (c.yScientific)
        chart_axis_set_num_format(chart->y_axis, kScientific);
    chartsheet_set_chart(workbook_add_chartsheet(workbook, nullptr), chart);
}

// Writes `book` to `path`; false when the file could not be written.
bool WriteWorkbook(const ProfileWorkbook& book, const QString& path)
{
    lxw_workbook* workbook = workbook_new(QFile::encodeName(path).constData());
    if (!workbook)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, ProfileWorkbook::kSheetName);
    // An empty cell is written as a blank one, so every row of points is in the sheet.
    lxw_format* blank = workbook_add_format(workbook);
    worksheet_write_string(sheet, 0, 0, ProfileWorkbook::kHeading, nullptr);
    for (int c = 0; c < 6; ++c)
        if (book.titles[c].empty())
            worksheet_write_blank(sheet, 1, lxw_col_t(c), blank);
        else
            worksheet_write_string(sheet, 1, lxw_col_t(c), book.titles[c].c_str(), nullptr);
    const int first = ProfileWorkbook::kFirstDataRow - 1;
    for (size_t i = 0; i < book.rows.size(); ++i)
        for (int c = 0; c < 6; ++c) {
            const lxw_row_t row = lxw_row_t(first + i);
            if (book.rows[i][c])
                worksheet_write_number(sheet, row, lxw_col_t(c), *book.rows[i][c], nullptr);
            else
                worksheet_write_blank(sheet, row, lxw_col_t(c), blank);
        }
    const int last = first + int(book.rows.size()) - 1;
    for (const ProfileChart& chart : book.charts)
        AddChart(workbook, chart, first, last);
    return workbook_close(workbook) == LXW_NO_ERROR && WorkbookIsWhole(path);
}

} // namespace

CExcelExport::CExcelExport(QString folder) : m_strFolder(std::move(folder)) { }

QString CExcelExport::DocumentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString CExcelExport::ReserveFile(const QString& documentName, bool* reserved) const
{
    *reserved = false;
    QDir folder(m_strFolder);
    const auto name = [&](int attempt) {
        return folder.absoluteFilePath(
            QString::fromStdString(WorkbookFileName(documentName.toStdString(), attempt)));
    };
    if (!folder.mkpath(QStringLiteral(".")))
        return name(1);
    for (int attempt = 1; attempt <= kMostNameAttempts; ++attempt) {
        QFile file(name(attempt));
        *reserved = file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (*reserved || !file.exists())
            return file.fileName();
    }
    return name(kMostNameAttempts);
}

bool CExcelExport::Export(const CFraloDoc* doc)
{
    m_bOpened = false;
    if (!doc)
        return false;
    ProfileExportSource source;
    source.profile = &doc->m_profile;
    source.gaussFit = doc->m_bGaussFit != 0;
    source.calibratedXY = doc->m_bCalibratedXY != 0;
    source.scaleXY = doc->m_fScaleXY;
    source.calibratedZ = doc->m_bCalibratedZ != 0;
    source.scaleZ = doc->m_fScaleZ;
    const ProfileWorkbook book = BuildProfileWorkbook(source);

    bool reserved = false;
    const QString path = ReserveFile(doc->m_strName, &reserved);
    if (!reserved || !WriteWorkbook(book, path)) {
        if (reserved)
            QFile::remove(path);
        UserMessage(QString::fromUtf8("Erreur d'écriture du classeur: ") + path);
        return false;
    }
    m_strPath = path;
    m_bOpened = OpenWithDesktop(QUrl::fromLocalFile(path));
    if (!m_bOpened)
        UserMessage(QString::fromUtf8("Erreur de démarrage Excel : aucun programme n'a pu "
                                      "ouvrir le classeur écrit dans\n") +
                    path);
    return true;
}
