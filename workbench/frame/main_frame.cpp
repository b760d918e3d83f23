#include "main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <cstring>

#include <imageproc/plane_buffers.h>
#include <verodyn/operators.h>

#include "about_dlg.h"
#include "command_prompts.h"
#include "command_table.h"
#include "tool_bar_icons.h"
#include "window_menu.h"
#include "workbench/common/error_edge.h"
#include "workbench/common/file_dialogs.h"
#include "workbench/common/key_lock_state.h"
#include "workbench/common/qimage_planes.h"
#include "workbench/common/user_message.h"
#include "workbench/core/command_ids.h"
#include "workbench/core/pixel_sample.h"
#include "workbench/core/save_rules.h"
#include "workbench/core/status_panes.h"
#include "workbench/dialogs/mask_dlg.h"
#include "workbench/dialogs/mouse_coords_dlg.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"
#include "workbench/view/child_frame.h"
#include "workbench/view/fralo_view.h"

namespace {

// Widest or highest image a document can hold (sizes are 16-bit).
constexpr int kLargestPaste = 32767;

// How often the update rules and the panes are re-evaluated.
constexpr int kIdleUpdateMs = 200;

} // namespace

CMainFrame::CMainFrame(WorkbenchSettings* app)
    : m_pApp(app),
      m_pMdiArea(new QMdiArea(this)),
      m_readKeyLocks(ReadKeyLocks),
      m_pPrinter(std::make_unique<QPrinter>())
{
    SetSavePathChooser(nullptr);
    setWindowTitle(QStringLiteral("Ondula4"));
    setCentralWidget(m_pMdiArea);
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    CreateMenusAndToolBar();
    CreateStatusBar();
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::ShowMenuOfState);
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
    idle->start(kIdleUpdateMs);
    // Sized like a maximised window already, also where no window manager maximises it.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(Qt::WindowMaximized);
}

CMainFrame::~CMainFrame()
{
    // Children go first: their documents still reach the application and this frame.
    for (QMdiSubWindow* child : m_pMdiArea->subWindowList())
        delete child;
}

QMenu* CMainFrame::MenuFor(const QString& path, int menuId)
{
    auto found = m_menus.find({menuId, path});
    if (found != m_menus.end())
        return found->second;
    int slash = path.lastIndexOf('/');
    QMenu* menu = slash < 0 ? menuBar()->addMenu(path)
                            : MenuFor(path.left(slash), menuId)->addMenu(path.mid(slash + 1));
    if (slash < 0)
        m_topMenus[menuId].append(menu);
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    m_menus[{menuId, path}] = menu;
    return menu;
}

QAction* CMainFrame::FrameMenuAction(const CommandEntry& entry, QAction* action)
{
    const char* text = FrameMenuText(entry);
    if (std::strcmp(text, entry.text) == 0)
        return action;
    auto* twin = new QAction(QString::fromUtf8(text), this);
    twin->setStatusTip(action->statusTip());
    twin->setWhatsThis(action->whatsThis());
    twin->setEnabled(action->isEnabled());
    connect(action, &QAction::enabledChanged, twin, &QAction::setEnabled);
    connect(twin, &QAction::triggered, action, &QAction::trigger);
    return twin;
}

int CMainFrame::ShownMenu() const { return m_pMdiArea->subWindowList().isEmpty() ? 128 : 129; }

void CMainFrame::ShowMenuOfState()
{
    const int shown = ShownMenu();
    for (const auto& [menuId, menus] : m_topMenus)
        for (QMenu* menu : menus)
            menu->menuAction()->setVisible(menuId == shown);
}

