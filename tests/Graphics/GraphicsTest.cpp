// The drawing context on the recording device: commands, quads, transforms, colours and state.
#include "GraphicsFixture.h"

#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Image/RenderTarget.h"
#include "Core/Render/Shader.h"

#include <cmath>

using namespace graphicstest;
using rendertest::Only;

namespace
{
class DrawCommands : public GraphicsFixture
{
};

u32 TotalPrimitives(const std::vector<rendertest::Command>& commands)
{
    u32 total = 0;
    for (const auto& c : Only(commands, render::CMD_DRAW_INDEXED))
        total += static_cast<u32>(c.args[3]);
    for (const auto& c : Only(commands, render::CMD_DRAW))
        total += static_cast<u32>(c.args[2]);
    return total;
}
} // namespace

TEST_F(DrawCommands, ATranslatedImageAndARectangleAreOneQuadEachALineUsesTheGeometryShaderAndClipsAreTruncated)
{
    // Clip rectangles are truncated only when recorded.
    const float clip[4] = {10.7f, 0.0f, 100.9f, 50.0f};
    mGraphics->SetClipRect(clip);
    EXPECT_FLOAT_EQ(10.7f, mGraphics->GetState().mScissorX);
    render::Image* image = MakeImage(5, 4);
    {
        auto command = mGraphics->DrawImage(image);
        {
            auto moved = command.Translate(10.0f, 20.0f);
            EXPECT_FALSE(command.IsPending());
            EXPECT_TRUE(moved.IsPending());
        }
    }
    mGraphics->SetColorRGBA(1.0f, 0.0f, 0.0f, 1.0f);
    mGraphics->DrawLine(1.0f, 2.0f, 30.0f, 2.0f);
    mGraphics->FillRect(4.0f, 5.0f, 10.0f, 6.0f);
    const render::SVertexGeom* shapes = CacheVertices<render::SVertexGeom>();
    ASSERT_TRUE(shapes);
    const auto commands = EndAndDecode();
    ASSERT_EQ(1u, Only(commands, render::CMD_DRAW).size());
    const auto indexed = Only(commands, render::CMD_DRAW_INDEXED);
    ASSERT_EQ(2u, indexed.size());
    EXPECT_EQ(2u, indexed[0].args[3]) << "one quad";
    EXPECT_EQ(2u, indexed[1].args[3]) << "one quad";
    // The image's corners are the layer tests' and the exact-pixel read-back's.
    const render::SVertexGeom* rect = shapes + indexed[1].args[4];
    EXPECT_FLOAT_EQ(3.5f, rect[0].x);
    EXPECT_FLOAT_EQ(13.5f, rect[2].x);
    EXPECT_FLOAT_EQ(10.5f, rect[2].y);
    EXPECT_EQ(0xFFFF0000u, rect[1].diffuse);
    const auto shaders = Only(commands, render::CMD_SET_SHADER);
    ASSERT_FALSE(shaders.empty());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(mGraphics->GetGeomShader()->GetImpl()), shaders.back().args[0]);
    const auto rects = Only(commands, render::CMD_SET_SCISSOR_RECT);
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ((std::vector<u64>{10, 0, 100, 50}), rects[0].args);
}

