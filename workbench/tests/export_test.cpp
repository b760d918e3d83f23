// The spreadsheet export, read back from the file it writes (with unzip).
#include <sys/resource.h>

#include <csignal>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <verodyn/operators.h>

#include "tests/support/scoped_setting.h"
#include "widget_fixture.h"
#include "workbench/common/desktop_open.h"
#include "workbench/export/excel_export.h"

namespace {

class ExportTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        SetDesktopOpener([this](const QUrl& url) {
            opened.append(url);
            return opens;
        });
        doc = frame->ActiveDocument();
        std::vector<uint8_t> plane(100 * 80);
        for (size_t i = 0; i < plane.size(); ++i)
            plane[i] = uint8_t(i % 100 + 50);
        Vobject image;
        ASSERT_EQ(gen_image1(&image, "byte", 100, 80, plane.data()), V_OK);
        doc->SetImage(image);
        doc->m_strName = QStringLiteral("profil.tif");
        doc->m_nKind = KindProfiles;
    }
    void TearDown() override
    {
        SetDesktopOpener(nullptr);
        WorkbenchTest::TearDown();
    }
    void Zone(int x1, int y1, int x2, int y2)
    {
        doc->m_profile.x1 = short(x1);
        doc->m_profile.y1 = short(y1);
        doc->m_profile.x2 = short(x2);
        doc->m_profile.y2 = short(y2);
        doc->ComputeProfiles(0, x1, y1, x2, y2);
    }
    static QString Member(const QString& file, const char* member)
    {
        QProcess unzip;
        unzip.start("unzip", {"-p", file, member});
        unzip.waitForFinished();
        return QString::fromUtf8(unzip.readAllStandardOutput());
    }
    // The cell `ref` of the sheet XML: its element, or empty without one.
    static QString Cell(const QString& sheet, const QString& ref)
    {
        QRegularExpression cell("<c r=\"" + ref + "\"[^>/]*(/>|>.*?</c>)");
        return cell.match(sheet).captured(0);
    }
    CFraloDoc* doc = nullptr;
    QList<QUrl> opened;
    bool opens = true;
};

TEST_F(ExportTest, SheetChartsAndOpeningOfAFullZone)
{
    Zone(10, 5, 60, 70);
    doc->m_bGaussFit = 1;
    CExcelExport exporter(Path("docs"));
    ASSERT_TRUE(exporter.Export(doc));
    const QString file = exporter.WrittenPath();
    EXPECT_EQ(file, QDir(Path("docs")).absoluteFilePath("profil.xlsx"));
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(file)});
    EXPECT_TRUE(messages.isEmpty());

    const QString book = Member(file, "xl/workbook.xml");
    EXPECT_TRUE(book.contains("<sheet name=\"Profil(s)\" sheetId=\"1\""));
    EXPECT_EQ(book.count("<sheet "), 5); // and a chart sheet per profile and fit
    const QString sheet = Member(file, "xl/worksheets/sheet1.xml");
    const QString strings = Member(file, "xl/sharedStrings.xml");
    for (const char* text : {"LOGICIEL ONDULA4", "iH(pixel)", "wH(luminance)", "GaussH",
                             "jV(pixel)", "wV(luminance)", "GaussV"})
        EXPECT_TRUE(strings.contains(QString(">%1<").arg(text))) << text;
    EXPECT_TRUE(sheet.contains("<dimension ref=\"A1:F802\"/>"));
    EXPECT_EQ(sheet.count("<row "), 802);
    EXPECT_TRUE(Cell(sheet, "A3").contains("<v>10</v>"));
    EXPECT_TRUE(Cell(sheet, "B3").contains("<v>60</v>"));
    EXPECT_TRUE(Cell(sheet, "D3").contains("<v>5</v>"));
    // Past the 50 columns of the zone the horizontal cells are empty.
    EXPECT_FALSE(Cell(sheet, "A60").contains("<v>"));
    EXPECT_TRUE(Cell(sheet, "D60").contains("<v>62</v>"));
    EXPECT_FALSE(Cell(sheet, "F802").isEmpty());
    EXPECT_FALSE(Cell(sheet, "F802").contains("<v>"));

    const QString chart = Member(file, "xl/charts/chart1.xml");
    EXPECT_TRUE(chart.contains("<c:scatterChart>"));
    EXPECT_TRUE(chart.contains("<c:f>'Profil(s)'!$A$3:$A$802</c:f>"));
    EXPECT_TRUE(chart.contains("<c:f>'Profil(s)'!$B$3:$B$802</c:f>"));
    EXPECT_TRUE(chart.contains(QString::fromUtf8("<c:v>Tracé horiz.</c:v>")));
    EXPECT_TRUE(chart.contains("<a:t>Profil horizontal</a:t>"));
    EXPECT_TRUE(chart.contains("<a:t>iH(pixel)</a:t>"));
    EXPECT_FALSE(chart.contains("0.0E+0"));
    const QString fit = Member(file, "xl/charts/chart4.xml");
    EXPECT_TRUE(fit.contains("<c:f>'Profil(s)'!$F$3:$F$802</c:f>"));
    EXPECT_TRUE(fit.contains("<a:t>jV(pixel)</a:t>"));

    // A second export never replaces the first.
    ASSERT_TRUE(exporter.Export(doc));
    EXPECT_EQ(QFileInfo(exporter.WrittenPath()).fileName(), "profil (2).xlsx");
}