void CMainFrame::CreateMenusAndToolBar()
{
    for (const CommandEntry& entry : CommandTable()) {
        if (entry.id == 0) {
            const QString path = QString::fromUtf8(entry.menu);
            MenuFor(path, 129)->addSeparator();
            // Menu 128 has no menu that would hold nothing but separators.
            if (m_menus.count({128, path}))
                MenuFor(path, 128)->addSeparator();
            continue;
        }
        auto* action = new QAction(QString::fromUtf8(entry.text), this);
        action->setData(entry.id);
        const QString prompt = QString::fromUtf8(CommandPrompt(entry.id));
        action->setStatusTip(prompt);
        action->setWhatsThis(prompt);
        if (entry.shortcut) {
            QList<QKeySequence> keys;
            for (const QString& key : QString::fromUtf8(entry.shortcut).split(';'))
                keys.append(QKeySequence(key));
            action->setShortcuts(keys);
            action->setShortcutContext(Qt::ApplicationShortcut);
        }
        action->setCheckable(entry.checked != nullptr);
        action->setEnabled(entry.handler != nullptr);
        if (entry.handler)
            connect(action, &QAction::triggered, this, [this, &entry] {
                UpdateCommandUI();
                if (m_actions[entry.id]->isEnabled())
                    RunAtErrorEdge([&] { entry.handler(*this); });
            });
        if (entry.menu) {
            const QString path = QString::fromUtf8(entry.menu);
            MenuFor(path, 129)->addAction(action);
            if (!InDocumentMenuOnly(entry.id))
                MenuFor(path, 128)->addAction(FrameMenuAction(entry, action));
        } else {
            addAction(action);
        }
        m_actions[entry.id] = action;
    }
    for (const CommandEntry& entry : CommandTable())
        if (entry.id == ID_WINDOW_CASCADE)
            new WindowMenuList(MenuFor(QString::fromUtf8(entry.menu), 129), m_pMdiArea);
    ShowMenuOfState();

    m_pToolBar = addToolBar(QStringLiteral("Standard"));
    m_pToolBar->setObjectName(QStringLiteral("toolbar128"));
    for (int id : ToolBarButtons()) {
        if (id == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* action = m_actions.at(id);
        action->setIcon(ToolBarIcon(id));
        action->setToolTip(action->text().section('\t', 0, 0).remove('&'));
        m_pToolBar->addAction(action);
    }
}

void CMainFrame::CreateStatusBar()
{
    m_pValuesPane = new QLabel(QStringLiteral(" "));
    m_pValuesPane->setMinimumWidth(300);
    m_pUnitsPane = new QLabel(QStringLiteral(" "));
    m_pUnitsPane->setMinimumWidth(250);
    m_pValuesPane->setObjectName(QStringLiteral("pane130"));
    m_pUnitsPane->setObjectName(QStringLiteral("pane131"));
    statusBar()->addPermanentWidget(m_pValuesPane);
    statusBar()->addPermanentWidget(m_pUnitsPane);
    const char* const lockNames[3] = {"paneCaps", "paneNum", "paneScroll"};
    for (int i = 0; i < 3; ++i) {
        auto* pane = new QLabel;
        pane->setObjectName(QLatin1String(lockNames[i]));
        pane->setAlignment(Qt::AlignCenter);
        // Wide enough for its text also while the lock is off.
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        statusBar()->addPermanentWidget(pane);
        m_pLockPanes[i] = pane;
    }
    // "Prêt" stands in the message pane whenever no other message does.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty())
            statusBar()->showMessage(QStringLiteral("Prêt"));
    });
    statusBar()->showMessage(QStringLiteral("Prêt"));
}