TEST_F(DrawCommands, AlignmentFlipsAndScalesShapeTheQuadColoursAreClampedAndTheTintRidesInTheSpecular)
{
    render::Image* image = MakeImage(5, 4);
    auto command = mGraphics->DrawImage(image);
    command->mAlignH = 2;
    command->mAlignV = 1;
    command->mFlipH = true;
    command->mFlipV = true;
    CaptureTransformer capture;
    ASSERT_EQ(QL_OK, command->Draw(&capture));
    command.Cancel();
    const auto& v = capture.mSeen;
    EXPECT_FLOAT_EQ(-2.5f, v[0].x);
    EXPECT_FLOAT_EQ(2.5f, v[1].x);
    EXPECT_FLOAT_EQ(-4.0f, v[0].y);
    EXPECT_FLOAT_EQ(0.0f, v[2].y);
    // Both pairs of texture coordinates swapped.
    EXPECT_FLOAT_EQ(1.0f, v[0].u);
    EXPECT_FLOAT_EQ(1.0f, v[0].v);
    EXPECT_FLOAT_EQ(0.0f, v[2].u);
    EXPECT_FLOAT_EQ(0.0f, v[2].v);

    // A scale after a translation scales the offset (turns are pinned by the reference frame).
    auto scaled = mGraphics->DrawImage(MakeImage(4, 4)).Translate(1.0f, 2.0f).ScaleUniform(3.0f);
    CaptureTransformer scaledCapture(&scaled);
    ASSERT_EQ(QL_OK, scaled->Draw(&scaledCapture));
    scaled.Cancel();
    EXPECT_FLOAT_EQ(3.0f, scaledCapture.mSeen[0].x);  // (0 + 1) x 3
    EXPECT_FLOAT_EQ(15.0f, scaledCapture.mSeen[2].x); // (4 + 1) x 3
    EXPECT_FLOAT_EQ(18.0f, scaledCapture.mSeen[2].y); // (4 + 2) x 3

    // Colours are clamped, the tint rides in the specular and shader modes stay built in.
    render::Image* tinted = MakeImage(2, 2);
    mGraphics->SetColorRGBA(1.5f, -0.5f, 0.5f, 1.0f);
    mGraphics->SetTint(0.5f);
    auto tintedCommand = mGraphics->DrawImage(tinted);
    CaptureTransformer tintedCapture;
    ASSERT_EQ(QL_OK, tintedCommand->Draw(&tintedCapture));
    tintedCommand.Cancel();
    EXPECT_EQ(0xFFFF007Fu, tintedCapture.mSeen[0].diffuse);
    EXPECT_EQ(0x00007F80u, tintedCapture.mSeen[3].specular); // t = 127: 127 << 8 | 128
    // Past the ends the tint is clamped, not wrapped (1.5 would otherwise weigh 126).
    for (const auto& [tint, specular] :
         {std::pair{0.0f, 0xFFu}, {1.5f, 0xFF00u}, {-3.0f, 0xFFu}, {std::nanf(""), 0xFFu}})
    {
        mGraphics->SetTint(tint);
        EXPECT_EQ(specular, mGraphics->GetTintSpecular()) << tint;
    }
    // Shader modes switch only between the built-in shaders.
    render::Shader* multiply = mGraphics->GetTexturedShader();
    EXPECT_EQ(QL_OK, mGraphics->SetShaderMode(static_cast<render::ShaderModeEnum>(3)));
    EXPECT_EQ(multiply, mGraphics->GetTexturedShader());
    EXPECT_EQ(render::SHADER_TEXTURED_MULT, mGraphics->GetShaderMode());
    EXPECT_EQ(QL_OK, mGraphics->SetShaderMode(render::SHADER_TEXTURED_TINT));
    EXPECT_NE(multiply, mGraphics->GetTexturedShader());
    EXPECT_EQ(QL_OK, mGraphics->SetShader(nullptr));
    EXPECT_EQ(render::SHADER_CUSTOM, mGraphics->GetShaderMode());
    EXPECT_EQ(multiply, mGraphics->GetTexturedShader());
}

TEST_F(DrawCommands, CustomGeometryCountsPrimitivesByType)
{
    EXPECT_EQ(0u, render::PrimitiveCount(render::PRIM_TRIANGLESTRIP, 1));
    // Seven vertices of each type, each type its own draw.
    const std::pair<u32, u64> types[] = {{render::PRIM_TRIANGLELIST, 2},
                                         {render::PRIM_TRIANGLESTRIP, 5},
                                         {render::PRIM_TRIANGLEFAN, 5},
                                         {render::PRIM_LINELIST, 3},
                                         {render::PRIM_LINESTRIP, 6}};
    for (const auto& [type, count] : types)
    {
        render::SVertexGeom* v = nullptr;
        u32 first = 0;
        render::Buffer* buffer = nullptr;
        ASSERT_EQ(QL_OK, mGraphics->AllocateVertices<render::SVertexGeom>(7, &v, &first, &buffer));
        for (u32 i = 0; i < 7; ++i)
            v[i] = {static_cast<float>(i), static_cast<float>(i % 2), 0.0f, 0xFFFFFFFF};
        mGraphics->DrawGeometry(type, v, first, 7, buffer, mGraphics->GetGeomShader());
    }
    const auto draws = Only(EndAndDecode(), render::CMD_DRAW);
    ASSERT_EQ(5u, draws.size());
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(types[i].second, draws[i].args[2]) << types[i].first;
}

