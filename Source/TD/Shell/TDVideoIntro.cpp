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

TDVideoIntro::~TDVideoIntro()
{
    delete mVideo;
    delete mFrame;
}

void TDVideoIntro::fail()
{
    delete mVideo;
    mVideo = nullptr;
    mOpen = false;
}

void TDVideoIntro::start(render::Graphics* graphics)
{
    mVideo = new video::TheoraVideo(this);
    if (mVideo->Open(kVideo) != QL_OK)
        return fail(); // logged by the player
    render::Render* render = graphics ? graphics->GetRender() : nullptr;
    if (!render || mVideo->GetWidth() <= 0 || mVideo->GetHeight() <= 0 ||
        render::CreateImage(render, static_cast<u32>(mVideo->GetWidth()), static_cast<u32>(mVideo->GetHeight()),
                            &mFrame) != QL_OK)
    {
        QL_LOG(L"No picture for the intro video (%d x %d)\n")
            << base::LogStyle::Error << mVideo->GetWidth() << mVideo->GetHeight();
        delete mFrame;
        mFrame = nullptr;
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
    auto command = graphics->DrawImage(mFrame).ScaleUniform(scale);
    command.mTransform.Translate(view.centreX(), view.centreY());
    command->mAlignH = 2;
    command->mAlignV = 2;
}

void TDVideoIntro::Update(float dt)
{
    if (mOpen && mStarted && mVideo)
        (void)mVideo->Update(dt, mFrame);
}

QLResultEnum TDVideoIntro::OnVideoEnded(video::TheoraVideo*)
{
    // The player returns at once after telling us, so it may go now.
    delete mVideo;
    mVideo = nullptr;
    mOpen = false;
    return QL_OK;
}

void TDVideoIntro::OnClosing()
{
    if (mHud)
        mHud->showMainMenu();
}
