// Live then frozen acquisition, the whole road: the simulated webcam, the
// simulated Talvo board, and the test plug-in under the five interface names
// of the imaging library's sources.
#include <dlfcn.h>

#include <chrono>

#include <QApplication>
#include <QElapsedTimer>

#include <clock/clock.h>
#include <dvl/simulated_boards.h>
#include <fgint/fgint.h>
#include <imageproc/plane_buffers.h>
#include <verodyn/framegrabber.h>
#include <vfw/simulated_webcam.h>

#include "widget_fixture.h"
#include "workbench/acquisition/board_surface.h"
#include "workbench/acquisition/vfw_capture_wnd.h"

namespace {

using namespace std::chrono_literals;

// What the copy of the test plug-in under `interface` last opened.
FGInstance LastOpen(const char* interface)
{
    const std::string path = std::string(LIVE_PLUGIN_DIR) + "/VFG" + interface + ".so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(library, nullptr) << path;
    auto last = reinterpret_cast<const FGInstance* (*)()>(dlsym(library, "MockLastOpen"));
    FGInstance seen = *last();
    dlclose(library);
    return seen;
}

std::vector<uint8_t> FirstPlane(const Vobject& image)
{
    PlaneView v = ViewPlanes(image);
    return {v.planes[0], v.planes[0] + std::size_t(v.width) * v.height};
}

TEST_F(WorkbenchTest, TheLibrarySourcesGrabLiveFromTheirPluginsThenFreeze)
{
    struct Case {
        int command;
        const char* interface;
        const char* cameraType;
        int channels;
    };
    for (Case c : {Case{ID_SOURCE_DIRECTSHOW, "DirectShow", "PAL RGB24 (640x480)", 3},
                   Case{ID_SOURCE_ZEPHON2, "ZephonII", "D_CCIR", 1},
                   Case{ID_SOURCE_IEEE1394, "1394IIDC", "0:5:4", 1},
                   Case{ID_SOURCE_USB_SMALL, "KandrisAcquire", "kdLyra*", 1}}) {
        ASSERT_TRUE(frame->Execute(c.command)) << c.interface;
        ASSERT_TRUE(frame->Execute(ID_LIVE_ACQUISITION));
        CFraloDoc* doc = frame->ActiveDocument();
        ASSERT_EQ(app->AcquiringDoc(), doc) << c.interface;
        const FGInstance opened = LastOpen(c.interface);
        EXPECT_STREQ(opened.camera_type, c.cameraType);
        CFraloView* view = static_cast<CFraloView*>(doc->m_pView);
        view->OnTimer(98);
        view->OnTimer(99);
        const std::vector<uint8_t> first = FirstPlane(doc->m_image);
        view->OnTimer(99);
        EXPECT_NE(FirstPlane(doc->m_image), first) << "frames change";
        EXPECT_EQ(doc->Channels(), c.channels);
        ASSERT_TRUE(frame->Execute(ID_FROZEN_ACQUISITION));
        EXPECT_EQ(app->AcquiringDoc(), nullptr);
        EXPECT_EQ(ViewPlanes(doc->m_image).width, doc->m_nWidth) << "resized to the document";
        EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    }
    // The USB camera: its gain and port at the open, then its exposure.
    const FGInstance usb = LastOpen("KandrisAcquire");
    EXPECT_EQ(usb.gain, 15.0f);
    EXPECT_EQ(usb.port, 0);
    ASSERT_TRUE(frame->Execute(ID_LIVE_ACQUISITION));
    VTuple exposure;
    ASSERT_EQ(
        get_framegrabber_param(frame->ActiveDocument()->m_hGrabber, "Camera/Expose_us", &exposure),
        V_OK);
    EXPECT_EQ(exposure, VTuple(20000));
    ASSERT_TRUE(frame->Execute(ID_FROZEN_ACQUISITION));

    ASSERT_TRUE(frame->Execute(ID_SOURCE_TWAIN));
    ASSERT_TRUE(frame->Execute(ID_LIVE_ACQUISITION));
    EXPECT_EQ(app->m_nSource, 1);
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(frame->ActiveDocument()->m_nWidth, 8); // the plug-in's one image
}

TEST_F(WorkbenchTest, TheSimulatedWebcamPreviewsLiveThenFreezes)
{
    ondula::VirtualClock clock;
    vfw::SetDriverFactory([&](int index) -> std::unique_ptr<vfw::CaptureDriver> {
        return index == 0 ? std::make_unique<vfw::SimulatedWebcam>(640, 480, clock) : nullptr;
    });
    ASSERT_TRUE(frame->Execute(ID_SOURCE_VFW));
    ASSERT_TRUE(frame->Execute(ID_LIVE_ACQUISITION));
    CFraloDoc* doc = frame->ActiveDocument();
    ASSERT_EQ(app->AcquiringDoc(), doc);
    vfw::CaptureWindow* window = doc->m_pVfwCapture->Window();
    window->PreviewTick();
    const uint32_t before = window->Pixel(10, 10);
    clock.Advance(33ms);
    window->PreviewTick();
    EXPECT_NE(window->Pixel(10, 10), before) << "frames change";
    const uint32_t shown = window->Pixel(10, 10);
    ASSERT_TRUE(frame->Execute(ID_FROZEN_ACQUISITION));
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(doc->Channels(), 3);
    EXPECT_EQ(uint32_t(CFraloDoc::GetPixelValue(doc->m_image, 10, 10)), shown);
    vfw::SetDriverFactory(nullptr);
}

TEST_F(WorkbenchTest, TheSimulatedTalvoBoardDrawsLiveIntoTheViewThenFreezes)
{
    dvl::SimulatedBoard fast = dvl::TalvoBoard();
    fast.frame_period = 2ms;
    dvl::RegisterBoard(fast);
    ASSERT_TRUE(frame->Execute(ID_SOURCE_TALVO));
    ASSERT_TRUE(frame->Execute(ID_LIVE_ACQUISITION));
    CFraloDoc* doc = frame->ActiveDocument();
    ASSERT_EQ(app->AcquiringDoc(), doc);
    BoardSurface* surface = static_cast<CFraloView*>(doc->m_pView)->BoardWindow();
    ASSERT_NE(surface, nullptr);
    QElapsedTimer waited;
    waited.start();
    QImage first;
    while (waited.elapsed() < 5000 && (first.isNull() || surface->Frame() == first)) {
        QApplication::processEvents();
        if (first.isNull() && surface->FramesReceived() > 1)
            first = surface->Frame();
    }
    EXPECT_NE(surface->Frame(), first) << "frames change";
    EXPECT_EQ(surface->Frame().size(), QSize(768, 576));
    ASSERT_TRUE(frame->Execute(ID_FROZEN_ACQUISITION));
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(doc->Channels(), 1);
    const std::vector<uint8_t> frozen = FirstPlane(doc->m_image);
    EXPECT_NE(frozen.front(), frozen[100]) << "the moving picture, not a cleared buffer";
    EXPECT_EQ(dvl::AllocatedObjects(), 0);
    dvl::ResetBoards();
}

} // namespace
