// Binding the context block.
#include "Core/Media/Graphics/GraphicsFriend.h"

#include "Core/Media/Graphics/Graphics.h"

namespace render
{
void GraphicsFriend::BindGraphics(Graphics* graphics)
{
    mGraphics = graphics;
    mRender = graphics ? graphics->GetRender() : nullptr;
    mState = graphics ? &graphics->GetState() : nullptr;
}
} // namespace render
