// The intro video: opened on the first draw, decoded by the updates, closed at its end.
#include "Source/TD/Shell/TDVideoIntro.h"

#include "Core/Base/Log.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Sound/SoundTags.h"
#include "Core/Media/Video/TheoraVideo.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/TDScreenView.h"

TDVideoIntro::TDVideoIntro(HUD* hud) : mHud(hud) {}

TDVideoIntro::~TDVideoIntro() = default;

void TDVideoIntro::fail()
{
    mVideo.reset();
    mOpen = false;
}

void TDVideoIntro::start(render::Graphics* graphics)
{
    mVideo = std::make_unique<video::TheoraVideo>(this);
    if (mVideo->Open(kVideo) != QL_OK)
        return fail(); // logged by the player
    render::Render* render = graphics ? graphics->GetRender() : nullptr;
    render::Image* frame = nullptr;
    const bool made = render && mVideo->GetWidth() > 0 && mVideo->GetHeight() > 0 &&
                      render::CreateImage(render, static_cast<u32>(mVideo->GetWidth()),
                                          static_cast<u32>(mVideo->GetHeight()), &frame) == QL_OK;
    mFrame.reset(frame); // a failed creation may still have handed one out
    if (!made)
    {
        QL_LOG(L"No picture for the intro video (%d x %d)\n")
            << base::LogStyle::Error << mVideo->GetWidth() << mVideo->GetHeight();
        mFrame.reset();
        return fail();
    }
    k2::SoundTags::Instance()->PlayMusic(kSoundTrack);
    mStarted = true;
}

void TDVideoIntro::Draw(render::Graphics* graphics)
{
    if (!mOpen)
        return;
    if (!mStarted)
        return start(graphics);
    if (!graphics || !mFrame || mFrame->GetHeight() <= 0)
        return;
    const TDScreenView view = TDScreenView::current();
    const float scale = view.height / static_cast<float>(mFrame->GetHeight());
    auto command = graphics->DrawImage(mFrame.get()).ScaleUniform(scale);
    command.mTransform.Translate(view.centreX(), view.centreY());
    command->mAlignH = 2;
    command->mAlignV = 2;
}

void TDVideoIntro::Update(float dt)
{
    if (mOpen && mStarted && mVideo)
        (void)mVideo->Update(dt, mFrame.get());
}

QLResultEnum TDVideoIntro::OnVideoEnded(video::TheoraVideo*)
{
    // The player returns at once after telling us, so it may go now.
    mVideo.reset();
    mOpen = false;
    return QL_OK;
}

void TDVideoIntro::OnClosing()
{
    if (mHud)
        mHud->showMainMenu();
}
