// The mob shader on real OpenGL (headless EGL): the game's GLSL files compile and "color2" tints
// the textured colour (a unit kind's "fillColor": white leaves the picture as it is). A back end
// that has no "color2" refuses the shader.
#include "Audio/LogCapture.h"
#include "Graphics/GraphicsFixture.h"

#include "Source/TD/Shell/TMobShader.h"
#include "support/TempDir.h"

#include <filesystem>

namespace
{
class MobShader : public graphicstest::GraphicsFixture
{
protected:
    MobShader() : GraphicsFixture(render::HeadlessWindow::Backend::Gl, 16, 16) {}
    void TearDown() override
    {
        mShader = base::CountedPtr<TMobShader>();
        GraphicsFixture::TearDown();
    }

    // A white-and-blue 8 x 8 picture drawn at the origin with color2, then the pixel at (2, 2).
    u32 DrawWith(const math::Point4& color2)
    {
        mShader->SetColor2(color2);
        EXPECT_EQ(QL_OK, mGraphics->SetShader(mShader.Get()));
        mGraphics->SetColorRGBA(1, 1, 1, 1);
        render::Image* image = MakeImage(8, 8, 0xFF3366FFu);
        mGraphics->DrawImage(image);
        EXPECT_EQ(QL_OK, mGraphics->Flush());
        EXPECT_EQ(QL_OK, mRender->EndScene());
        EXPECT_EQ(QL_OK, mRender->Present());
        EXPECT_EQ(QL_OK, mRender->ExecuteCommands());
        std::vector<u32> pixels;
        EXPECT_EQ(QL_OK, mRender->GetDevice()->ReadPixels(0, 0, 0, 16, 16, &pixels));
        return pixels.size() == 256 ? pixels[2 * 16 + 2] : 0;
    }

    base::CountedPtr<TMobShader> mShader;
};

bool Near(u32 a, u32 b)
{
    for (int shift = 0; shift < 32; shift += 8)
    {
        const int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
        if (ca - cb > 2 || cb - ca > 2)
            return false;
    }
    return true;
}
} // namespace

TEST_F(MobShader, TheGamesShaderCompilesWithItsSecondColourAndWhiteKeepsThePicture)
{
    testsupport::InFolder here(QL_CONTENT_DIR); // where "td/..." resolves
    ASSERT_EQ(QL_OK, mRender->LoadShader<TMobShader>(L"td/Shaders/MobShader/DX/", &mShader));
    ASSERT_TRUE(mShader);
    EXPECT_NE(nullptr, mShader->GetColor2());
    EXPECT_NE(nullptr, mShader->GetSamplerVariable());
    EXPECT_NE(nullptr, mShader->GetProjectionVariable());
    base::CountedPtr<TMobShader> again;
    ASSERT_EQ(QL_OK, mRender->LoadShader<TMobShader>(L"td/Shaders/MobShader/DX/", &again));
    EXPECT_EQ(mShader.Get(), again.Get()) << "shared by name";
    // White keeps the picture (one frame per fixture: the tint has its own case).
    const u32 plain = DrawWith(math::Point4(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(Near(0xFF3366FFu, plain)) << std::hex << plain;
}

TEST_F(MobShader, AColourTintsThePicture)
{
    testsupport::InFolder here(QL_CONTENT_DIR); // where "td/..." resolves
    ASSERT_EQ(QL_OK, mRender->LoadShader<TMobShader>(L"td/Shaders/MobShader/DX/", &mShader));
    // (0x33, 0x66, 0xFF) x (1, 0.5, 0.25).
    const u32 tinted = DrawWith(math::Point4(1.0f, 0.5f, 0.25f, 1.0f));
    EXPECT_TRUE(Near(0xFF333340u, tinted)) << std::hex << tinted;
}

TEST_F(MobShader, AProgramWithoutTheSecondColourLoadsAndIgnoresIt)
{
    // The device answers every constant name (an unused one does nothing when set), so such a
    // program still loads; the picture is drawn as it is.
    testsupport::TempDir folder;
    folder.Write("PlainVS.hlsl", "uniform mat4 Proj;\nin vec4 aPos;\nin vec2 aTex0;\nout vec2 vTex;\n"
                                 "void vertex_shader() { gl_Position = Proj * aPos; vTex = aTex0; }\n");
    folder.Write("PlainPS.hlsl", "uniform sampler2D TextureSampler;\nin vec2 vTex;\nout vec4 o;\n"
                                 "void pixel_shader() { o = texture(TextureSampler, vTex); }\n");
    ASSERT_EQ(QL_OK, mRender->LoadShader<TMobShader>(folder.WPath("Plain"), &mShader));
    const u32 plain = DrawWith(math::Point4(1.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(Near(0xFF3366FFu, plain)) << std::hex << plain;
}

namespace
{
// A back end that makes no scalar variables, as one whose program lacks the name would.
class NoScalars : public render::ShaderImpl
{
public:
    explicit NoScalars(render::Render* render) : render::ShaderImpl(render) {}
    render::ShaderScalarVariableImpl* CreateScalarVariable(const std::string& name, u32) override
    {
        mAsked.push_back(name);
        return nullptr;
    }
    render::ShaderTextureVariableImpl* CreateTextureVariable(const std::string& name) override
    {
        mAsked.push_back(name);
        return nullptr;
    }
    std::vector<std::string> mAsked;
};

class MobShaderBinding : public graphicstest::GraphicsFixture
{
};
} // namespace

TEST_F(MobShaderBinding, ABackEndWithoutTheSecondColourFailsTheShaderAtOnceAndSaysSo)
{
    audiotest::LogCapture log;
    TMobShader shader;
    ASSERT_EQ(QL_OK, shader.SetRender(mRender));
    auto* impl = new NoScalars(mRender);
    shader.SetImpl(impl);
    ASSERT_EQ(QL_OK, shader.Init(L"td/Shaders/MobShader/DX/"));
    EXPECT_EQ(QL_FAIL, shader.BindVariables());
    EXPECT_EQ(impl->mAsked, std::vector<std::string>{"color2"}) << "nothing asked after the failure";
    EXPECT_EQ(nullptr, shader.GetColor2());
    EXPECT_EQ(nullptr, shader.GetProjectionVariable());
    EXPECT_TRUE(impl->GetVariables().empty());
    EXPECT_EQ(1, log.Count("Shader 'td/Shaders/MobShader/DX/' has no variable 'color2'")) << log.Text();
    shader.SetColor2(math::Point4(1.0f, 0.0f, 0.0f, 1.0f)); // nothing to set: no effect, no fault
}
