// Vertex transforms of the command wrappers.
#include "Core/Media/Graphics/DrawParam.h"

#include "Core/Base/Matrix3.h"
#include "Core/Render/VertexFormat.h"

#include <cmath>

namespace render
{
namespace
{
constexpr float kZero = 0.0002f;

bool NearZero(float x, float y) { return std::fabs(x) <= kZero && std::fabs(y) <= kZero; }

template <class F> void ForEachPosition(void* vertices, const VertexFormat& format, u32 count, F f)
{
    u8* bytes = static_cast<u8*>(vertices);
    for (u32 i = 0; i < count; ++i)
        f(reinterpret_cast<float*>(bytes + static_cast<size_t>(i) * format.mStride + format.mPosition.mOffset));
}
} // namespace

void TranslateVertices(void* vertices, const VertexFormat& format, u32 count, float dx, float dy)
{
    const u32 components = format.mPosition.mComponents;
    if (components != 3 && components != 4)
        return;
    ForEachPosition(vertices, format, count,
                    [dx, dy](float* p)
                    {
                        p[0] += dx;
                        p[1] += dy;
                    });
}

void Transform2DVertices(void* vertices, const VertexFormat& format, u32 count, const math::Transform2D& transform)
{
    if (!transform.IsMatrixMode() && !transform.IsRotated())
    {
        const float preX = transform.GetTranslationX(), preY = transform.GetTranslationY();
        const float postX = transform.GetOffsetX(), postY = transform.GetOffsetY();
        const bool pre = !NearZero(preX, preY);
        const bool post = !NearZero(postX, postY);
        const bool scaled = transform.IsScaled();
        const float sx = transform.GetScaleX(), sy = transform.GetScaleY();
        ForEachPosition(vertices, format, count,
                        [&](float* p)
                        {
                            if (pre)
                            {
                                p[0] += preX;
                                p[1] += preY;
                            }
                            if (scaled)
                            {
                                p[0] *= sx;
                                p[1] *= sy;
                            }
                            if (post)
                            {
                                p[0] += postX;
                                p[1] += postY;
                            }
                        });
        return;
    }
    const math::Matrix3& m = transform.GetMatrix();
    ForEachPosition(vertices, format, count,
                    [&m](float* p)
                    {
                        const float x = p[0], y = p[1];
                        p[0] = m.m[0][0] * x + m.m[0][1] * y + m.m[0][2];
                        p[1] = m.m[1][0] * x + m.m[1][1] * y + m.m[1][2];
                    });
}
} // namespace render
