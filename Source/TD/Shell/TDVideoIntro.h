// The intro video between the splash logos and the main menu: the picture of
// "td/video/intro.ogv" filling the screen's height, its sound track played as music. A press
// ends it; at its end the main menu opens.
#pragma once

#include "Core/Media/Video/TheoraVideoListener.h"
#include "Source/TD/Shell/HUDWindow.h"

class HUD;
namespace video
{
class TheoraVideo;
}

class TDVideoIntro : public HUDWindow, public video::TheoraVideoListener
{
public:
    static constexpr const wchar_t* kVideo = L"td/video/intro.ogv";
    static constexpr const wchar_t* kSoundTrack = L"td/video/intro.ogg";

    // hud opens the main menu when the video ends.
    explicit TDVideoIntro(HUD* hud);
    ~TDVideoIntro() override;

    // The first draw opens the video (and draws nothing); later ones draw the current frame.
    void Draw(render::Graphics* graphics) override;
    void Update(float dt) override;
    void OnClosing() override;
    std::wstring ButtonNameAt(int, int) override { return L"done"; }

    QLResultEnum OnVideoEnded(video::TheoraVideo* video) override;

    bool mStarted = false;
    std::unique_ptr<video::TheoraVideo> mVideo;
    std::unique_ptr<render::Image> mFrame;

private:
    void start(render::Graphics* graphics);
    void fail();

    HUD* mHud;
};
