// The episode selection ("td/episode_select"): one plate per episode in a row that the player
// drags or steps through with the arrows; "play", or a tap on the centred plate, opens the
// level selection of an open episode. Locked plates show the stars they need.
#pragma once

#include "Source/TD/Shell/EpisodeCarousel.h"
#include "Source/TD/Shell/HUDWindow.h"

#include <memory>

class TDMap;

class HUDEpisodeSelectIOS : public HUDWindow
{
public:
    explicit HUDEpisodeSelectIOS(TDMap& map, const std::wstring& layout = L"td/episode_select");
    ~HUDEpisodeSelectIOS() override;

    void Draw(render::Graphics* graphics) override;
    void Update(float dt) override;
    void MouseMove(int x, int y) override;
    void Press(int x, int y) override;
    void Release(int x, int y) override;
    // The episode to open ("play", or the centred plate while the row rests) when it is open;
    // the arrows turn the row and answer -1.
    int ButtonAt(int x, int y) override;

    void onPageChanged(i32 page);
    void onMoveStart();
    void onMoveEnd();

    std::unique_ptr<EpisodeCarousel> mCarousel;
    std::unique_ptr<TDFrameEntry> mLockFrame;
    std::unique_ptr<TDFrameEntry> mNewFrame;
    // The "play" button's fade while the pages move.
    enum class PlayState : i32
    {
        kPlayShown = 0,
        kPlayFadingOut = 1,
        kPlayHidden = 2,
        kPlayFadingIn = 3,
    };
    using enum PlayState;
    PlayState mPlayState = kPlayShown;
    float mPlayAlpha = 1.0f;
    bool mDragging = false;

private:
    std::unique_ptr<TDFrameEntry> makeFrame(const std::wstring& name);
    EpisodePlate makePlate(i32 episode);
    void drawPlates(render::Graphics* graphics);

    TDMap& mMap;
};
