#include "gl_wnd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include <GL/gl.h>
#include <GL/glu.h>

#include <QOffscreenSurface>
#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include "workbench/common/user_message.h"

namespace {

// The perspective of the view, and the eye's distance from the cloud's
// origin, which lies between the near and far planes.
struct Projection {
    double fieldOfView; // degrees
    double nearPlane;
    double farPlane;
    float eyeDistance;
};
constexpr Projection kView{45.0, 3.0, 7.0, 4.5f};
// The software GL works each draw call's vertices through buffers sized to
// the call: drawn in batches of this many points, the cloud keeps them in the
// cache. The points keep their order, and so the picture stays the same.
constexpr int kPointsPerDraw = 256;
// The GL takes the byte sizes of the cloud's buffer, 3 floats and 3 colour
// bytes a point, as int: a cloud of more points is not drawn.
constexpr int kMaxPoints = std::numeric_limits<int>::max() / int(3 * sizeof(float) + 3);
// How far the GL's single-precision transform of a point may stray, relative
// to the sum of the magnitudes it adds up: the product of the two matrices and
// the transform round a few times each; this allows 32 roundings.
constexpr double kTransformError = 1.0 / (1 << 19);
// Column-major 4 x 4, as the GL gives its matrices.
using Matrix = double[16];

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
    glGetIntegerv(GL_SUBPIXEL_BITS, &m_subpixelBits);
    glGetIntegerv(GL_DEPTH_BITS, &m_depthBits);
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
    m_fEyeDistance = kView.eyeDistance;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kView.fieldOfView, aspect, kView.nearPlane, kView.farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
}

void CGlWnd::ReleaseGL()
{
    if (m_context && m_surface && m_context->makeCurrent(m_surface.get())) {
        m_vertices.reset();
        m_shown.reset();
        m_fbo.reset();
        m_context->doneCurrent();
    }
    m_vertices.reset();
    m_shown.reset();
    m_fbo.reset();
    m_context.reset();
    m_surface.reset();
    m_heapHold.reset();
}

bool CGlWnd::FillVertices(const uint8_t* plane, int width, int height, int step)
{
    const int count = CloudPointCount(width, height, step);
    if (count > kMaxPoints)
        return false;
    m_positions.resize(size_t(count) * 3);
    std::vector<uint8_t> colours(size_t(count) * 3);
    MakePointCloud(plane, width, height, step, m_positions.data(), colours.data());
    for (int axis = 0; axis < 3; ++axis) {
        m_extent[axis] = 0.0f;
        for (size_t i = size_t(axis); i < m_positions.size(); i += 3)
            m_extent[axis] = std::max(m_extent[axis], std::fabs(m_positions[i]));
    }
    m_pointPixel.resize(size_t(count));
    m_pointDepth.resize(size_t(count));
    if (!m_vertices) {
        m_vertices = std::make_unique<QOpenGLBuffer>(QOpenGLBuffer::VertexBuffer);
        m_shown = std::make_unique<QOpenGLBuffer>(QOpenGLBuffer::IndexBuffer);
        if (!m_vertices->create() || !m_shown->create())
            return false;
    }
    const int positions = count * 3 * int(sizeof(float));
    if (!m_vertices->bind())
        return false;
    m_vertices->allocate(positions + 3 * count);
    m_vertices->write(0, m_positions.data(), positions);
    m_vertices->write(positions, colours.data(), 3 * count);
    m_vertices->release();
    if (!m_shown->bind())
        return false;
    m_shown->setUsagePattern(QOpenGLBuffer::StreamDraw);
    m_shown->allocate(count * int(sizeof(uint32_t)));
    m_shown->release();
    m_nPoints = count;
    return true;
}

