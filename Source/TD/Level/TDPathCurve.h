// Offset quadratic curves: the polylines that units walk, sampled in steps of 0.0001 in t.
#pragma once

#include "Source/TD/Level/TDPathPoint.h"

#include <vector>

struct TDCurve
{
    float ax, ay; // start
    float cx, cy; // control point
    float bx, by; // end
};

namespace tdcurve
{
// P(t) = (1-t)^2 A + 2t(1-t) C + t^2 B, t unclamped.
void point(const TDCurve& c, float t, float& x, float& y);
// Unit normal (-dy, dx) at t, from P(t') to P(t' + 0.01) with t' = min(t, 1); near the end the
// difference is taken back to 0.98 and the normal negated so it stays on the same side.
void normal(const TDCurve& c, float t, float& nx, float& ny);
// The offset point Q(t) = P(t) + offset * normal(t).
void offsetPoint(const TDCurve& c, float t, float offset, float& x, float& y);
float offsetLength(const TDCurve& c, float offset);
// The first t (from t0, in steps of 0.0001) at which the walked length reaches step. A walk that
// cannot reach it (a NaN curve) gives up past t = 2.
float advance(const TDCurve& c, float t0, float step, float offset);
// Appends the points of one offset polyline: about `segments` equal steps of arc length.
// A curve of no length gives its two end points.
void makeCurve(const TDCurve& c, float offset, int segments, std::vector<TDPathPoint*>& out);
} // namespace tdcurve
