// Straight lines given by a point and an angle, in single precision: the
// profile samples of every saved profile and spreadsheet follow this
// arithmetic, rounding included.
#pragma once

// Angle or intercept of no line, and coordinate of no intersection.
constexpr float kNoLine = 1e10f;

class CLine {
public:
    CLine();

    // Angle (radians, from the x axis) and y intercept of the line through
    // (x1, y1) and (x2, y2). A vertical line has the intercept kNoLine and the
    // angle +pi/2 upwards in y, -pi/2 otherwise; two equal points give kNoLine
    // for both.
    void LineFromPoints(float x1, float y1, float x2, float y2, float* angle,
                        float* intercept) const;

    // Intersection of the line through (xa, ya) at angleA with the line through
    // (xb, yb) at angleB; (kNoLine, kNoLine) when their cosines differ by less
    // than 1e-8 (parallel, or both vertical).
    void Intersection(float xa, float ya, float angleA, float xb, float yb, float angleB, float* x,
                      float* y) const;

    float m_fPi;
};
