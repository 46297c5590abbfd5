// The episode selection screen.
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Shell/TDScreenDraw.h"

#include <algorithm>
#include <cstdio>

namespace
{
std::wstring localised(const std::wstring& key) { return LocalStrings::Instance()->get(key); }
} // namespace

HUDEpisodeSelectIOS::HUDEpisodeSelectIOS(TDMap& map, const std::wstring& layout) : mMap(map)
{
    buildFromLayout(layout);
    mCarousel = std::make_unique<EpisodeCarousel>(map.mProgress->getLastEpisode());
    mLockFrame = makeFrame(L"plates/lock");
    mNewFrame = makeFrame(L"plates/new");
    const i32 episodes = map.getEpisodeCount();
    for (i32 i = 0; i < episodes; ++i)
        mCarousel->plates.push_back(makePlate(i));
    if (mCarousel->page >= episodes || mCarousel->page < 0)
        mCarousel->page = 0;
    mCarousel->onPageChanged = [this](i32 page) { onPageChanged(page); };
    mCarousel->onMoveStart = [this] { onMoveStart(); };
    mCarousel->onMoveEnd = [this] { onMoveEnd(); };
    onPageChanged(mCarousel->page);
    setText(L"caption", localised(L"episodes_caption"));
    setText(L"stars",
            std::to_wstring(map.mProgress->getStarTotal(-1)) + L"/" + std::to_wstring(9LL * map.getTotalLevelCount()));
    // The arrows show from the first frame on.
    Update(0.0f);
}

HUDEpisodeSelectIOS::~HUDEpisodeSelectIOS() { mCarousel.reset(); }

std::unique_ptr<TDFrameEntry> HUDEpisodeSelectIOS::makeFrame(const std::wstring& name)
{
    return tdscreen::makeFrame(mLayout.get(), name);
}

EpisodePlate HUDEpisodeSelectIOS::makePlate(i32 episode)
{
    EpisodePlate plate;
    const i32 stars = mMap.getStarsToUnlock(episode);
    const bool unlocked = mMap.isEpisodeUnlocked(episode);
    const i32 levels = mMap.getLevelCount(episode);
    plate.chapter = makeFrame(L"plates/chapter_" + std::to_wstring(episode + 1));
    if (!unlocked && levels >= 1)
        plate.text = tdtext::fillNumbers(localised(L"unlockEpisodeText"), {stars});
    else if (levels == -1)
        plate.text = localised(L"comingSoon");
    plate.lock = unlocked ? nullptr : mLockFrame.get();
    if (unlocked &&
        (mMap.mProgress->getEpisodeVisited(episode, kDifficultyNormal) < levels ||
         mMap.mProgress->getEpisodeVisited(episode, kDifficultyHardcore) < mMap.getHardcoreLevelCount(episode)))
        plate.newBadge = mNewFrame.get();
    return plate;
}

void HUDEpisodeSelectIOS::onPageChanged(i32 page)
{
    const wchar_t* episode = mMap.mMode == kDifficultyHardcore ? L"episodeHardcore" : L"episode";
    setText(L"levelName", localised(episode + std::to_wstring(page)));
}

void HUDEpisodeSelectIOS::onMoveStart()
{
    if (mPlayState != kPlayHidden)
        mPlayState = kPlayFadingOut;
}

void HUDEpisodeSelectIOS::onMoveEnd() { mPlayState = kPlayFadingIn; }

void HUDEpisodeSelectIOS::Update(float dt)
{
    HUDWindow::Update(dt);
    mCarousel->update(dt);
    const i32 n = mCarousel->count();
    if (TDButtonFrame* left = findButton(L"arrow_left"))
        left->mVisible = mCarousel->page > 0 ? 1 : 0;
    if (TDButtonFrame* right = findButton(L"arrow_right"))
        right->mVisible = mCarousel->page < n - 1 ? 1 : 0;
    switch (mPlayState)
    {
    case kPlayShown: mPlayAlpha = 1.0f; break;
    case kPlayFadingOut:
        mPlayAlpha -= 4.0f * dt;
        if (mPlayAlpha < 0.0f)
        {
            mPlayAlpha = 0.0f;
            mPlayState = kPlayHidden;
        }
        break;
    case kPlayFadingIn:
        mPlayAlpha += 4.0f * dt;
        if (mPlayAlpha > 1.0f)
        {
            mPlayAlpha = 1.0f;
            mPlayState = kPlayShown;
        }
        break;
    default: break;
    }
    if (TDButtonFrame* play = findButton(L"play"))
    {
        if (mPlayState != kPlayHidden)
            play->mColor = TDColor{1.0f, 1.0f, 1.0f, mPlayAlpha};
        play->mVisible = mPlayAlpha != 0.0f ? 1 : 0;
    }
}

