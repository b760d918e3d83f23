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

// A w x h plane of levels(i), i counting pixels row by row, and its cloud.
struct Cloud {
    Cloud(int w, int h, const std::function<uint8_t(int)>& levels)
        : width(w),
          height(h),
          plane(size_t(w) * h),
          count(CloudPointCount(w, h, 1)),
          positions(3 * count),
          colours(3 * count)
    {
        for (size_t i = 0; i < plane.size(); ++i)
            plane[i] = levels(int(i));
        MakePointCloud(plane.data(), w, h, 1, positions.data(), colours.data());
    }
    // The cloud drawn point by point as glBegin/glEnd lists it.
    void DrawPointByPoint() const
    {
        glBegin(GL_POINTS);
        for (int i = 0; i < count; ++i) {
            glColor3ubv(&colours[3 * i]);
            glVertex3fv(&positions[3 * i]);
        }
        glEnd();
    }
    int width, height;
    std::vector<uint8_t> plane;
    int count;
    std::vector<float> positions;
    std::vector<uint8_t> colours;
};

// CGlWnd's picture of `cloud` turned by (ax, ay, az) is the one `draw` gives
// of the cloud turned the same way.
void ExpectThePictureOf(CGlWnd& gl, const Cloud& cloud, float ax, float ay, float az,
                        const std::function<void()>& draw)
{
    gl.DrawPointCloud(cloud.plane.data(), cloud.width, cloud.height, 1, ax, ay, az);
    const QImage drawn = gl.Picture();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -gl.m_fEyeDistance);
    glRotatef(ax, 1.0f, 0.0f, 0.0f);
    glRotatef(ay, 0.0f, 1.0f, 0.0f);
    glRotatef(az, 0.0f, 0.0f, 1.0f);
    draw();
    glPopMatrix();
    glFinish();
    const QImage expected = gl.Picture();
    EXPECT_FALSE(expected.allGray()) << ax << ' ' << ay << ' ' << az;
    EXPECT_EQ(drawn, expected) << ax << ' ' << ay << ' ' << az;
}

// The cloud drawn point by point is the reference for the picture CGlWnd
// draws from its vertex buffer: the same pixels.
TEST_F(View3DGlTest, TheCloudsPictureIsTheOnePointByPointDrawingGives)
{
    // 53 x 38 points: batches of any size up to several hundred end short.
    const Cloud cloud(64, 48, [](int i) { return uint8_t(i * 37 % 256); });
    CGlWnd gl;
    ASSERT_TRUE(gl.InitGL(cloud.width, cloud.height));
    for (const float ay : {20.0f, -60.0f, 150.0f})
        ExpectThePictureOf(gl, cloud, -2, ay, 10, [&] { cloud.DrawPointByPoint(); });
}

// Points hidden behind nearer ones are left out of the drawing. From every
// side, edge-on where most points hide and where the nearest leave the depth
// range, the picture is the one the whole cloud drawn at once gives.
TEST_F(View3DGlTest, LeavingOutHiddenPointsKeepsThePicture)
{
    const Cloud cloud(800, 600,
                      [](int i) { return uint8_t(i % 800 / 4 + i / 800 / 3 + i * 7 % 5); });
    CGlWnd gl;
    ASSERT_TRUE(gl.InitGL(cloud.width, cloud.height));
    const float views[][3] = {{-2, 0, 10}, {-2, -80, 10}, {0, 90, 0},      {0, -90, 0},
                              {90, 0, 0},  {-2, 180, 10}, {-30, -140, 40}, {20, -260, -30}};
    for (const auto& v : views)
        ExpectThePictureOf(gl, cloud, v[0], v[1], v[2], [&] {
            glEnableClientState(GL_VERTEX_ARRAY);
            glEnableClientState(GL_COLOR_ARRAY);
            glVertexPointer(3, GL_FLOAT, 0, cloud.positions.data());
            glColorPointer(3, GL_UNSIGNED_BYTE, 0, cloud.colours.data());
            glDrawArrays(GL_POINTS, 0, cloud.count);
            glDisableClientState(GL_COLOR_ARRAY);
            glDisableClientState(GL_VERTEX_ARRAY);
        });
}

// Without the depth test the last point drawn on a pixel shows, whatever
// its depth; a larger or smoothed point covers more than its pixel: then no
// point is left out.
TEST_F(View3DGlTest, WithoutTheViewsOwnPointsAndDepthTestEveryPointIsDrawn)
{
    const Cloud cloud(64, 48, [](int i) { return uint8_t(i * 37 % 256); });
    const struct {
        bool depthTest;
        float pointSize;
        bool smooth;
    } views[] = {{false, 1.0f, false}, {true, 3.0f, false}, {true, 1.0f, true}};
    for (const auto& v : views) {
        CGlWnd gl;
        ASSERT_TRUE(v.depthTest ? gl.InitGL(cloud.width, cloud.height)
                                : gl.SetupPixelFormat(cloud.width, cloud.height));
        glPointSize(v.pointSize);
        if (v.smooth)
            glEnable(GL_POINT_SMOOTH);
        for (const float ay : {20.0f, -80.0f})
            ExpectThePictureOf(gl, cloud, -2, ay, 10, [&] { cloud.DrawPointByPoint(); });
    }
}

// A cloud whose buffers the GL cannot size (over 143 million points) is not
// drawn, rather than allocated by the gigabyte with sizes that overflow.
TEST_F(View3DGlTest, ACloudTooLargeForTheGlIsNotDrawn)
{
    const int side = 12000;
    ASSERT_GT(CloudPointCount(side, side, 1), 143165576);
    const std::vector<uint8_t> plane(std::size_t(side) * side, 200);
    CGlWnd gl;
    ASSERT_TRUE(gl.InitGL(kWidth, kHeight));
    gl.DrawPointCloud(plane.data(), side, side, 1, -2, 20, 10);
    EXPECT_TRUE(gl.Picture().allGray());
}

} // namespace
