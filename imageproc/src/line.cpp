#include <imageproc/line.h>

#include <cmath>

CLine::CLine() : m_fPi(4 * std::atan(1.0f)) { }

void CLine::LineFromPoints(float x1, float y1, float x2, float y2, float* angle,
                           float* intercept) const
{
    const float dx = x2 - x1, dy = y2 - y1;
    if (std::fabs(dx) < 1e-6f && std::fabs(dy) < 1e-6f) {
        *angle = *intercept = kNoLine;
    } else if (std::fabs(dx) >= 1e-6f) {
        const float slope = dy / dx;
        *intercept = y1 - x1 * slope;
        *angle = std::atan(slope);
    } else {
        *intercept = kNoLine;
        *angle = m_fPi * (y2 > y1 ? 0.5f : -0.5f);
    }
}

void CLine::Intersection(float xa, float ya, float angleA, float xb, float yb, float angleB,
                         float* x, float* y) const
{
    const float ca = std::cos(angleA), cb = std::cos(angleB);
    if (std::fabs(ca) < 1e-5f && std::fabs(cb) > 1e-5f) {
        const float mb = std::tan(angleB);
        *x = xa;
        *y = yb - xb * mb + xa * mb;
    } else if (std::fabs(cb) < 1e-5f && std::fabs(ca) > 1e-5f) {
        const float ma = std::tan(angleA);
        *x = xb;
        *y = ya - xa * ma + xb * ma;
    } else if (std::fabs(ca - cb) < 1e-8f) {
        *x = *y = kNoLine;
    } else {
        const float ma = std::tan(angleA), ba = ya - ma * xa, mb = std::tan(angleB);
        *x = (yb - mb * xb - ba) / (ma - mb);
        *y = ba + *x * ma;
    }
}