void HUDEpisodeSelectIOS::MouseMove(int x, int y)
{
    HUDWindow::MouseMove(x, y);
    if (!mDragging)
        return;
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (mCarousel->motion == EpisodeCarousel::kIdle && fy >= 176.0f && fy <= 574.0f)
        mCarousel->startDrag(fx, fy);
    else if (mCarousel->motion == EpisodeCarousel::kDragging)
        mCarousel->dragStep(fx, fy);
}

void HUDEpisodeSelectIOS::Press(int x, int y) { mDragging = ButtonNameAt(x, y).empty(); }

void HUDEpisodeSelectIOS::Release(int, int)
{
    if (mDragging && mCarousel->motion == EpisodeCarousel::kDragging)
        mCarousel->swipeEnd();
    mDragging = false;
}

int HUDEpisodeSelectIOS::ButtonAt(int x, int y)
{
    const i32 p = mCarousel->page;
    // The battle asked for the name (and played its sound) already: look it up silently.
    std::wstring name;
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    for (const TDButtonFrame* b : mButtons)
        if (b->mVisible && fx >= b->mX && fx <= b->mX + b->mWidth && fy >= b->mY && fy <= b->mY + b->mHeight)
        {
            name = b->mName;
            break;
        }
    const bool idle = mCarousel->motion == EpisodeCarousel::kIdle;
    const bool onPlate = x >= 323 && x <= 701 && y >= 201 && y <= 569;
    if (name == L"play" || (name.empty() && onPlate && idle))
        return mMap.isEpisodeUnlocked(p) ? p : -1;
    if (name == L"arrow_left" && idle)
        mCarousel->step(-1);
    else if (name == L"arrow_right" && idle)
        mCarousel->step(1);
    return -1;
}

void HUDEpisodeSelectIOS::drawPlates(render::Graphics* graphics)
{
    const HUDWindowContext& c = HUDWindowContext::Get();
    const float s = mCarousel->spacing;
    for (i32 k = 0; k < mCarousel->count(); ++k)
    {
        const EpisodePlate& plate = mCarousel->plates[k];
        const float x = mCarousel->plateX(k);
        if (x < -s || x > 1024.0f + s)
            continue; // outside the clip
        const float scale = mCarousel->plateScale(x);
        graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
        tdscreen::drawImageCentred(graphics, imageOf(*plate.chapter), x, 384.0f, scale);
        if (plate.lock)
            tdscreen::drawImageCentred(graphics, imageOf(*plate.lock), x + 150.0f * scale, 384.0f - 125.0f * scale,
                                       scale);
        if (!plate.text.empty())
        {
            graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
            tdscreen::drawTextCentred(graphics, c.captionFont.Get(), plate.text, x, 384.0f, 0.8f * scale, 320.0f);
        }
        if (plate.newBadge)
        {
            const float nx = x + s * 0.4f * scale, ny = 384.0f - 180.0f * scale;
            graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
            tdscreen::drawImageCentred(graphics, imageOf(*plate.newBadge), nx, ny, scale);
            tdscreen::drawTextCentred(graphics, c.captionFont.Get(), localised(L"episodeSelectNew"), nx, ny, scale,
                                      270.0f);
        }
    }
}

void HUDEpisodeSelectIOS::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    for (const TDFrameEntry* image : mImages)
        if (image->mVisible)
            drawEntryImage(graphics, *image);
    render::Font* previous = graphics->mFont;
    // The plates' strip, inside whatever clip the board set; that clip comes back afterwards.
    const render::RenderState outer = graphics->GetState();
    float clip[4] = {40.0f, 0.0f, 940.0f, 768.0f};
    if (outer.mScissorEnabled)
    {
        const float left = std::max(clip[0], outer.mScissorX);
        const float right = std::min(clip[0] + clip[2], outer.mScissorX + outer.mScissorWidth);
        clip[0] = left;
        clip[2] = std::max(0.0f, right - left);
    }
    graphics->SetClipRect(clip);
    drawPlates(graphics);
    if (outer.mScissorEnabled)
    {
        const float back[4] = {outer.mScissorX, outer.mScissorY, outer.mScissorWidth, outer.mScissorHeight};
        graphics->SetClipRect(back);
    }
    else
        graphics->DisableClipRect();
    graphics->mFont = previous;
    for (const TDButtonFrame* button : mButtons)
    {
        graphics->SetColorRGBA(button->mColor.r, button->mColor.g, button->mColor.b, button->mColor.a);
        drawButton(graphics, *button);
    }
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    drawTexts(graphics);
}
