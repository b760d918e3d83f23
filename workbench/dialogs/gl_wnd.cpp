#include "gl_wnd.h"

#include <algorithm>
#include <cstring>

#include <GL/gl.h>
#include <GL/glu.h>

#include <QOffscreenSurface>
#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include "workbench/common/user_message.h"

namespace {

constexpr double kFieldOfView = 45.0;
constexpr double kNear = 3.0;
constexpr double kFar = 7.0;
constexpr float kEyeDistance = 4.5f;
// The software GL works each draw call's vertices through buffers sized to
// the call: drawn in batches of this many points, the cloud keeps them in the
// cache. The points keep their order, and so the picture stays the same.
constexpr int kPointsPerDraw = 256;

} // namespace

CGlWnd::CGlWnd() = default;

CGlWnd::~CGlWnd() { ReleaseGL(); }

bool CGlWnd::Fail(const char* message)
{
    ReleaseGL();
    UserMessage(QString::fromUtf8(message));
    return false;
}

bool CGlWnd::SetupPixelFormat(int width, int height)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    m_context = std::make_unique<QOpenGLContext>();
    m_context->setFormat(format);
    // The fixed-function pipeline the cloud is drawn with needs desktop OpenGL.
    if (!m_context->create() || m_context->isOpenGLES())
        return Fail("ChoosePixelFormat failed");
    m_surface = std::make_unique<QOffscreenSurface>();
    m_surface->setFormat(m_context->format());
    m_surface->create();
    if (!m_surface->isValid() || !m_context->makeCurrent(m_surface.get()) || width <= 0 ||
        height <= 0)
        return Fail("SetPixelFormat failed");
    m_fbo =
        std::make_unique<QOpenGLFramebufferObject>(width, height, QOpenGLFramebufferObject::Depth);
    if (!m_fbo->isValid() || !m_fbo->bind())
        return Fail("SetPixelFormat failed");
    m_heapHold.emplace();
    return true;
}

bool CGlWnd::InitGL(int width, int height)
{
    if (!SetupPixelFormat(width, height))
        return false;
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, width, height);
    const double aspect = height == 0 ? 1.0 : double(width) / double(height);
    m_fEyeDistance = kEyeDistance;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, aspect, kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
}

void CGlWnd::ReleaseGL()
{
    if (m_context && m_surface && m_context->makeCurrent(m_surface.get())) {
        m_vertices.reset();
        m_fbo.reset();
        m_context->doneCurrent();
    }
    m_vertices.reset();
    m_fbo.reset();
    m_context.reset();
    m_surface.reset();
    m_heapHold.reset();
}

bool CGlWnd::FillVertices(const uint8_t* plane, int width, int height, int step)
{
    const int count = CloudPointCount(width, height, step);
    const int positions = count * 3 * int(sizeof(float));
    if (!m_vertices) {
        m_vertices = std::make_unique<QOpenGLBuffer>(QOpenGLBuffer::VertexBuffer);
        if (!m_vertices->create())
            return false;
    }
    if (!m_vertices->bind())
        return false;
    m_vertices->allocate(positions + 3 * count);
    // Written in place in the GL's own storage: a million points would
    // otherwise be built in host arrays and copied over once more.
    if (count > 0) {
        auto* data = static_cast<uint8_t*>(m_vertices->map(QOpenGLBuffer::WriteOnly));
        if (!data)
            return false;
        MakePointCloud(plane, width, height, step, reinterpret_cast<float*>(data),
                       data + positions);
        if (!m_vertices->unmap())
            return false;
    }
    m_vertices->release();
    m_nPoints = count;
    return true;
}

void CGlWnd::DrawPointCloud(const uint8_t* plane, int width, int height, int step, float ax,
                            float ay, float az)
{
    if (!HasContext() || !m_context->makeCurrent(m_surface.get()))
        return;
    m_fbo->bind();
    step = std::clamp(step, 1, 2);
    if (!m_vertices || plane != m_cloudPlane || width != m_cloudWidth || height != m_cloudHeight ||
        step != m_cloudStep) {
        if (!FillVertices(plane, width, height, step)) {
            m_vertices.reset();
            return;
        }
        m_cloudPlane = plane;
        m_cloudWidth = width;
        m_cloudHeight = height;
        m_cloudStep = step;
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -m_fEyeDistance);
    glRotatef(ax, 1.0f, 0.0f, 0.0f);
    glRotatef(ay, 0.0f, 1.0f, 0.0f);
    glRotatef(az, 0.0f, 0.0f, 1.0f);
    m_vertices->bind();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glColorPointer(3, GL_UNSIGNED_BYTE, 0,
                   reinterpret_cast<const void*>(size_t(m_nPoints) * 3 * sizeof(float)));
    for (int first = 0; first < m_nPoints; first += kPointsPerDraw)
        glDrawArrays(GL_POINTS, first, std::min(kPointsPerDraw, m_nPoints - first));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    m_vertices->release();
    glPopMatrix();
    glFinish();
}

QImage CGlWnd::Picture() const
{
    if (!HasContext() || !m_context->makeCurrent(m_surface.get()))
        return {};
    m_fbo->bind();
    const QSize size = m_fbo->size();
    QImage picture(size, QImage::Format_RGBA8888);
    if (picture.isNull())
        return {};
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, picture.bits());
    return std::move(picture).mirrored(false, true);
}

void CGlWnd::CopyDcPixels(int width, int height, uint8_t* red, uint8_t* green, uint8_t* blue) const
{
    const size_t count = size_t(width) * size_t(height);
    std::memset(red, 0, count);
    std::memset(green, 0, count);
    std::memset(blue, 0, count);
    const QImage picture = Picture();
    const int w = std::min(width, picture.width()), h = std::min(height, picture.height());
    for (int y = 0; y < h; ++y) {
        const uchar* row = picture.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * size_t(width) + size_t(x);
            red[i] = row[4 * x];
            green[i] = row[4 * x + 1];
            blue[i] = row[4 * x + 2];
        }
    }
}
