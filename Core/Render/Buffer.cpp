// Buffer registration with the render.
#include "Core/Render/Buffer.h"

#include "Core/Render/Render.h"

namespace render
{
Buffer::Buffer(Render* render, u32 elementSize) : mRender(render), mElementSize(elementSize)
{
    mRender->RegisterBuffer(this);
}

Buffer::~Buffer()
{
    if (mRender)
        mRender->UnregisterBuffer(this);
}
} // namespace render