QAction* CMainFrame::Action(int id) const
{
    auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

bool CMainFrame::Execute(int id)
{
    UpdateCommandUI();
    QAction* action = Action(id);
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}

CChildFrame* CMainFrame::ActiveChild() const
{
    return qobject_cast<CChildFrame*>(m_pMdiArea->currentSubWindow());
}

CFraloDoc* CMainFrame::ActiveDocument() const
{
    CChildFrame* child = ActiveChild();
    return child ? child->Document() : nullptr;
}

CFraloView* CMainFrame::ActiveView() const
{
    CChildFrame* child = ActiveChild();
    return child ? child->View() : nullptr;
}

CommandState CMainFrame::State() const
{
    CommandState s;
    CFraloDoc* doc = ActiveDocument();
    s.hasActiveDocument = doc != nullptr;
    CFraloDoc* acquiring = Documents()->AcquiringDoc();
    s.acquiring = acquiring != nullptr;
    s.activeIsAcquiring = doc && doc == acquiring;
    s.hasCopiedDocument = m_pApp->m_pCopiedDoc != nullptr;
    s.activeKind = doc ? doc->m_nKind : 0;
    s.activeChannels = doc ? ShapeOf(doc->m_image).channels : 0;
    s.activeGaussFit = doc && doc->m_bGaussFit;
    s.source = m_pApp->m_nSource;
    s.openImages = m_pApp->m_nOpenImages;
    s.mouseCoordsOpen = m_pApp->m_pMouseCoordsDlg != nullptr;
    s.extractOpen = m_pApp->m_pExtractDlg != nullptr;
    s.maskOpen = m_pApp->m_pMaskDlg != nullptr;
    s.activeInMask = doc && s.maskOpen && m_pApp->m_pMaskDlg->Document() == doc;
    return s;
}

bool CMainFrame::HasActiveDocument() const { return DocumentCommandEnabled(State()); }
bool CMainFrame::CanCopy() const { return CopyEnabled(State()); }
bool CMainFrame::CanPaste() const { return PasteEnabled(State()); }
bool CMainFrame::CanPasteClipboard() const { return PasteClipboardEnabled(State()); }
bool CMainFrame::ToolBarShown() const { return m_pToolBar->isVisibleTo(this); }
bool CMainFrame::StatusBarShown() const { return statusBar()->isVisibleTo(this); }
bool CMainFrame::HasRecentFile(int index) const
{
    return index < Documents()->RecentFiles().size();
}

void CMainFrame::UpdateCommandUI()
{
    ShowMenuOfState();
    const QStringList recent = Documents()->RecentFiles();
    // An empty "Fichiers récents" cannot be opened, so it never pops up empty.
    for (QObject* holder : m_actions.at(ID_FILE_MRU_FILE1)->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(holder))
            menu->menuAction()->setEnabled(!recent.isEmpty());
    for (const CommandEntry& entry : CommandTable()) {
        if (entry.id == 0 || !entry.handler)
            continue;
        QAction* action = m_actions.at(entry.id);
        action->setEnabled(!entry.enabled || entry.enabled(*this));
        if (entry.checked)
            action->setChecked(entry.checked(*this));
        int recentIndex = entry.id - ID_FILE_MRU_FILE1;
        if (recentIndex >= 0 && recentIndex < 4) {
            action->setVisible(recentIndex < recent.size());
            if (recentIndex < recent.size())
                action->setText(QString("&%1 %2").arg(recentIndex + 1).arg(recent[recentIndex]));
        }
    }
    m_pValuesPane->setText(ValuesPane());
    m_pUnitsPane->setText(UnitsPane());
    UpdateMouseCoords();
    const std::array<std::string, 3> locks = KeyLockPaneTexts(m_readKeyLocks());
    for (int i = 0; i < 3; ++i)
        m_pLockPanes[i]->setText(QString::fromStdString(locks[i]));
}

void CMainFrame::SetKeyLockReader(std::function<KeyLocks()> reader)
{
    m_readKeyLocks = std::move(reader);
    UpdateCommandUI();
}

namespace {

PaneState PaneStateOf(const CFraloDoc* doc)
{
    PaneState s;
    s.hasActiveDocument = doc != nullptr;
    const CFraloDoc* acquiring = Documents()->AcquiringDoc();
    s.acquiring = acquiring != nullptr;
    if (acquiring)
        s.acquiringName = acquiring->m_strName.toStdString();
    if (!doc)
        return s;
    s.channels = doc->Channels();
    s.mouseX = doc->m_ptMouse.x;
    s.mouseY = doc->m_ptMouse.y;
    s.crossX = doc->m_ptCross.x;
    s.crossY = doc->m_ptCross.y;
    s.mouseValue = doc->m_nMouseValue;
    s.crossValue = doc->m_nCrossValue;
    s.mouseSample = doc->MouseSample();
    s.crossSample = SamplePixel(doc->m_image, s.crossX, s.crossY);
    // Values of any other pixel type are read from the first channel.
    if (s.mouseSample.parts != 0)
        s.channels = 1;
    s.calibratedXY = doc->m_bCalibratedXY != 0;
    s.calibratedZ = doc->m_bCalibratedZ != 0;
    s.scaleXY = doc->m_fScaleXY;
    s.scaleZ = doc->m_fScaleZ;
    s.unitFactorXY = doc->m_fUnitFactorXY;
    s.unitFactorZ = doc->m_fUnitFactorZ;
    return s;
}

} // namespace

QString CMainFrame::ValuesPane() const
{
    return QString::fromStdString(ValuesPaneText(PaneStateOf(ActiveDocument())).text);
}

QString CMainFrame::UnitsPane() const
{
    return QString::fromStdString(UnitsPaneText(PaneStateOf(ActiveDocument())));
}

void CMainFrame::UpdateMouseCoords()
{
    CMouseCoordsDlg* window = m_pApp->m_pMouseCoordsDlg;
    if (!window)
        return;
    const PaneState state = PaneStateOf(ActiveDocument());
    window->SetAxes(QString::fromStdString(UnitsPaneText(state)));
    const std::array<std::string, 5>& p = ValuesPaneText(state).parts;
    const auto text = [](const std::string& part) { return QString::fromStdString(part); };
    window->SetValues(text(p[0]), text(p[1]), text(p[2]), text(p[3]), text(p[4]));
}

CFraloDoc* CMainFrame::NewDocument(int width, int height)
{
    auto doc = std::make_unique<CFraloDoc>();
    doc->SetSize(width, height);
    return ShowDocument(std::move(doc));
}

CFraloDoc* CMainFrame::ShowDocument(std::unique_ptr<CFraloDoc> doc)
{
    auto* child = new CChildFrame(std::move(doc));
    m_pMdiArea->addSubWindow(child);
    child->show();
    m_pMdiArea->setActiveSubWindow(child);
    child->View()->OnInitialUpdate();
    return child->Document();
}

void CMainFrame::OnFileNew() { NewDocument(m_pApp->m_nDefaultWidth, m_pApp->m_nDefaultHeight); }

void CMainFrame::OnOpen()
{
    QString path =
        ChooseFile(this, QFileDialog::AcceptOpen, DialogPath(QString()),
                   QString::fromUtf8("Fichiers images (*.tif *.jpg);;Fichiers images (*.tif);;"
                                     "Fichiers images (*.jpg);;Tous les fichiers (*)"));
    if (!path.isEmpty())
        OpenFile(path);
}

bool CMainFrame::OpenFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        UserMessage(QString::fromUtf8("Erreur d'ouverture fichier: ") + path);
        return false;
    }
    file.close();
    // Read before the window is made, so that it is fitted to the image once.
    auto doc = std::make_unique<CFraloDoc>();
    if (!doc->LoadImage(path)) {
        const QString why = doc->m_strReadFailure;
        UserMessage(QString::fromUtf8("Erreur de lecture de l'image: ") + path +
                    (why.isEmpty() ? QString() : "\n" + why));
        return false;
    }
    Documents()->SetLastFolder(QFileInfo(path).absolutePath());
    ShowDocument(std::move(doc));
    return true;
}

