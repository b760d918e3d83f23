#include <verodyn/window.h>

#include <dvl/simulated_boards.h>
#include <imageproc/plane_buffers.h>
#include <vfw/capture_driver.h>

#include "tests/support/scoped_setting.h"
#include "tests/support/scripted_grabber.h"
#include "widget_fixture.h"
#include "workbench/acquisition/board_surface.h"
#include "workbench/acquisition/talvo_board.h"
#include "workbench/acquisition/vfw_capture_wnd.h"

namespace {

// A webcam whose frames the test gives: `next` is shown at the next preview
// step or grab, once.
struct HandCamera : vfw::CaptureDriver {
    bool NextFrame(vfw::Frame& into) override
    {
        if (next.rgb.empty())
            return false;
        into = std::exchange(next, {});
        return true;
    }
    vfw::Frame next;
};

// A w x h frame of grey 90 with pixel (1, 0) coloured when `colourPixel`.
vfw::Frame GreyFrame(int w, int h, bool colourPixel)
{
    vfw::Frame f{w, h, std::vector<uint8_t>(std::size_t(w) * h * 3, 90)};
    if (colourPixel)
        f.rgb[3] = 200;
    return f;
}

class AcquisitionTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        dvl::ResetBoards();
        dvl::ClearFaults();
        vfw::SetDriverFactory([this](int index) -> std::unique_ptr<vfw::CaptureDriver> {
            if (index != 0 || !webcamPresent)
                return nullptr;
            auto driver = std::make_unique<HandCamera>();
            camera = driver.get();
            return driver;
        });
        WorkbenchTest::SetUp();
        app->Live().SetGrabbers(grabber);
        doc = frame->ActiveDocument();
    }
    void TearDown() override
    {
        WorkbenchTest::TearDown();
        vfw::SetDriverFactory(nullptr);
        dvl::ClearFaults();
        dvl::ResetBoards();
        EXPECT_EQ(dvl::AllocatedObjects(), 0) << "the board is released";
    }
    void Choose(int source)
    {
        app->m_nSource = static_cast<int16_t>(source);
        app->FillSizeTable(source);
    }
    static bool HasDisplayWindow(CFraloDoc* d)
    {
        return window_widget(d->m_pView->WindowHandle()) != nullptr;
    }

public:
    ScriptedGrabber grabber;
    CFraloDoc* doc = nullptr;
    bool webcamPresent = true;
    HandCamera* camera = nullptr;
};

TEST_F(AcquisitionTest, ApplySourceSizeBringsTheDocumentToASizeTheSourceAllows)
{
    Choose(4);
    doc->m_nWidth = 800;
    doc->m_nHeight = 600;
    doc->ApplySourceSize(4);
    EXPECT_EQ(doc->m_nWidth, 768);
    EXPECT_EQ(doc->m_nHeight, 576);
    EXPECT_TRUE(doc->Title().endsWith("(768x576)")) << doc->Title().toStdString();
    EXPECT_EQ(doc->m_pChildFrame->windowTitle(), doc->Title());
    PlaneView v = ViewPlanes(doc->m_image);
    EXPECT_EQ(v.width * 10000 + v.height * 10 + v.channels, 7680000 + 5760 + 1);
}

