// Shader variables: recorded only when changed, re-sent after unbinding and after a device reset,
// replayed into the device; shader loading from files.
#include "RecordingFixture.h"

#include "Core/Render/Shader.h"
#include "Core/Render/Texture.h"
#include "Core/Resource/ResourceManager.h"

#include "Audio/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace rendertest;

namespace
{
class ShaderVariables : public RecordingFixture
{
protected:
    void SetUp() override
    {
        RecordingFixture::SetUp();
        EXPECT_EQ(QL_OK, mRender->GetShaderTexturedMult(&mMult));
        ASSERT_TRUE(mRender->IsReady());
        ASSERT_EQ(QL_OK, mRender->BeginScene());
    }

    // Draws with the state and returns the variable-set commands it recorded.
    std::vector<Command> DrawAndCollect(u32 start)
    {
        const size_t before = Decode(mRender->GetCommandBuffer()).size();
        EXPECT_EQ(QL_OK, mRender->ApplyState(&mState, true));
        EXPECT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, start, 1));
        return Only(Since(before), render::CMD_SET_VARIABLES);
    }

    render::ShaderTextured* mMult = nullptr;
};

TEST_F(ShaderVariables, TheSamePointerTwiceChangesNothingANewOneIsRecordedOnceAndAllAgainAfterAReset)
{
    math::Matrix4 first, second;
    EXPECT_EQ(QL_OK, mGeom->SetProjection(&first));
    auto sent = DrawAndCollect(0);
    ASSERT_EQ(1u, sent.size());
    EXPECT_FALSE(mGeom->GetImpl()->AreVariablesChanged());

    EXPECT_EQ(QL_OK, mGeom->SetProjection(&first));
    EXPECT_FALSE(mGeom->GetImpl()->AreVariablesChanged());
    EXPECT_TRUE(DrawAndCollect(3).empty());

    EXPECT_EQ(QL_OK, mGeom->SetProjection(&second));
    EXPECT_TRUE(mGeom->GetProjectionVariable()->IsChanged());
    EXPECT_TRUE(mGeom->GetImpl()->AreVariablesChanged());
    sent = DrawAndCollect(6);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(1u, sent[0].args[1]); // one variable
    EXPECT_EQ(reinterpret_cast<uintptr_t>(&second), sent[0].args[2]);

    // The matrix is read when the stream is played, not when it is recorded.
    second.SetDiagonal(7.0f, 8.0f, 1.0f);
    ASSERT_EQ(QL_OK, mRender->EndScene());
    mDevice->ClearCalls();
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    auto matrices = mDevice->CallsStartingWith("SetConstantMatrix");
    ASSERT_EQ(2u, matrices.size()); // the first pointer's, then the second's
    EXPECT_NE(std::string::npos, matrices[1].find(" 7 8 0 0"));

    // After a device reset every variable is recorded again.
    mDevice->ForceStatus(gpu::DeviceStatus::Lost);
    EXPECT_FALSE(mRender->IsReady());
    mDevice->ForceStatus(gpu::DeviceStatus::NotReset);
    EXPECT_FALSE(mRender->IsReady()); // reset here; this frame is still skipped
    ASSERT_TRUE(mRender->IsReady());
    for (render::ShaderImpl* shader : mRender->GetShaderImpls())
    {
        EXPECT_TRUE(shader->AreVariablesChanged());
        for (render::ShaderVariable* variable : shader->GetVariables())
            EXPECT_TRUE(variable->IsChanged());
    }
    ASSERT_EQ(QL_OK, mRender->BeginScene());
    sent = DrawAndCollect(0);
    ASSERT_EQ(1u, sent.size());
    // The state records were reset with the device: the shader is bound again as well.
    EXPECT_EQ(1u, Only(Since(0), render::CMD_SET_SHADER).size());

    // Textured shaders record the sampler by pointer and unbinding flags every variable of the old shader.
    render::Buffer* textured = nullptr;
    ASSERT_EQ(QL_OK, mRender->CreateVertexBuffer(render::GetVertexFormat<render::SVertex2D>(), 8, true, &textured));
    render::Texture* texture = nullptr;
    ASSERT_EQ(QL_OK, mRender->CreateTexture(&texture));
    PixelImage image(2, 2, {0xFFFFFFFF, 0, 0, 0xFFFFFFFF});
    ASSERT_EQ(QL_OK, texture->CreateFromImage(image));
    math::Matrix4 projection;
    EXPECT_EQ(QL_OK, mGeom->SetProjection(&projection));
    EXPECT_EQ(QL_OK, mMult->SetProjection(&projection));
    EXPECT_EQ(QL_OK, mMult->SetTexture(texture));
    DrawAndCollect(0);
    mState.mShader = mMult->GetImpl();
    mState.mVertexBuffer = textured;
    auto sentTextured = DrawAndCollect(0);
    ASSERT_EQ(1u, sentTextured.size());
    EXPECT_EQ((std::vector<u32>{0, 1}), sentTextured[0].variables);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(texture), sentTextured[0].args[3]);
    for (render::ShaderVariable* variable : mGeom->GetImpl()->GetVariables())
        EXPECT_TRUE(variable->IsChanged());
    // Back to the geometry shader: its projection goes again.
    mState.mShader = mGeom->GetImpl();
    mState.mVertexBuffer = mBuffer;
    sentTextured = DrawAndCollect(3);
    ASSERT_EQ(1u, sentTextured.size());
    EXPECT_EQ(std::vector<u32>{0}, sentTextured[0].variables);
    ASSERT_EQ(QL_OK, mRender->EndScene());
    mDevice->ClearCalls();
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    EXPECT_EQ(1u, mDevice->CallsStartingWith("SetTexture 0 ").size());
    delete texture;
    delete textured;
    // Binding a textured shader needs the sampler, while an unknown constant sets nothing.
    render::ShaderImpl* impl = nullptr;
    ASSERT_EQ(QL_OK,
              mRender->CreateShader("uniform mat4 Proj; void vertex_shader() {}", "void pixel_shader() {}", &impl));
    render::ShaderTextured samplerless;
    EXPECT_EQ(QL_OK, samplerless.SetRender(mRender));
    samplerless.SetImpl(impl);
    EXPECT_EQ(QL_FAIL, samplerless.BindVariables());
    ASSERT_EQ(QL_OK, mRender->CreateShader("void vertex_shader() {}", "void pixel_shader() {}", &impl));
    render::Shader plain;
    EXPECT_EQ(QL_OK, plain.SetRender(mRender));
    plain.SetImpl(impl);
    EXPECT_EQ(QL_OK, plain.BindVariables());

    // Shaders load from their two files are shared by name and failures are logged.
    testsupport::TempDir folder;
    folder.Write("MobVS.hlsl",
                 "uniform mat4 Proj;\nin vec4 aPos;\nvoid vertex_shader() { gl_Position = Proj * aPos; }\n");
    folder.Write("MobPS.hlsl", "uniform sampler2D TextureSampler;\nuniform vec4 color2;\nout vec4 o;\n"
                               "void pixel_shader() { o = color2 * texture(TextureSampler, vec2(0)); }\n");
    const std::wstring name = folder.WPath("Mob");
    mDevice->ClearCalls();
    base::CountedPtr<render::ShaderTextured> firstLoaded, secondLoaded;
    ASSERT_EQ(QL_OK, mRender->LoadShader(name, &firstLoaded));
    ASSERT_TRUE(firstLoaded);
    EXPECT_TRUE(firstLoaded->IsLoaded());
    EXPECT_NE(nullptr, firstLoaded->GetSamplerVariable());
    ASSERT_EQ(QL_OK, mRender->LoadShader(name, &secondLoaded));
    EXPECT_EQ(firstLoaded.Get(), secondLoaded.Get());
    EXPECT_EQ(1u, mDevice->CallsStartingWith("CreateProgram").size()); // compiled once
    // The last reference hands it back to its own table, which forgets the name.
    auto& table = resource::ResourceManager::Instance()->GetMap<render::ShaderTextured>();
    ASSERT_EQ(1u, table.count(name));
    firstLoaded = nullptr;
    EXPECT_EQ(1u, table.count(name)) << "still referenced";
    secondLoaded = nullptr;
    EXPECT_EQ(0u, table.count(name));

    base::CountedPtr<render::ShaderTextured> missing;
    EXPECT_NE(QL_OK, mRender->LoadShader(folder.WPath("Nothing"), &missing));
    EXPECT_FALSE(missing);
    auto unloaded = resource::ResourceManager::Instance()->Get<render::Shader>(L"no/such/Shader");
    ASSERT_TRUE(unloaded);
    EXPECT_EQ(QL_OK, unloaded->SetRender(mRender));
    EXPECT_NE(QL_OK, unloaded->Load());
    EXPECT_FALSE(unloaded->IsLoaded());
    EXPECT_EQ(nullptr, unloaded->GetImpl());

    // A failed compilation logs the compiler's messages.
    folder.Write("BadVS.hlsl",
                 "uniform mat4 Proj;\nin vec4 aPos;\nvoid vertex_shader() { gl_Position = Proj * aPos; }\n");
    folder.Write("BadPS.hlsl", "out vec4 o;\nvoid main_without_entry() { o = vec4(1.0); }\n");
    audiotest::LogCapture log;
    base::CountedPtr<render::Shader> bad;
    EXPECT_NE(QL_OK, mRender->LoadShader(folder.WPath("Bad"), &bad));
    EXPECT_EQ(1, log.Count("entry point not found")) << log.Text();
}
TEST_F(ShaderVariables, AProgramHoldsAtMost255VariablesSoTheirCountFitsItsByte)
{
    render::ShaderImpl* impl = mGeom->GetImpl();
    while (impl->GetVariables().size() < 255)
        ASSERT_EQ(QL_OK, impl->AddVariable(new render::ShaderScalarVariable<math::Point4, 1>(impl, nullptr)));
    EXPECT_EQ(QL_FAIL, impl->AddVariable(new render::ShaderScalarVariable<math::Point4, 1>(impl, nullptr)));
    // All of them changed: the count byte says 255 and the stream reads back whole.
    auto sent = DrawAndCollect(0);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(255u, sent[0].variables.size());
}
} // namespace