QString CMainFrame::DialogPath(const QString& name) const
{
    const QString folder = Documents()->LastFolder();
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

void CMainFrame::OnSave() { SaveActiveChoosing(); }

bool CMainFrame::SaveActiveChoosing()
{
    CFraloDoc* doc = ActiveDocument();
    if (!doc)
        return false;
    if (!doc->SaveNeedsChoice())
        return SaveActive();
    const QString path = m_chooseSavePath(DialogPath(doc->m_strName));
    return !path.isEmpty() && SaveActiveAs(path);
}

bool CMainFrame::SaveActive()
{
    CFraloDoc* doc = ActiveDocument();
    return doc && doc->SaveImage(doc->SavePath());
}

void CMainFrame::OnSaveAs()
{
    CFraloDoc* doc = ActiveDocument();
    if (!doc)
        return;
    const QString path = m_chooseSavePath(DialogPath(doc->m_strName));
    if (!path.isEmpty())
        SaveActiveAs(path);
}

void CMainFrame::SetSavePathChooser(SavePathChooser chooser)
{
    if (!chooser)
        chooser = [this](const QString& proposed) {
            return ChooseFile(this, QFileDialog::AcceptSave, proposed,
                              QString::fromUtf8("Fichier image (*.tif);;Fichier image (*.jpg)"),
                              QFileDialog::DontConfirmOverwrite);
        };
    m_chooseSavePath = std::move(chooser);
}

bool CMainFrame::MayClose(const QList<CFraloDoc*>& documents)
{
    QList<CFraloDoc*> changed;
    for (CFraloDoc* doc : documents)
        if (doc != Documents()->AcquiringDoc() && doc->IsModified())
            changed.append(doc);
    if (changed.isEmpty())
        return true;
    QString question;
    if (changed.size() == 1) {
        question = QString::fromUtf8("Enregistrer les modifications de « %1 » ?")
                       .arg(changed.first()->m_strName);
    } else {
        question = QString::fromUtf8("Enregistrer les modifications de ces documents ?");
        for (const CFraloDoc* doc : changed)
            question += QString::fromUtf8("\n« %1 »").arg(doc->m_strName);
    }
    const int answer = UserMessage(question, MessageButtons::YesNoCancel);
    if (answer == AnswerNo)
        return true;
    if (answer != AnswerYes)
        return false;
    for (CFraloDoc* doc : changed) {
        m_pMdiArea->setActiveSubWindow(doc->m_pChildFrame);
        if (!SaveActiveChoosing())
            return false;
    }
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    QList<CFraloDoc*> documents;
    for (QMdiSubWindow* child : m_pMdiArea->subWindowList())
        documents.append(static_cast<CChildFrame*>(child)->Document());
    if (MayClose(documents))
        event->accept();
    else
        event->ignore();
}

bool CMainFrame::SaveActiveAs(const QString& path)
{
    CFraloDoc* doc = ActiveDocument();
    if (!doc)
        return false;
    SavePlan plan = PlanSave(path.toStdString(), doc->m_nKind);
    if (!plan.refused) {
        QString question;
        if (doc->WriteLosesDepth(path))
            question = QString::fromUtf8("Ce fichier a %1 bits par échantillon ; l'image y sera "
                                         "enregistrée sur %2 bits et cette précision sera perdue. "
                                         "Voulez-vous le remplacer ?")
                           .arg(doc->m_nFileBits)
                           .arg(kWrittenBitsPerSample);
        else if (QFile::exists(QString::fromStdString(plan.path)))
            question = QString::fromUtf8("Ce fichier existe déjà. Voulez-vous le remplacer ?");
        if (!question.isEmpty() && UserMessage(question, MessageButtons::YesNo) != AnswerYes)
            return false;
    }
    if (!doc->SaveImage(path))
        return false;
    Documents()->SetLastFolder(QFileInfo(path).absolutePath());
    return true;
}

void CMainFrame::OnFileClose()
{
    CChildFrame* child = ActiveChild();
    if (child && MayClose({child->Document()}))
        delete child;
}

void CMainFrame::OnEditCopy()
{
    StopActiveAcquisition();
    CFraloDoc* doc = ActiveDocument();
    if (!doc)
        return;
    m_pApp->SetCopiedDocument(doc);
    // The clipboard gets the picture the view shows; it is never emptied for nothing.
    const QImage picture = ShownPicture(*doc);
    if (picture.isNull()) {
        UserMessage(QString::fromUtf8("Image non copiable dans le presse-papier !"));
        return;
    }
    QApplication::clipboard()->setImage(picture);
}

void CMainFrame::OnEditPaste()
{
    StopActiveAcquisition();
    CFraloDoc* doc = ActiveDocument();
    CFraloDoc* copied = m_pApp->m_pCopiedDoc;
    if (!doc || !copied)
        return;
    Vobject image;
    copy_image(copied->m_image, &image);
    PasteIntoActive(image, QString("Im_Copie%1").arg(doc->m_nImageNumber));
}

void CMainFrame::OnPasteClipboard()
{
    if (!ActiveDocument())
        return;
    QImage image = QApplication::clipboard()->image();
    if (image.isNull()) {
        UserMessage(QString::fromUtf8("Erreur sur fonction GetClipboardData(CF_DIB) !"));
        return;
    }
    if (image.width() > kLargestPaste || image.height() > kLargestPaste) {
        UserMessage(
            QString::fromUtf8("Image du presse-papier trop grande (32767 pixels au plus) !"));
        return;
    }
    PlaneBuffers planes;
    Vobject pasted;
    if (!QImageToPlanes(image, &planes) || !MakeImageFromPlanes(planes, &pasted)) {
        UserMessage(QString::fromUtf8("Erreur sur fonction dibtoimage !"));
        return;
    }
    PasteIntoActive(pasted, ActiveDocument()->m_strName);
}

void CMainFrame::PasteIntoActive(const Vobject& image, const QString& name)
{
    CFraloDoc* doc = ActiveDocument();
    doc->SetImage(image);
    doc->ForgetFile();
    doc->SetName(name);
    doc->UpdateTitle();
    doc->UpdateScrollSizes(doc->m_nWidth, doc->m_nHeight);
    doc->FitFrameToImage(std::min(doc->m_nWidth, m_pApp->m_nMaxWidth),
                         std::min(doc->m_nHeight, m_pApp->m_nMaxHeight));
    if (doc->m_pView)
        doc->m_pView->SetWindowExtents(doc->m_nWidth, doc->m_nHeight);
    doc->SetKind(0);
    doc->ClearCross();
    doc->ResetTracker();
    if (doc->m_pView)
        doc->m_pView->DisplayImage();
}

CFraloView* CMainFrame::PrintableView() const
{
    CFraloView* view = ActiveView();
    // No blank page for an image the view cannot show.
    if (view && ShownPicture(*view->GetDocument()).isNull()) {
        UserMessage(QString::fromUtf8("Image non imprimable !"));
        return nullptr;
    }
    return view;
}

void CMainFrame::OnFilePrint()
{
    CFraloView* view = PrintableView();
    if (!view)
        return;
    QPrintDialog dialog(m_pPrinter.get(), this);
    if (dialog.exec() == QDialog::Accepted)
        view->Print(m_pPrinter.get());
}

void CMainFrame::OnFilePrintPreview()
{
    CFraloView* view = PrintableView();
    if (!view)
        return;
    QPrintPreviewDialog preview(m_pPrinter.get(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, view, &CFraloView::Print);
    preview.exec();
}

void CMainFrame::OnFilePrintSetup()
{
    QPageSetupDialog dialog(m_pPrinter.get(), this);
    dialog.exec();
}

void CMainFrame::OnWindowCascade()
{
    // Bottom of the pile first, so that the active frame ends on top, last.
    QList<CChildFrame*> frames;
    std::vector<FrameSize> sizes;
    for (QMdiSubWindow* window : m_pMdiArea->subWindowList(QMdiArea::StackingOrder)) {
        if (window->isMinimized())
            continue;
        if (window->isMaximized())
            window->showNormal();
        auto* frame = static_cast<CChildFrame*>(window);
        const CFraloDoc* doc = frame->Document();
        frames.append(frame);
        sizes.push_back(doc->FittedFrameSize(doc->m_nWidth, doc->m_nHeight));
    }
    if (frames.isEmpty())
        return;
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frames.first());
    const std::vector<FrameRect> places = CascadeFrames(sizes, frames.first()->AreaSize(), step);
    for (int i = 0; i < frames.size(); ++i) {
        frames[i]->setGeometry(places[i].x, places[i].y, places[i].width, places[i].height);
        frames[i]->raise();
    }
}

void CMainFrame::OnWindowTile() { m_pMdiArea->tileSubWindows(); }
void CMainFrame::OnToggleToolBar() { m_pToolBar->setVisible(!m_pToolBar->isVisible()); }
void CMainFrame::OnToggleStatusBar() { statusBar()->setVisible(!statusBar()->isVisible()); }
void CMainFrame::OnAppAbout()
{
    CAboutDlg dialog(this);
    dialog.exec();
}
void CMainFrame::OnAppExit() { close(); }

void CMainFrame::OnRecentFile(int index)
{
    const QStringList recent = Documents()->RecentFiles();
    if (index < recent.size())
        OpenFile(recent[index]);
}