TEST_F(ExportTest, AWideFlatZoneCalibratedWithoutFits)
{
    Zone(10, 5, 30, 10);
    doc->m_bCalibratedXY = 1;
    doc->m_fScaleXY = 4.0f;
    CExcelExport exporter(Path("docs"));
    ASSERT_TRUE(exporter.Export(doc));
    const QString file = exporter.WrittenPath();
    EXPECT_EQ(Member(file, "xl/workbook.xml").count("<sheet "), 2);
    const QString strings = Member(file, "xl/sharedStrings.xml");
    EXPECT_TRUE(strings.contains(">x(mm)<"));
    EXPECT_FALSE(strings.contains("GaussH"));
    const QString sheet = Member(file, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(Cell(sheet, "A4").contains("<v>2.75</v>"));
    for (const char* ref : {"C3", "D3", "E3", "F3", "C2", "D2"})
        EXPECT_FALSE(Cell(sheet, ref).contains("<v>")) << ref;
    const QString chart = Member(file, "xl/charts/chart1.xml");
    EXPECT_TRUE(chart.contains("<a:t>iH(mm)</a:t>"));
    EXPECT_TRUE(chart.contains("formatCode=\"0.0E+0\""));
}

TEST_F(ExportTest, TheWorkbookTakesTheFirstFreeNameThatFits)
{
    Zone(10, 5, 60, 70);
    // A document name of 255 bytes, whose cut falls inside a two-byte character.
    const QString longName = "a" + QString::fromUtf8("é").repeated(125) + ".tif";
    const QString cut = "a" + QString::fromUtf8("é").repeated(124);
    const QString cutMore = "a" + QString::fromUtf8("é").repeated(122);
    enum Taken { None, File, BrokenLink, Folder };
    const struct {
        QString document;
        Taken taken;
        QString takenName;
        QString expected;
    } cases[] = {
        {longName, None, "", cut + ".xlsx"},
        {longName, File, cut + ".xlsx", cutMore + " (2).xlsx"},
        {"profil.tif", BrokenLink, "profil.xlsx", "profil (2).xlsx"},
        {"profil.tif", Folder, "profil.xlsx", "profil (2).xlsx"},
    };
    int row = 0;
    for (const auto& c : cases) {
        const QString folder = dir.filePath(QString("names%1").arg(++row));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString taken = folder + "/" + c.takenName;
        if (c.taken == File) {
            QFile file(taken);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        if (c.taken == BrokenLink) {
            ASSERT_TRUE(QFile::link(folder + "/nowhere", taken));
        }
        if (c.taken == Folder) {
            ASSERT_TRUE(QDir().mkdir(taken));
        }
        doc->m_strName = c.document;
        CExcelExport exporter(folder);
        ASSERT_TRUE(exporter.Export(doc)) << row;
        EXPECT_EQ(exporter.WrittenPath(), folder + "/" + c.expected) << row;
        EXPECT_FALSE(QFile::exists(folder + "/nowhere")) << row;
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ExportTest, FailuresToWriteOrToOpen)
{
    Zone(10, 5, 60, 70);
    // A folder that cannot be made, even by root: a file stands in its path.
    QFile blocker(Path("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CExcelExport blocked(Path("file/docs"));
    EXPECT_FALSE(blocked.Export(doc));
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Erreur d'écriture du classeur: ") +
                                    Path("file/docs/profil.xlsx")});
    EXPECT_TRUE(opened.isEmpty());

    messages.clear();
    opens = false;
    CExcelExport exporter(Path("docs"));
    ASSERT_TRUE(exporter.Export(doc));
    EXPECT_FALSE(exporter.Opened());
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Erreur de démarrage Excel : aucun "
                                                      "programme n'a pu ouvrir le classeur écrit "
                                                      "dans\n") +
                                    exporter.WrittenPath()});
    EXPECT_TRUE(QFile::exists(exporter.WrittenPath()));
    EXPECT_FALSE(CExcelExport().Export(nullptr));

    // A file-size limit that the workbook keeps but its sheet, packed from a
    // temporary file, passes: the sheet would be cut short.
    messages.clear();
    const rlim_t workbookSize = rlim_t(QFileInfo(exporter.WrittenPath()).size());
    ASSERT_GT(rlim_t(Member(exporter.WrittenPath(), "xl/worksheets/sheet1.xml").toUtf8().size()),
              workbookSize);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit unlimited = limit;
    limit.rlim_cur = workbookSize;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool written = exporter.Export(doc);
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Erreur d'écriture du classeur: ") +
                                    Path("docs/profil (2).xlsx")});
    EXPECT_FALSE(QFile::exists(Path("docs/profil (2).xlsx")));
}

TEST_F(ExportTest, TheCommandExportsIntoTheDocumentsFolderAndSaysSo)
{
    Zone(10, 5, 60, 70);
    ScopedVariable home("HOME", dir.path().toLocal8Bit().constData());
    EXPECT_TRUE(frame->Execute(ID_EXPORT_EXCEL));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(messages,
              QStringList{QString::fromUtf8("Exportation vers Excel demandée...\nClasseur écrit "
                                            "dans\n") +
                          opened[0].toLocalFile()});
    EXPECT_TRUE(QFile::exists(opened[0].toLocalFile()));
    // Neither a workbook that is not opened nor one not written is said to be asked for.
    QDir(dir.path()).mkdir("blocked");
    QFile blocker(Path("blocked/Documents"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    opens = false;
    for (const char* folder : {"", "blocked"}) {
        messages.clear();
        home.Set(Path(folder).toLocal8Bit().constData());
        EXPECT_TRUE(frame->Execute(ID_EXPORT_EXCEL));
        ASSERT_EQ(messages.size(), 1) << folder;
        EXPECT_FALSE(messages[0].contains(QString::fromUtf8("demandée"))) << folder;
    }
    doc->m_nKind = 0;
    EXPECT_FALSE(frame->Execute(ID_EXPORT_EXCEL));
}

} // namespace
