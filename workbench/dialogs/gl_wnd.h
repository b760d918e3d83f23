// The drawing of the 3-D view: an OpenGL context of the compatibility profile
// on an offscreen surface, drawing into a framebuffer object of the image's
// size with a depth buffer, from which the picture is read back.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QImage>

#include "heap_trim_hold.h"
#include "workbench/core/point_cloud.h"

class QOffscreenSurface;
class QOpenGLBuffer;
class QOpenGLContext;
class QOpenGLFramebufferObject;

class CGlWnd {
public:
    CGlWnd();
    ~CGlWnd();

    // SetupPixelFormat, then depth test on, the viewport and the projection:
    // gluPerspective(45 degrees, width / height (1 for a height of 0), 3, 7)
    // with the eye 4.5 from the origin. False when the setup failed.
    bool InitGL(int width, int height);
    // Gives back the framebuffer, the surface and the context.
    void ReleaseGL();
    // The context, made current on its surface, and the framebuffer. Without
    // a context "ChoosePixelFormat failed" is shown, without a framebuffer
    // "SetPixelFormat failed"; either leaves no context and gives false.
    bool SetupPixelFormat(int width, int height);
    bool HasContext() const { return m_fbo != nullptr; }

    // Draws one frame of the cloud of `plane` (see MakePointCloud) turned by
    // ax degrees about x, then ay about y, then az about z. Nothing without a context.
    void DrawPointCloud(const uint8_t* plane, int width, int height, int step, float ax, float ay,
                        float az);
    // The framebuffer's picture, top row first as it looks (GL's rows count
    // from the bottom); null without a context.
    QImage Picture() const;
    // The picture into three planes of width x height bytes, pixel (x, y) at
    // x + width * y; all zeros without a context.
    void CopyDcPixels(int width, int height, uint8_t* red, uint8_t* green, uint8_t* blue) const;

    float m_fEyeDistance = 0.0f;

private:
    bool Fail(const char* message);
    // Builds the cloud of `plane` into `m_vertices`; false when the GL fails.
    bool FillVertices(const uint8_t* plane, int width, int height, int step);
    // Writes the indices of the points that may show in this frame, in order,
    // into `drawn` (room for every point) and gives their count.
    int ListShownPoints(uint32_t* drawn);

    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOffscreenSurface> m_surface;
    std::unique_ptr<QOpenGLFramebufferObject> m_fbo;
    // The cloud of the plane drawn last, kept by the GL in `m_vertices`
    // (positions, then colours) and made again only for another plane.
    std::unique_ptr<QOpenGLBuffer> m_vertices;
    // The indices of the points drawn in the current frame.
    std::unique_ptr<QOpenGLBuffer> m_shown;
    int m_nPoints = 0;
    // The cloud's positions as the GL holds them, and the largest magnitude
    // of each coordinate, for working out where each point lands.
    std::vector<float> m_positions;
    float m_extent[3] = {};
    // Per pixel, the farthest depth the nearest point certain of it may have;
    // per point, its pixel (-1 when uncertain) and the nearest depth it may have.
    std::vector<float> m_nearest;
    std::vector<int32_t> m_pointPixel;
    std::vector<float> m_pointDepth;
    int m_subpixelBits = 0;
    int m_depthBits = 0;
    const uint8_t* m_cloudPlane = nullptr;
    int m_cloudWidth = 0;
    int m_cloudHeight = 0;
    int m_cloudStep = 0;
    std::optional<HeapTrimHold> m_heapHold;
};