TEST_F(DrawCommands, AnEmptySourceAMissingImageOrNoCacheRoomDrawsNothing)
{
    render::Image* image = MakeImage(8, 8);
    const float empty[4] = {0.0f, 0.0f, 0.0f, 8.0f};
    const float destination[4] = {0.0f, 0.0f, 16.0f, 16.0f};
    {
        auto scaled = mGraphics->DrawImageToRect(image, empty, destination);
        EXPECT_FALSE(scaled.IsPending());
        auto missing = mGraphics->DrawImage(nullptr);
        EXPECT_EQ(QL_FAIL, missing->Draw(&missing));
    }
    ASSERT_EQ(QL_OK, mRender->EndScene()); // the caches leave their frame
    {
        auto line = mGraphics->DrawLine(0.0f, 0.0f, 5.0f, 5.0f);
        EXPECT_EQ(QL_FAIL, line->Draw(&line));
        auto rect = mGraphics->FillRect(0.0f, 0.0f, 5.0f, 5.0f);
        EXPECT_EQ(QL_FAIL, rect->Draw(&rect));
        auto image = mGraphics->DrawImage(MakeImage(2, 2));
        EXPECT_EQ(QL_FAIL, image->Draw(&image));
    }
    EXPECT_EQ(0u, TotalPrimitives(rendertest::Decode(mRender->GetCommandBuffer())));
}

TEST_F(DrawCommands, ARenderTargetContextBeginsASceneOnlyWhenNoneIsOpenAndClipsFollowThePixelMapping)
{
    render::RenderTarget* target = nullptr;
    ASSERT_EQ(QL_OK, render::CreateRenderTarget(mRender, 16, 16, &target, 1));
    std::unique_ptr<render::RenderTarget> owner(target);
    {
        render::Graphics inTarget(target);
        EXPECT_FALSE(inTarget.HasBegunScene());
        EXPECT_EQ(target->GetTexture(), inTarget.GetState().mTarget);
        EXPECT_EQ(&target->GetProjection(), inTarget.GetProjection());
        inTarget.FillRect(0.0f, 0.0f, 4.0f, 4.0f);
    }
    EXPECT_TRUE(mRender->IsInScene());
    const auto commands = EndAndDecode();
    EXPECT_EQ(1u, Only(commands, render::CMD_BEGIN_SCENE).size());
    EXPECT_EQ(1u, Only(commands, render::CMD_END_SCENE).size());
    EXPECT_EQ(1u, Only(commands, render::CMD_SET_TARGET).size());
    // Outside a scene the context opens one and closes it again.
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    {
        render::Graphics inTarget(target);
        EXPECT_TRUE(inTarget.HasBegunScene());
        EXPECT_TRUE(mRender->IsInScene());
    }
    EXPECT_FALSE(mRender->IsInScene());

    // Clip rectangles follow the render's pixel mapping.
    render::HeadlessWindow window(render::HeadlessWindow::Backend::Recording);
    render::RenderDX9 render;
    render::RenderInitParam param;
    param.mWidth = 1024;
    param.mHeight = 768;
    param.mScaleX = param.mScaleY = 0.5f;
    ASSERT_EQ(QL_OK, render.InitRender(&window, param));
    ASSERT_EQ(QL_OK, render.BeginScene());
    {
        render::Graphics graphics(&render);
        EXPECT_FLOAT_EQ(0.5f, graphics.GetState().mScaleX);
        const float clip[4] = {40.0f, 0.0f, 940.0f, 768.0f};
        graphics.SetClipRect(clip);
        graphics.FillRect(0.0f, 0.0f, 4.0f, 4.0f);
    }
    ASSERT_EQ(QL_OK, render.EndScene());
    const auto rects = Only(rendertest::Decode(render.GetCommandBuffer()), render::CMD_SET_SCISSOR_RECT);
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ((std::vector<u64>{20, 0, 470, 384}), rects[0].args);
    EXPECT_EQ(QL_OK, render.ExecuteCommands());
}
