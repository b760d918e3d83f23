#include "fralo_app.h"

#include <cstdio>

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMdiArea>
#include <QSettings>

#include "about_dlg.h"
#include "child_frame.h"
#include "command_ids.h"
#include "document_walk.h"
#include "fralo_doc.h"
#include "fralo_view.h"
#include "main_frame.h"
#include "optical_bench_switch.h"
#include "profile_overlay.h"
#include "settings_record.h"
#include "talvo_board.h"
#include "user_message.h"

namespace {

CFraloApp* g_app = nullptr;

constexpr int kRecentFiles = 4;
const char* const kRecentGroup = "Recent File List";
const char* const kLastFolderKey = "Settings/LastFolder";

QSettings Profile() { return QSettings(QStringLiteral("Ondula"), QStringLiteral("Fralo")); }

} // namespace

CFraloApp* FraloApp() { return g_app; }

QColor ColorFromRef(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

CFraloApp::CFraloApp()
    : m_live(LibraryFrameGrabbers(), {TIMER_LIVE_START, TIMER_LIVE_GRAB},
             [](const std::string& text) { UserMessage(QString::fromStdString(text)); })
{
    g_app = this;
    m_pTalvoBoard = std::make_unique<CTalvoBoard>();
    m_sizeTable = ::FillSizeTable(0, {m_nChildWidth, m_nChildHeight});
    CreatePensAndFonts();
    CFraloView::SetOverlayPainters(
        [](QPainter& painter, CFraloDoc& doc, bool printing) {
            ProfileOverlay(painter, doc, printing).DrawCross();
        },
        [](QPainter& painter, CFraloDoc& doc, bool printing) {
            ProfileOverlay(painter, doc, printing).DrawProfiles();
        });
}

CFraloApp::~CFraloApp()
{
    delete m_pMainFrame;
    g_app = nullptr;
}

CFraloDoc* CFraloApp::AcquiringDoc() const { return dynamic_cast<CFraloDoc*>(m_live.Target()); }

void CFraloApp::CreatePensAndFonts()
{
    for (int i = 0; i < 7; ++i)
        m_pens[i] = QPen(ColorFromRef(m_colors[i]), m_nPenWidth, Qt::SolidLine);
    m_pens[7] = QPen(ColorFromRef(m_colors[7]), 0, Qt::DotLine);
    m_font = QFont(QStringLiteral("Arial"));
    m_font.setPixelSize(m_nFontHeight);
}

bool CFraloApp::InitInstance(const QStringList& arguments, const QString& settingsPath)
{
    // Every window, child frames and dialogs included, shows the program's icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/ondula.xpm")));
    m_pMainFrame = new CMainFrame(this);
    int frameWidth = m_pMainFrame->frameGeometry().width();
    m_nMaxWidth = 1024;
    m_nMaxHeight = 768;
    SizePair child = ChildSizeForFrameWidth(frameWidth);
    m_nChildWidth = child.width;
    m_nChildHeight = child.height;

    m_nSource = 0;
    FillSizeTable(0);
    m_nSizeIndex = 0;
    GetSize(0, &m_nDefaultWidth, &m_nDefaultHeight);
    m_nExposureUs = 20000;
    m_fCameraGain = 15.0f;

    m_strSettingsPath = settingsPath;
    SerializeSettings(Archive::Load, m_strSettingsPath);
    m_pBench = StartOpticalBenchWhenAsked(*this);

    // Shown before the first document, so that its child frame is laid out
    // in a visible MDI area and keeps the size fitted to its image.
    m_pMainFrame->show();
    if (arguments.isEmpty())
        m_pMainFrame->OnFileNew();
    else if (!m_pMainFrame->OpenFile(arguments.first()))
        return false;
    return true;
}

int CFraloApp::ExitInstance(int exitCode)
{
    // The main window is gone: a box now would wait for a window the user no
    // longer sees.
    if (!SerializeSettings(Archive::Store, m_strSettingsPath))
        std::fprintf(stderr, "%s\n",
                     (QString::fromUtf8("Erreur d'écriture du fichier de configuration: ") +
                      m_strSettingsPath)
                         .toLocal8Bit()
                         .constData());
    return exitCode;
}

bool CFraloApp::SerializeSettings(Archive direction, const QString& path)
{
    SettingsRecord r{m_nSource,    m_nDefaultWidth, m_nDefaultHeight,
                     m_nSizeIndex, m_nSupplyModel,  m_nSupplyFullScale};
    if (direction == Archive::Store)
        return !path.isEmpty() && WriteSettingsFile(path.toStdString(), r);
    if (!ReadSettingsFile(path.toStdString(), &r))
        return false;
    m_nSource = r.m_nSource;
    m_nDefaultWidth = r.m_nDefaultWidth;
    m_nDefaultHeight = r.m_nDefaultHeight;
    m_nSizeIndex = r.m_nSizeIndex;
    m_nSupplyModel = r.m_nSupplyModel;
    m_nSupplyFullScale = r.m_nSupplyFullScale;
    FillSizeTable(m_nSource);
    return true;
}

void CFraloApp::FillSizeTable(int source)
{
    m_sizeTable = ::FillSizeTable(source, {m_nChildWidth, m_nChildHeight});
}

bool CFraloApp::IsSizeAllowed(int, int width, int height)
{
    if (SizeInTable(m_sizeTable, width, height))
        return true;
    m_nSizeIndex = 0;
    GetSize(0, &m_nDefaultWidth, &m_nDefaultHeight);
    return false;
}

int CFraloApp::GetSize(int index, int16_t* width, int16_t* height) const
{
    int w = 0, h = 0;
    int result = ::GetSize(m_sizeTable, index, &w, &h);
    *width = static_cast<int16_t>(w);
    *height = static_cast<int16_t>(h);
    return result;
}

CFraloDoc* CFraloApp::NewImageDocument(int width, int height)
{
    if (!m_pMainFrame)
        return nullptr;
    m_pMainFrame->OnFileNew();
    CFraloDoc* doc = m_pMainFrame->ActiveDocument();
    if (doc && width > 100 && height > 100)
        doc->FitFrameToImage(width, height);
    return doc;
}

void CFraloApp::WalkDocuments(std::array<CFraloDoc*, 20>& list, bool includeActive) const
{
    list.fill(nullptr);
    if (!m_pMainFrame || !m_pMainFrame->ActiveDocument())
        return;
    const QList<QMdiSubWindow*> children = m_pMainFrame->MdiArea()->subWindowList();
    int active = static_cast<int>(children.indexOf(m_pMainFrame->ActiveChild()));
    int slot = 0;
    for (int i : DocumentWalk(static_cast<int>(children.size()), active, includeActive))
        list[slot++] = static_cast<CChildFrame*>(children[i])->Document();
}

void CFraloApp::ListOpenDocuments(std::array<CFraloDoc*, 20>& list) const
{
    WalkDocuments(list, true);
}

void CFraloApp::ListOtherDocuments(std::array<CFraloDoc*, 20>& list) const
{
    WalkDocuments(list, false);
}

void CFraloApp::CascadeAndFitAll()
{
    if (!m_pMainFrame)
        return;
    m_pMainFrame->OnWindowCascade();
}

void CFraloApp::OnAppAbout()
{
    CAboutDlg dialog(m_pMainFrame);
    dialog.exec();
}

void CFraloApp::AddToRecentFileList(const QString& path)
{
    QString full = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(full);
    files.prepend(full);
    while (files.size() > kRecentFiles)
        files.removeLast();
    QSettings profile = Profile();
    profile.beginGroup(kRecentGroup);
    profile.remove(QString());
    for (int i = 0; i < files.size(); ++i)
        profile.setValue(QString("File%1").arg(i + 1), files[i]);
}

QStringList CFraloApp::RecentFiles() const
{
    QSettings profile = Profile();
    profile.beginGroup(kRecentGroup);
    QStringList files;
    for (int i = 1; i <= kRecentFiles; ++i) {
        QString file = profile.value(QString("File%1").arg(i)).toString();
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

QString CFraloApp::LastFolder() const { return Profile().value(kLastFolderKey).toString(); }

void CFraloApp::SetLastFolder(const QString& folder) { Profile().setValue(kLastFolderKey, folder); }
