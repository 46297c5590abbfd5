// Draw commands: a parameter record wrapped with the transform that moves its vertices. The
// draw is issued when the last command of a chain is destroyed; converting a command hands the
// draw on to the new one.
#pragma once

#include "Core/Base/Transform2D.h"
#include "Core/Base/Types.h"

namespace render
{
struct VertexFormat;

class DrawParam
{
public:
    virtual ~DrawParam() = default;
    // Moves the positions of `count` vertices in place.
    virtual QLResultEnum TransformVertices(void* vertices, const VertexFormat& format, u32 count) = 0;

    bool IsPending() const { return mPending; }
    void Cancel() { mPending = false; }

protected:
    DrawParam() = default;
    DrawParam(const DrawParam&) = delete;
    DrawParam& operator=(const DrawParam&) = delete;

    bool mPending = true;
};

struct TagUntransformed
{
};
struct TagTranslate2D
{
};
struct TagTransform2D
{
};

// Adds (dx, dy) to the position of vertices with 3 or 4 position components.
void TranslateVertices(void* vertices, const VertexFormat& format, u32 count, float dx, float dy);
// Lazy path (translation, scale, offset) unless the transform is rotated or a matrix.
void Transform2DVertices(void* vertices, const VertexFormat& format, u32 count, const math::Transform2D& transform);

template <class Tag, class P> class DrawParamInterface : public DrawParam
{
public:
    P* operator->() { return mParamPointer; }
    P* GetParam() { return mParamPointer; }

protected:
    P* mParamPointer = nullptr;
};

template <class P> class DrawTranslate2DParam;
template <class P> class DrawTransform2DParam;

// Issues the draw of a pending command once; the result goes nowhere.
template <class P> void IssueDraw(DrawParam& command, P& param)
{
    if (command.IsPending())
    {
        command.Cancel();
        (void)param.Draw(&command);
    }
}

template <class P> class DrawUntransformedParam : public DrawParamInterface<TagUntransformed, P>
{
public:
    explicit DrawUntransformedParam(const P& param) : mParam(param) { this->mParamPointer = &mParam; }
    DrawUntransformedParam(DrawUntransformedParam&& other) : mParam(other.mParam)
    {
        this->mParamPointer = &mParam;
        this->mPending = other.mPending;
        other.Cancel();
    }
    ~DrawUntransformedParam() override { IssueDraw(*this, mParam); }

    QLResultEnum TransformVertices(void*, const VertexFormat&, u32) override { return QL_OK; }

    DrawTranslate2DParam<P> Translate(float dx, float dy);
    DrawTransform2DParam<P> Scale(float sx, float sy);
    DrawTransform2DParam<P> ScaleUniform(float s) { return Scale(s, s); }
    DrawTransform2DParam<P> Transform(const math::Transform2D& transform);

    P mParam;
};

template <class P> class DrawTranslate2DParam : public DrawParamInterface<TagTranslate2D, P>
{
public:
    DrawTranslate2DParam(const P& param, float dx, float dy) : mParam(param), mDx(dx), mDy(dy)
    {
        this->mParamPointer = &mParam;
    }
    DrawTranslate2DParam(DrawTranslate2DParam&& other) : mParam(other.mParam), mDx(other.mDx), mDy(other.mDy)
    {
        this->mParamPointer = &mParam;
        this->mPending = other.mPending;
        other.Cancel();
    }
    ~DrawTranslate2DParam() override { IssueDraw(*this, mParam); }

    QLResultEnum TransformVertices(void* vertices, const VertexFormat& format, u32 count) override
    {
        TranslateVertices(vertices, format, count, mDx, mDy);
        return QL_OK;
    }

    // Translated by the offset, then scaled.
    DrawTransform2DParam<P> ScaleUniform(float s);

    P mParam;
    float mDx, mDy;
};

template <class P> class DrawTransform2DParam : public DrawParamInterface<TagTransform2D, P>
{
public:
    DrawTransform2DParam(const P& param, const math::Transform2D& transform) : mParam(param), mTransform(transform)
    {
        this->mParamPointer = &mParam;
    }
    DrawTransform2DParam(DrawTransform2DParam&& other) : mParam(other.mParam), mTransform(other.mTransform)
    {
        this->mParamPointer = &mParam;
        this->mPending = other.mPending;
        other.Cancel();
    }
    ~DrawTransform2DParam() override { IssueDraw(*this, mParam); }

    QLResultEnum TransformVertices(void* vertices, const VertexFormat& format, u32 count) override
    {
        Transform2DVertices(vertices, format, count, mTransform);
        return QL_OK;
    }

    P mParam;
    math::Transform2D mTransform;
};

template <class P> DrawTranslate2DParam<P> DrawUntransformedParam<P>::Translate(float dx, float dy)
{
    DrawTranslate2DParam<P> result(mParam, dx, dy);
    if (!this->mPending)
        result.Cancel();
    this->Cancel();
    return result;
}

template <class P> DrawTransform2DParam<P> DrawUntransformedParam<P>::Scale(float sx, float sy)
{
    math::Transform2D transform;
    transform.Scale(sx, sy);
    return Transform(transform);
}

template <class P> DrawTransform2DParam<P> DrawUntransformedParam<P>::Transform(const math::Transform2D& transform)
{
    DrawTransform2DParam<P> result(mParam, transform);
    if (!this->mPending)
        result.Cancel();
    this->Cancel();
    return result;
}

template <class P> DrawTransform2DParam<P> DrawTranslate2DParam<P>::ScaleUniform(float s)
{
    math::Transform2D transform;
    transform.Translate(mDx, mDy);
    transform.Scale(s, s);
    DrawTransform2DParam<P> result(mParam, transform);
    if (!this->mPending)
        result.Cancel();
    this->Cancel();
    return result;
}
} // namespace render