TEST_F(AcquisitionTest, AFailedStartShowsItsMessageAndSetsTheSourceBackToNone)
{
    struct Case {
        int source;
        std::function<void(AcquisitionTest&)> arrange;
        const char* message;
    };
    const auto noPlugin = [](AcquisitionTest& t) { t.grabber.openResult = VERR_FG_NO_PLUGIN; };
    const Case cases[] = {
        {2, [](AcquisitionTest& t) { t.webcamPresent = false; },
         "Caméra USB Video for Windows non trouvée !"},
        {3, noPlugin, "Caméra USB Direct Show non trouvée !"},
        {4, noPlugin, "Carte Dravik ZephonII non trouvée !"},
        {5, noPlugin, "Caméra Firewire sur port IEEE1394 non trouvée !"},
        {6, noPlugin, "Caméra USB Kandris kdLyra non trouvée sur port n°0 !"},
        {7, noPlugin, "Caméra USB Kandris kdLyra non trouvée sur port n°0 !"},
        {3,
         [](AcquisitionTest& t) {
             t.grabber.openResult = VERR_FG_LOAD;
             t.grabber.openFailure = "open_framegrabber: frame-grabber plug-in cannot be loaded: "
                                     "VFGDirectShow.so: undefined symbol: VNewImage";
         },
         "Caméra USB Direct Show non trouvée !\nopen_framegrabber: frame-grabber plug-in cannot "
         "be loaded: VFGDirectShow.so: undefined symbol: VNewImage"},
        {8, [](AcquisitionTest&) { dvl::SetFault(DVL_ORD_SYS_ALLOC, dvl::Fault::Fails); },
         "Carte Dravik Talvo (512x480) non trouvée ou déjà adressée !\nErreur InitTalvo() n°2."},
        {8,
         [](AcquisitionTest&) {
             dvl::SimulatedBoard board = dvl::TalvoBoard();
             board.display_mode = 0;
             dvl::RegisterBoard(board);
         },
         "Erreur sur fonction acquisition permanente !\nErreur AcqPermTalvo() n°2."},
    };
    const VImage* before = doc->m_image.image().get();
    const QString title = doc->m_pChildFrame->windowTitle();
    for (const Case& c : cases) {
        messages.clear();
        c.arrange(*this);
        Choose(c.source);
        EXPECT_EQ(doc->StartAcquisition(), 0) << c.source;
        EXPECT_EQ(app->m_nSource, 0);
        EXPECT_EQ(doc->m_image.image().get(), before) << c.source;
        EXPECT_EQ(doc->m_pChildFrame->windowTitle(), title);
        EXPECT_EQ(messages, QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(app->AcquiringDoc(), nullptr);
        // Nothing is left behind: no capture window, the board released, the
        // view's display window back.
        EXPECT_EQ(doc->m_pVfwCapture, nullptr);
        EXPECT_EQ(doc->m_pView->CaptureParent()->findChild<vfw::CaptureWindow*>(), nullptr);
        EXPECT_EQ(dvl::AllocatedObjects(), 0) << c.source;
        EXPECT_TRUE(HasDisplayWindow(doc));
        dvl::ClearFaults();
        dvl::ResetBoards();
        grabber.openResult = V_OK;
        webcamPresent = true;
    }
}

TEST_F(AcquisitionTest, TwainGrabsOneImageIsSilentWhenTheUserCancelsAndSaysWhenNoSourceOpens)
{
    const VImage* before = doc->m_image.image().get();
    const int16_t width = doc->m_nWidth;
    Choose(1);
    grabber.results = {5306}; // a cancel, as the TWAIN source answers it
    EXPECT_EQ(doc->StartAcquisition(), 1);
    EXPECT_EQ(doc->m_nWidth, width);
    EXPECT_EQ(doc->m_image.image().get(), before);
    EXPECT_EQ(app->m_nDefaultWidth, 320); // the only size TWAIN allows
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(grabber.closedOne, 1);

    doc->m_strPathName = Path("gauss640.tif");
    EXPECT_EQ(doc->StartAcquisition(), 1);
    EXPECT_EQ(doc->m_nWidth, 8);
    EXPECT_TRUE(doc->m_strPathName.isEmpty()); // the grabbed image is not the file's
    EXPECT_TRUE(doc->SaveNeedsChoice());
    EXPECT_TRUE(doc->Title().endsWith("(8x8)"));
    EXPECT_EQ(grabber.opened.at(1).name, "TWAIN");

    const VImage* grabbed = doc->m_image.image().get();
    grabber.openResult = VERR_FG_NO_PLUGIN;
    EXPECT_EQ(doc->StartAcquisition(), 1);
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Source Twain non trouvée !")});
    EXPECT_EQ(doc->m_image.image().get(), grabbed);
    EXPECT_EQ(doc->m_nWidth, 8);
    EXPECT_EQ(app->AcquiringDoc(), nullptr);

    // A scan wider than a document can be leaves the document as it was.
    grabber.openResult = V_OK;
    grabber.frameWidth = 40000;
    messages.clear();
    EXPECT_EQ(doc->StartAcquisition(), 1);
    EXPECT_EQ(messages, QStringList{QString::fromUtf8(
                            "Image trop grande : au plus 32767 pixels par côté !")});
    EXPECT_EQ(doc->m_image.image().get(), grabbed);
    EXPECT_EQ(doc->m_nWidth, 8);

    // So does a 16-bit scan, which a document cannot hold.
    grabber.frameWidth = 16;
    grabber.frameType = "uint2";
    messages.clear();
    EXPECT_EQ(doc->StartAcquisition(), 1);
    EXPECT_EQ(messages,
              QStringList{QString::fromUtf8(
                  "Traitement réservé aux images 8 bits (niveaux de gris ou couleurs) !")});
    EXPECT_EQ(doc->m_image.image().get(), grabbed);
    EXPECT_EQ(doc->m_nWidth, 8);
    EXPECT_EQ(app->AcquiringDoc(), nullptr);

    // A grab that fails beyond the source is told, not taken for a cancel.
    struct Failure {
        Vstatus status;
        const char* text;
    };
    for (Failure f : {Failure{VERR_NO_MEMORY, "Mémoire insuffisante !"},
                      Failure{VERR_FG_IMAGE, "Erreur de la bibliothèque d'images n°5407 !\n"}}) {
        grabber.results = {f.status};
        messages.clear();
        EXPECT_EQ(doc->StartAcquisition(), 1);
        EXPECT_EQ(messages, QStringList{QString::fromUtf8(f.text)}) << f.status;
        EXPECT_EQ(doc->m_image.image().get(), grabbed) << f.status;
        EXPECT_EQ(app->AcquiringDoc(), nullptr);
    }
}

TEST_F(AcquisitionTest, SourceCommandsAskTheLibraryAndFollowTheirRules)
{
    grabber.infoResult = VERR_FG_NO_PLUGIN;
    ASSERT_TRUE(frame->Execute(ID_SOURCE_TWAIN));
    EXPECT_EQ(app->m_nSource, 0);
    grabber.infoResult = V_OK;
    ASSERT_TRUE(frame->Execute(ID_SOURCE_IEEE1394));
    EXPECT_EQ(app->m_nSource, 0);
    EXPECT_EQ(messages,
              (QStringList{QString::fromUtf8("Pilote twain non trouvé !"),
                           QString::fromUtf8("Caméra firewire sur port IEEE non trouvée !")}));
    EXPECT_EQ(grabber.questions,
              (std::vector<std::string>{"TWAIN parameters", "1394IIDC info_boards"}));
    grabber.infoValues = VTuple("cam 0");
    ASSERT_TRUE(frame->Execute(ID_SOURCE_IEEE1394));
    EXPECT_EQ(app->m_nSource, 5);
    EXPECT_EQ(app->m_sizeTable[2], (SizePair{1024, 768}));
    ASSERT_TRUE(frame->Execute(ID_SOURCE_USB_LARGE));
    EXPECT_EQ(grabber.closes, 4);

    // Live and frozen from the menu; while acquiring the source commands are
    // disabled and the current one stays checked.
    ASSERT_TRUE(frame->Execute(ID_LIVE_ACQUISITION));
    EXPECT_EQ(app->AcquiringDoc(), doc);
    EXPECT_EQ(grabber.opened.back().name, "KandrisAcquire");
    ASSERT_EQ(grabber.sets.size(), 3u);
    EXPECT_EQ(grabber.sets[2], (std::pair<std::string, VTuple>{"Camera/Expose_us", VTuple(20000)}));
    EXPECT_TRUE(static_cast<CFraloView*>(doc->m_pView)->IsTimerActive(98));
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->Action(ID_SOURCE_TALVO)->isEnabled());
    EXPECT_TRUE(frame->Action(ID_SOURCE_USB_LARGE)->isChecked());
    EXPECT_FALSE(frame->Action(ID_SOURCE_USB_SMALL)->isChecked());

    // A second start, from another document, does nothing.
    CFraloDoc* other = app->NewImageDocument(0, 0);
    EXPECT_EQ(other->StartAcquisition(), 6);
    EXPECT_EQ(grabber.opened.size(), 1u);
    EXPECT_EQ(app->AcquiringDoc(), doc);

    // Paste stops the acquisition first.
    app->m_pCopiedDoc = doc;
    frame->OnEditPaste();
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(grabber.grabs, 1); // the last frame
}

