// Offset quadratic curves. All arithmetic is single precision and t advances by repeated
// addition of 0.0001f, so the sample positions match the level designer's tool exactly.
#include "Source/TD/Level/TDPathCurve.h"

#include "Source/TD/Level/TDRoadNetwork.h"

#include <algorithm>
#include <cmath>

namespace tdcurve
{
namespace
{
const float kTStep = 0.0001f;
// Past this t a walk that has not reached its step gives up (only a degenerate curve gets here).
const float kTLimit = 2.0f;
} // namespace

void point(const TDCurve& c, float t, float& x, float& y)
{
    float u = 1.0f - t;
    float a = u * u;
    float m = 2.0f * t * u;
    float b = t * t;
    x = a * c.ax + m * c.cx + b * c.bx;
    y = a * c.ay + m * c.cy + b * c.by;
}

void normal(const TDCurve& c, float t, float& nx, float& ny)
{
    float t1 = std::min(t, 1.0f);
    float t2 = t1 + 0.01f;
    bool flipped = false;
    if (t2 >= 1.0f)
    {
        t2 = 0.98f;
        flipped = true;
    }
    float x1, y1, x2, y2;
    point(c, t1, x1, y1);
    point(c, t2, x2, y2);
    float dx = x2 - x1;
    float dy = y2 - y1;
    float len = std::sqrt(dx * dx + dy * dy);
    float ux = 0.0f, uy = 0.0f;
    if (len != 0.0f)
    {
        ux = dx / len;
        uy = dy / len;
    }
    nx = -uy;
    ny = ux;
    if (flipped)
    {
        nx = -nx;
        ny = -ny;
    }
}

void offsetPoint(const TDCurve& c, float t, float offset, float& x, float& y)
{
    float nx, ny;
    point(c, t, x, y);
    normal(c, t, nx, ny);
    x += offset * nx;
    y += offset * ny;
}

float offsetLength(const TDCurve& c, float offset)
{
    float px, py;
    offsetPoint(c, 0.0f, offset, px, py);
    float sum = 0.0f;
    float t = 0.0f;
    do
    {
        float x, y;
        offsetPoint(c, t, offset, x, y);
        sum += tdDistance(px, py, x, y);
        px = x;
        py = y;
        t += kTStep;
    } while (t <= 1.0f);
    return sum;
}

float advance(const TDCurve& c, float t0, float step, float offset)
{
    float px, py;
    offsetPoint(c, t0, offset, px, py);
    float sum = 0.0f;
    float t = t0;
    while (true)
    {
        float x, y;
        offsetPoint(c, t, offset, x, y);
        sum += tdDistance(px, py, x, y);
        px = x;
        py = y;
        if (sum >= step)
            return t;
        t += kTStep;
        if (!(t <= kTLimit))
            return kTLimit;
    }
}

void makeCurve(const TDCurve& c, float offset, int segments, std::vector<TDPathPoint*>& out)
{
    auto append = [&](float t)
    {
        TDPathPoint* p = new TDPathPoint();
        normal(c, t, p->normalX, p->normalY);
        offsetPoint(c, t, offset, p->x, p->y);
        out.push_back(p);
    };
    float length = offsetLength(c, offset);
    float step = length / static_cast<float>(segments > 0 ? segments : 1);
    if (!(length > 0.0f) || !(step > 0.0f))
    {
        append(0.0f);
        append(1.0f);
        return;
    }
    float t = 0.0f;
    while (t <= 1.0f)
    {
        append(t);
        t = advance(c, t, step, offset);
    }
}
} // namespace tdcurve