// A point of size 1, not smoothed, covers the one pixel its window position
// falls in and keeps the depth it is given, and the depth test keeps the
// nearest. Where the GL's rounding cannot move a point off its pixel or out
// of the depth range, the pixel and the depth are certain within a margin;
// such a point is left out when another point certain of the same pixel is
// nearer by more than both margins and the depth buffer's step, since it
// could never show. Every other point is drawn, in its order, so the picture
// stays the same.
int CGlWnd::ListShownPoints(uint32_t* drawn)
{
    const QSize size = m_fbo->size();
    const int width = size.width(), height = size.height();
    GLint depthTest = GL_NEVER, viewport[4] = {};
    GLdouble depthRange[2] = {};
    GLfloat pointSize = 0.0f;
    glGetIntegerv(GL_DEPTH_FUNC, &depthTest);
    glGetFloatv(GL_POINT_SIZE, &pointSize);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_DEPTH_RANGE, depthRange);
    const bool certain = m_subpixelBits > 0 && m_depthBits > 0 && glIsEnabled(GL_DEPTH_TEST) &&
                         depthTest == GL_LESS && depthRange[0] == 0.0 && depthRange[1] == 1.0 &&
                         pointSize == 1.0f && !glIsEnabled(GL_POINT_SMOOTH);
    Matrix model, projection, m, magnitude;
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            m[4 * c + r] = magnitude[4 * c + r] = 0.0;
            for (int k = 0; k < 4; ++k) {
                m[4 * c + r] += projection[4 * k + r] * model[4 * c + k];
                magnitude[4 * c + r] += std::fabs(projection[4 * k + r] * model[4 * c + k]);
            }
        }
    // The largest sum of magnitudes each clip coordinate may add up.
    double sums[4];
    for (int r = 0; r < 4; ++r)
        sums[r] = magnitude[r] * m_extent[0] + magnitude[4 + r] * m_extent[1] +
                  magnitude[8 + r] * m_extent[2] + magnitude[12 + r];
    const double halfWidth = 0.5 * viewport[2], halfHeight = 0.5 * viewport[3];
    const double centreX = viewport[0] + halfWidth, centreY = viewport[1] + halfHeight;
    // Points outside the viewport are clipped, outside the framebuffer lost.
    const double left = std::max(viewport[0], 0),
                 right = std::min(viewport[0] + viewport[2], width);
    const double bottom = std::max(viewport[1], 0),
                 top = std::min(viewport[1] + viewport[3], height);
    // Margins at a clip w of 1: a point certain of its pixel and of the depth
    // range has normalised coordinates within 1, so each strays by at most
    // kTransformError (sum + w's sum) / w; the window position is snapped to
    // the subpixel grid, the depth stored in steps and kept here as a float.
    const double marginX = halfWidth * kTransformError * (sums[0] + sums[3]);
    const double marginY = halfHeight * kTransformError * (sums[1] + sums[3]);
    const double marginZ = 0.5 * kTransformError * (sums[2] + sums[3]);
    const double snap = std::ldexp(1.0, -m_subpixelBits);
    const double step = 2.0 * std::ldexp(1.0, -m_depthBits) + std::ldexp(1.0, -23);
    m_nearest.assign(size_t(width) * size_t(height), std::numeric_limits<float>::infinity());
    for (int i = 0; i < m_nPoints; ++i) {
        const double x = m_positions[3 * size_t(i)], y = m_positions[3 * size_t(i) + 1],
                     z = m_positions[3 * size_t(i) + 2];
        const double w = m[3] * x + m[7] * y + m[11] * z + m[15];
        int pixel = -1;
        double depth = 0.0, margin = 0.0;
        if (certain && w > 0.0) {
            const double inverse = 1.0 / w;
            const double wx =
                halfWidth * (m[0] * x + m[4] * y + m[8] * z + m[12]) * inverse + centreX;
            const double wy =
                halfHeight * (m[1] * x + m[5] * y + m[9] * z + m[13]) * inverse + centreY;
            depth = 0.5 * (m[2] * x + m[6] * y + m[10] * z + m[14]) * inverse + 0.5;
            margin = marginZ * inverse + step;
            const double ex = marginX * inverse + snap, ey = marginY * inverse + snap;
            if (wx >= left && wx < right && wy >= bottom && wy < top) {
                const int px = int(wx), py = int(wy);
                if (wx - px >= ex && px + 1 - wx >= ex && wy - py >= ey && py + 1 - wy >= ey &&
                    depth >= margin && depth <= 1.0 - margin)
                    pixel = py * width + px;
            }
        }
        m_pointPixel[size_t(i)] = pixel;
        m_pointDepth[size_t(i)] = float(depth - margin);
        if (pixel >= 0)
            m_nearest[size_t(pixel)] = std::min(m_nearest[size_t(pixel)], float(depth + margin));
    }
    int count = 0;
    for (int i = 0; i < m_nPoints; ++i) {
        const int pixel = m_pointPixel[size_t(i)];
        drawn[count] = uint32_t(i);
        count += pixel < 0 || !(m_pointDepth[size_t(i)] > m_nearest[size_t(pixel)]);
    }
    return count;
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
    // Only the indices of the points that may show go to the GL; the cloud
    // stays in its buffer.
    m_shown->bind();
    auto* drawn = static_cast<uint32_t*>(m_shown->map(QOpenGLBuffer::WriteOnly));
    const int shown = drawn ? ListShownPoints(drawn) : 0;
    if (drawn && m_shown->unmap()) {
        m_vertices->bind();
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        glColorPointer(3, GL_UNSIGNED_BYTE, 0,
                       reinterpret_cast<const void*>(size_t(m_nPoints) * 3 * sizeof(float)));
        for (int first = 0; first < shown; first += kPointsPerDraw)
            glDrawElements(GL_POINTS, std::min(kPointsPerDraw, shown - first), GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(size_t(first) * sizeof(uint32_t)));
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        m_vertices->release();
    }
    m_shown->release();
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
