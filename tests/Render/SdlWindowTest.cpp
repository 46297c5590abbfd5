// The GL device in an SDL window's own context (SDL's offscreen driver): the window path draws into
// the default framebuffer with the same conventions as the headless back buffer.
#include "RenderTestSupport.h"
#include "support/CiSkip.h"

#include "Platform/Gpu/Device.h"
#include "Platform/Gpu/SdlGlContext.h"

#include <SDL.h>
#include <gtest/gtest.h>

using namespace rendertest;

namespace
{
class SdlWindow : public render::RenderWindow
{
public:
    explicit SdlWindow(SDL_Window* window) : mContext(window) {}
    bool IsWindowed() const override { return true; }
    bool IsMinimized() const override { return false; }
    bool IsActive() const override { return true; }
    std::unique_ptr<gpu::Device> CreateDevice() override { return gpu::CreateGlDevice(&mContext); }

private:
    gpu::SdlGlContext mContext;
};

class SdlWindowRender : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SDL_setenv("SDL_VIDEODRIVER", "offscreen", 0);
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
            QL_SKIP_OR_FAIL_IN_CI(std::string("no SDL video: ") + SDL_GetError());
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        mWindow = SDL_CreateWindow("test", 0, 0, kSize, kSize, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!mWindow)
            QL_SKIP_OR_FAIL_IN_CI(std::string("no SDL GL window: ") + SDL_GetError());
        mContext = SDL_GL_CreateContext(mWindow);
        if (!mContext)
            QL_SKIP_OR_FAIL_IN_CI(std::string("no SDL GL 3.3 core context: ") + SDL_GetError());
    }
    void TearDown() override
    {
        mRender.reset();
        if (mContext)
            SDL_GL_DeleteContext(mContext);
        if (mWindow)
            SDL_DestroyWindow(mWindow);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    static constexpr i32 kSize = 48;
    SDL_Window* mWindow = nullptr;
    SDL_GLContext mContext = nullptr;
    std::unique_ptr<render::RenderDX9> mRender;
};

TEST_F(SdlWindowRender, AFilledRectangleLandsOnItsPixelsInTheWindow)
{
    SdlWindow window(mWindow);
    mRender = std::make_unique<render::RenderDX9>();
    render::RenderInitParam param;
    param.mWidth = kSize;
    param.mHeight = kSize;
    ASSERT_EQ(QL_OK, mRender->InitRender(&window, param));
    QuadDrawer draw(*mRender);
    const float black[4] = {0, 0, 0, 1};
    ASSERT_TRUE(mRender->IsReady());
    ASSERT_EQ(QL_OK, mRender->BeginScene());
    ASSERT_EQ(QL_OK, mRender->Clear(1, black, 1.0f, 0));
    ASSERT_EQ(QL_OK, draw.Fill(5, 7, 10, 3, 0xFFFF0000));
    ASSERT_EQ(QL_OK, mRender->EndScene());
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands()); // no present: the back buffer is read as drawn
    std::vector<u32> pixels;
    ASSERT_EQ(QL_OK, mRender->GetDevice()->ReadPixels(0, 0, 0, kSize, kSize, &pixels));
    EXPECT_EQ(0, WrongPixels(pixels, kSize, 5, 7, 10, 3, 0xFFFF0000u, 0xFF000000u));
    mRender.reset();
}
} // namespace