TEST_F(AcquisitionTest, AFrozenWebcamFrameIsGreyOrColourAsItsPixels)
{
    for (bool colourPixel : {false, true}) {
        Choose(2);
        ASSERT_EQ(doc->StartAcquisition(), 2);
        ASSERT_EQ(app->AcquiringDoc(), doc);
        CVfwCaptureWnd& capture = *doc->m_pVfwCapture;
        EXPECT_EQ(capture.Window()->parentWidget(), doc->m_pView->CaptureParent());
        EXPECT_EQ(capture.Window()->Core().PreviewRate(), 15);
        camera->next = GreyFrame(4, 2, colourPixel); // stretched to the window
        capture.Window()->PreviewTick();
        int rgb[3] = {-1, -1, -1};
        for (auto [x, y] : {std::pair{-1, 0}, {int(capture.m_nWidth), 0}}) {
            capture.GetPixelRgb(x, y, &rgb[0], &rgb[1], &rgb[2]);
            EXPECT_EQ(rgb[0] + rgb[1] + rgb[2], 0);
        }
        QPointer<vfw::CaptureWindow> window = capture.Window();
        doc->StopAcquisition();
        EXPECT_TRUE(window.isNull());
        EXPECT_EQ(doc->m_pVfwCapture, nullptr);
        EXPECT_EQ(app->AcquiringDoc(), nullptr);
        EXPECT_EQ(doc->Channels(), colourPixel ? 3 : 1);
        EXPECT_EQ(CFraloDoc::GetPixelValue(doc->m_image, 0, 0) & 0xFF, 90);
    }
}

