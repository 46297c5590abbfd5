// The drawing-context block that draw records and drawing helpers carry: the context, its render
// and its state record.
#pragma once

namespace render
{
class Graphics;
class Render;
struct RenderState;

struct GraphicsFriend
{
    GraphicsFriend() = default;
    explicit GraphicsFriend(Graphics* graphics) { BindGraphics(graphics); }
    // Null unbinds all three.
    void BindGraphics(Graphics* graphics);

    Graphics* mGraphics = nullptr;
    Render* mRender = nullptr;
    RenderState* mState = nullptr;
};
} // namespace render
