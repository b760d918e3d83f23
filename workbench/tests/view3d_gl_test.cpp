// The 3-D view with OpenGL: run under xvfb-run with Qt's xcb platform; the
// cases skip themselves where no context can be made.
#include <dlfcn.h>
#include <link.h>

#include <GL/gl.h>

#include <cstring>
#include <functional>

#include <QCheckBox>
#include <QMdiArea>

#include <imageproc/plane_buffers.h>
#include <verodyn/operators.h>
#include <verodyn/window.h>

#include "widget_fixture.h"
#include "workbench/core/point_cloud.h"
#include "workbench/dialogs/gl_wnd.h"
#include "workbench/dialogs/view3d_dlg.h"

namespace {

constexpr int kWidth = 160, kHeight = 120;

// The GL driver is unloaded when the display closes at exit, and with it the
// globals that still reach its allocations, which the leak checker would then
// report as ours: keep every loaded driver for the life of the process.
void KeepGlDriversLoaded()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (std::strstr(info->dlpi_name, "_dri.so"))
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

class View3DGlTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        if (!CGlWnd().InitGL(16, 16))
            GTEST_SKIP() << "no OpenGL context on this display";
        KeepGlDriversLoaded();
        messages.clear();
    }
    // The active document becomes a grey image of levels(x, y).
    void Source(const std::function<uint8_t(int, int)>& levels)
    {
        std::vector<uint8_t> plane(kWidth * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                plane[y * kWidth + x] = levels(x, y);
        Vobject image;
        ASSERT_EQ(gen_image1(&image, "byte", kWidth, kHeight, plane.data()), V_OK);
        frame->ActiveDocument()->SetImage(image);
    }
    // Opens the dialog, lets timer 1 draw when `tick`, closes it; the
    // picture the document keeps.
    PlaneView Run(bool tick, bool negative = false)
    {
        CView3DDlg dialog(frame);
        dialog.OnInitDialog();
        doc = dialog.Document3D();
        if (tick) {
            dialog.OnTimer(CView3DDlg::TIMER_FIRST_PICTURE);
            // The view shows the picture while the dialog is open.
            shownWhileOpen = doc->m_pView->viewport()->grab().toImage();
        }
        dialog.findChild<QCheckBox*>("1009")->setChecked(negative);
        dialog.OnCancel();
        return ViewPlanes(doc->m_image);
    }
    static QRgb At(const PlaneView& p, int x, int y)
    {
        const int i = y * p.width + x;
        return qRgb(p.planes[0][i], p.planes[1][i], p.planes[2][i]);
    }
    CFraloDoc* doc = nullptr;
    QImage shownWhileOpen;
};

TEST_F(View3DGlTest, AConstantImageIsAYellowCloudOnBlack)
{
    Source([](int, int) { return 128; });
    const PlaneView p = Run(true);
    ASSERT_EQ(p.channels, 3);
    ASSERT_EQ(p.width, kWidth);
    ASSERT_EQ(p.height, kHeight);
    int yellow = 0, other = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const QRgb c = At(p, x, y);
            yellow += c == qRgb(255, 255, 0);
            other += c != qRgb(255, 255, 0) && c != qRgb(0, 0, 0);
        }
    EXPECT_GT(yellow, 50);
    EXPECT_EQ(other, 0);
    // While the dialog was open the view showed the picture.
    EXPECT_FALSE(shownWhileOpen.allGray());
    EXPECT_EQ(doc->m_nKind, 0);
    EXPECT_NE(window_widget(doc->m_pView->WindowHandle()), nullptr);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(View3DGlTest, TheImagesTopRowsEndInThePicturesLowerHalf)
{
    Source([](int, int y) { return y < kHeight / 2 ? 64 : 192; });
    const PlaneView p = Run(true);
    int redLow = 0, redHigh = 0, cyanLow = 0, cyanHigh = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool low = y >= kHeight / 2;
            (low ? redLow : redHigh) += At(p, x, y) == qRgb(255, 0, 0);
            (low ? cyanLow : cyanHigh) += At(p, x, y) == qRgb(0, 255, 255);
        }
    EXPECT_GT(redLow, 4 * redHigh);
    EXPECT_GT(cyanHigh, 4 * cyanLow);
}

TEST_F(View3DGlTest, ClosingAtOnceKeepsTheFirstPictureAndItsNegativeWhenAsked)
{
    Source([](int x, int) { return 1 + x; });
    PlaneView p = Run(false);
    int lit = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            lit += At(p, x, y) != qRgb(0, 0, 0);
    EXPECT_GT(lit, 50);
    frame->MdiArea()->setActiveSubWindow(frame->MdiArea()->subWindowList().first());
    p = Run(false, true);
    EXPECT_EQ(At(p, 0, 0), qRgb(255, 255, 255));
}

// The cloud drawn point by point as glBegin/glEnd lists it, the reference
// for the picture CGlWnd draws from its vertex buffer: the same pixels.
TEST_F(View3DGlTest, TheCloudsPictureIsTheOnePointByPointDrawingGives)
{
    // 53 x 38 points: batches of any size up to several hundred end short.
    constexpr int w = 64, h = 48;
    std::vector<uint8_t> plane(w * h);
    for (int i = 0; i < w * h; ++i)
        plane[i] = uint8_t(i * 37 % 256);
    const int count = CloudPointCount(w, h, 1);
    std::vector<float> positions(3 * count);
    std::vector<uint8_t> colours(3 * count);
    MakePointCloud(plane.data(), w, h, 1, positions.data(), colours.data());
    CGlWnd gl;
    ASSERT_TRUE(gl.InitGL(w, h));
    for (const float ay : {20.0f, -60.0f, 150.0f}) {
        gl.DrawPointCloud(plane.data(), w, h, 1, -2, ay, 10);
        const QImage drawn = gl.Picture();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, -gl.m_fEyeDistance);
        glRotatef(-2, 1.0f, 0.0f, 0.0f);
        glRotatef(ay, 0.0f, 1.0f, 0.0f);
        glRotatef(10, 0.0f, 0.0f, 1.0f);
        glBegin(GL_POINTS);
        for (int i = 0; i < count; ++i) {
            glColor3ub(colours[3 * i], colours[3 * i + 1], colours[3 * i + 2]);
            glVertex3fv(&positions[3 * i]);
        }
        glEnd();
        glPopMatrix();
        glFinish();
        const QImage expected = gl.Picture();
        EXPECT_FALSE(expected.allGray()) << ay;
        EXPECT_EQ(drawn, expected) << ay;
    }
}

} // namespace