TEST_F(AcquisitionTest, TheBoardStoppedFromAnotherDocumentFreezesIntoTheAcquiringOne)
{
    Choose(8);
    ASSERT_EQ(doc->StartAcquisition(), 8);
    ASSERT_EQ(app->AcquiringDoc(), doc);
    EXPECT_FALSE(HasDisplayWindow(doc));
    EXPECT_TRUE(static_cast<CFraloView*>(doc->m_pView)->BoardWindow()->isVisible());
    EXPECT_EQ(dvl::AllocatedObjects(), 5);

    CFraloDoc* other = app->NewImageDocument(0, 0);
    other->m_nWidth = 100;
    other->m_nHeight = 50;
    other->StopAcquisition();
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(dvl::AllocatedObjects(), 0);
    EXPECT_TRUE(HasDisplayWindow(doc));
    EXPECT_FALSE(static_cast<CFraloView*>(doc->m_pView)->BoardWindow()->isVisible());
    EXPECT_EQ(doc->Channels(), 1);
    EXPECT_EQ(ViewPlanes(doc->m_image).width, 768);
    EXPECT_EQ(ViewPlanes(other->m_image).width, 100);
    EXPECT_TRUE(HasDisplayWindow(other));
}

TEST_F(AcquisitionTest, ClosingAnyDocumentEndsTheWebcamAndTheBoard)
{
    for (int source : {2, 8}) {
        Choose(source);
        CFraloDoc* acquiring = app->NewImageDocument(0, 0);
        ASSERT_EQ(acquiring->StartAcquisition(), source);
        QPointer<vfw::CaptureWindow> window =
            acquiring->m_pVfwCapture ? acquiring->m_pVfwCapture->Window() : nullptr;
        frame->OnFileClose();
        EXPECT_EQ(app->AcquiringDoc(), nullptr);
        EXPECT_TRUE(window.isNull());
        EXPECT_EQ(dvl::AllocatedObjects(), 0) << source;
    }
    Choose(8);
    ASSERT_EQ(doc->StartAcquisition(), 8);
    app->NewImageDocument(0, 0);
    frame->OnFileClose();
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(dvl::AllocatedObjects(), 0);
    EXPECT_TRUE(HasDisplayWindow(doc));
}

