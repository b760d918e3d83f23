#include "fralo_app.h"

#include <clocale>
#include <cstdio>

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMdiArea>
#include <QMenu>
#include <QSettings>

#include "optical_bench_switch.h"
#include "workbench/acquisition/talvo_board.h"
#include "workbench/common/user_message.h"
#include "workbench/core/command_ids.h"
#include "workbench/core/document_walk.h"
#include "workbench/core/settings_record.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/frame/command_table.h"
#include "workbench/frame/main_frame.h"
#include "workbench/view/child_frame.h"
#include "workbench/view/fralo_view.h"
#include "workbench/view/profile_overlay.h"

namespace {

CFraloApp* g_app = nullptr;

constexpr int kRecentFiles = 4;
const char* const kRecentGroup = "Recent File List";
const char* const kLastFolderKey = "Settings/LastFolder";

QSettings Profile() { return QSettings(QStringLiteral("Ondula"), QStringLiteral("Fralo")); }

} // namespace

CFraloApp* FraloApp() { return g_app; }

CFraloApp::CFraloApp()
    : m_live(LibraryFrameGrabbers(), {TIMER_LIVE_START, TIMER_LIVE_GRAB},
             [](const std::string& text) { UserMessage(QString::fromStdString(text)); })
{
    g_app = this;
    SetSettings(this);
    SetDocuments(this);
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
    SetDocuments(nullptr);
    SetSettings(nullptr);
    g_app = nullptr;
}

CFraloDoc* CFraloApp::AcquiringDoc() const { return dynamic_cast<CFraloDoc*>(m_live.Target()); }

bool CFraloApp::InitInstance(const QStringList& arguments, const QString& settingsPath)
{
    // Qt takes the session's locale; numbers in texts, entries and files keep
    // their decimal point in a French session all the same.
    std::setlocale(LC_NUMERIC, "C");
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
    LoadSettings(m_strSettingsPath);
    m_pBench = StartOpticalBenchWhenAsked(*this);
    m_pMainFrame->SetBench(m_pBench.get());

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
    if (!SaveSettings(m_strSettingsPath))
        std::fprintf(stderr, "%s\n",
                     (QString::fromUtf8("Erreur d'écriture du fichier de configuration: ") +
                      m_strSettingsPath)
                         .toLocal8Bit()
                         .constData());
    return exitCode;
}

bool CFraloApp::LoadSettings(const QString& path)
{
    SettingsRecord r = Persisted();
    if (!ReadSettingsFile(path.toStdString(), &r))
        return false;
    TakePersisted(r);
    return true;
}

bool CFraloApp::SaveSettings(const QString& path) const
{
    return !path.isEmpty() && WriteSettingsFile(path.toStdString(), Persisted());
}

CFraloDoc* CFraloApp::NewImageDocument(int width, int height)
{
    if (!m_pMainFrame)
        return nullptr;
    if (width <= 0 || height <= 0)
        return m_pMainFrame->NewDocument(m_nDefaultWidth, m_nDefaultHeight);
    return m_pMainFrame->NewDocument(width, height);
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

CFraloDoc* CFraloApp::ActiveDocument() const
{
    return m_pMainFrame ? m_pMainFrame->ActiveDocument() : nullptr;
}

ImageView* CFraloApp::ActiveView() const
{
    return m_pMainFrame ? m_pMainFrame->ActiveView() : nullptr;
}

void CFraloApp::AddContextCommands(QMenu* menu, DocumentFrame* child)
{
    if (!m_pMainFrame)
        return;
    m_pMainFrame->MdiArea()->setActiveSubWindow(child);
    m_pMainFrame->UpdateCommandUI();
    for (int id : ContextMenuItems())
        menu->addAction(m_pMainFrame->Action(id));
}

bool CFraloApp::MayClose(const QList<CFraloDoc*>& documents)
{
    return !m_pMainFrame || m_pMainFrame->MayClose(documents);
}

void CFraloApp::CascadeAndFitAll()
{
    if (!m_pMainFrame)
        return;
    m_pMainFrame->OnWindowCascade();
}

void CFraloApp::OnAppAbout()
{
    if (m_pMainFrame)
        m_pMainFrame->OnAppAbout();
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