TEST(TalvoBoard, InitAndContinuousGrabCodes)
{
    dvl::ClearFaults();
    struct Case {
        int ordinal;
        dvl::Fault fault;
        int code;
        int width, height;
    };
    for (Case c : {Case{DVL_ORD_APP_ALLOC, dvl::Fault::Fails, 1, 512, 480},
                   Case{DVL_ORD_SYS_ALLOC, dvl::Fault::Fails, 2, 512, 480},
                   Case{DVL_ORD_SYS_INQUIRE, dvl::Fault::Fails, 3, 512, 480},
                   Case{DVL_ORD_DIG_ALLOC, dvl::Fault::ZeroIdentifier, 4, 512, 480},
                   Case{DVL_ORD_BUF_ALLOC_COLOR, dvl::Fault::Fails, 5, 768, 576},
                   Case{0, dvl::Fault::None, 0, 768, 576}}) {
        dvl::SetFault(c.ordinal, c.fault);
        CTalvoBoard board;
        int width = 0, height = 0;
        EXPECT_EQ(board.InitTalvo(&width, &height), c.code) << c.ordinal;
        EXPECT_EQ(width * 10000 + height, c.width * 10000 + c.height) << c.ordinal;
        dvl::ClearFaults();
        EXPECT_EQ(board.AcqPermTalvo(0), c.code ? 1 : 0);
        board.Release();
        EXPECT_EQ(board.m_idApp + board.m_idBuffer + board.m_idDisplay, 0);
        EXPECT_EQ(dvl::AllocatedObjects(), 0) << c.ordinal;
    }

    dvl::SimulatedBoard large = dvl::TalvoBoard();
    large.formats["ccir.dcf"] = {8192, 8192, 1};
    large.display_mode = 0;
    dvl::RegisterBoard(large);
    CTalvoBoard board;
    int width = 0, height = 0;
    EXPECT_EQ(board.InitTalvo(&width, &height), 0);
    EXPECT_EQ(width * 10000 + height, 4096 * 10000 + 4096);
    EXPECT_EQ(board.AcqPermTalvo(0), 2);
    EXPECT_EQ(board.m_idDisplay, 0);
    dvl::ResetBoards();
    for (auto [fault, code] : {std::pair{dvl::Fault::ZeroIdentifier, 3}, {dvl::Fault::Fails, 4}}) {
        dvl::SetFault(DVL_ORD_DISP_ALLOC, fault);
        EXPECT_EQ(board.AcqPermTalvo(0), code);
    }
    dvl::ClearFaults();
    // The planes' size bounds the copies; a grey copy grabs on, a colour one
    // freezes (one band read as each colour).
    std::vector<uint8_t> grey(6, 7), planes[3] = {grey, grey, grey};
    board.GrabGrey(grey.data(), 3, 2);
    EXPECT_EQ(grey, std::vector<uint8_t>(6, 0)); // the cleared buffer
    board.GrabRGB(planes[0].data(), planes[1].data(), planes[2].data(), 3, 2);
    EXPECT_EQ(planes[0], planes[2]);
    EXPECT_NE(planes[0], std::vector<uint8_t>(6, 7));
    board.Release();
    EXPECT_EQ(dvl::AllocatedObjects(), 0);
}

} // namespace

namespace {

TEST_F(AcquisitionTest, EachUsbCameraItemHasTheSimulatedCameraItNamesAsDeviceZero)
{
    ScopedVariable cameras("ONDULA_KDCAMERAS", nullptr);
    const std::pair<int, const char*> cases[] = {
        {SourceUsbCameraSmall, "kdLyra-A2C,kdLyra-A1G"},
        {SourceUsbCameraLarge, "kdLyra-A1G,kdLyra-A2C"},
    };
    for (const auto& [source, cameras] : cases) {
        Choose(source);
        EXPECT_EQ(doc->StartAcquisition(), source);
        EXPECT_STREQ(getenv("ONDULA_KDCAMERAS"), cameras) << source;
        EXPECT_EQ(grabber.opened.back().values[12], VTuple("0")) << source;
        doc->StopAcquisition();
    }
}

} // namespace
