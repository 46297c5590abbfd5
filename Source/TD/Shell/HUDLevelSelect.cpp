// The level selection screen.
#include "Source/TD/Shell/HUDLevelSelect.h"

#include "Core/Base/Transform2D.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/LocalStrings.h"
#include "Source/TD/Shell/TDScreenDraw.h"
#include "Source/TD/TDMap.h"

#include <cmath>

namespace
{
std::wstring localised(const std::wstring& key) { return LocalStrings::Instance()->get(key); }

// A point of a plate's picture (relative to its top-left corner) under the plate's zoom about
// its centre.
void zoomed(const LevelPlate& p, float rx, float ry, float& x, float& y)
{
    const float hw = static_cast<float>(p.width) * 0.5f, hh = static_cast<float>(p.height) * 0.5f;
    x = static_cast<float>(p.x) + hw + (rx - hw) * p.scale;
    y = static_cast<float>(p.y) + hh + (ry - hh) * p.scale;
}
} // namespace

HUDLevelSelect::HUDLevelSelect(TDMap& map, const std::wstring& layout) : mMap(map)
{
    buildFromLayout(layout);
    map.mSounds->playMusic(L"td/data/music/main_menu.ogg");
    const i32 e = map.mEpisode;
    const bool hardcore = map.mMode == 3;
    mEpisodeText = localised((hardcore ? L"episodeHardcore" : L"episode") + std::to_wstring(e));
    TDButtonFrame* locked = findButton(L"locked_d");
    TDButtonFrame* unlocked = findButton(L"unlocked_d");
    if (!hardcore)
    {
        const i32 hardLevels = map.getHardcoreLevelCount(e);
        const bool open = map.isHardcoreUnlocked(e);
        for (TDButtonFrame* button : {locked, unlocked})
        {
            if (!button)
                continue;
            button->mVisible = hardLevels > 0 && (button == unlocked) == open ? 1 : 0;
            button->mX = 857.0f;
            button->mY = 448.0f;
        }
        mHardcoreNew = hardLevels > 0 && map.mProgress->getEpisodeVisited(e, 3) < hardLevels;
        setFrameVisible(L"skulls", false);
        mSelectedTab = map.mMode;
        for (int i = 0; i < 3; ++i)
            frame(L"tabs/level_tab_" + std::to_wstring(i));
    }
    else
    {
        for (const wchar_t* name : {L"locked_d", L"unlocked_d", L"upgrade"})
            if (TDButtonFrame* button = findButton(name))
                button->mVisible = 0;
    }
    setText(L"gems", std::to_wstring(map.mProgress->getGems()));
    buildPlates();
    map.mProgress->setEpisodeVisited(e, map.mMode, hardcore ? map.getHardcoreLevelCount(e) : map.getLevelCount(e));
}

HUDLevelSelect::~HUDLevelSelect()
{
    for (auto& [name, entry] : mFrames)
        delete entry;
    delete mLayout;
    mLayout = nullptr;
}

const TDFrameEntry* HUDLevelSelect::frame(const std::wstring& name)
{
    auto found = mFrames.find(name);
    if (found != mFrames.end())
        return found->second;
    TDFrameEntry* entry = tdscreen::makeFrame(mLayout, name);
    mFrames.emplace(name, entry);
    return entry;
}

void HUDLevelSelect::buildPlates()
{
    mPlates.clear();
    const i32 e = mMap.mEpisode, mode = mMap.mMode;
    const i32 count = mode == 3 ? mMap.getHardcoreLevelCount(e) : mMap.getLevelCount(e);
    const i32 next = count > 0 ? mMap.mProgress->getNextLevel(e, mode) : -1;
    const i32 seen = mMap.mProgress->getEpisodeVisited(e, mode);
    for (i32 level = 0; level < count; ++level)
    {
        LevelPlate p;
        p.episode = e;
        p.level = level;
        p.open = mMap.mProgress->isLevelOpen(e, level, mode);
        p.stars = mMap.mProgress->getLevelResult(e, level, mode).stars;
        p.played = p.stars > 0;
        const wchar_t* picture = p.played ? (p.stars == 3 ? L"plate/super" : L"plate/complete")
                                          : (p.open ? L"plate/incomplete" : L"plate/locked");
        const TDFrameEntry* plateFrame = frame(picture);
        p.plateImage = imageOf(*plateFrame);
        p.showStars = p.played;
        p.width = static_cast<i32>(plateFrame->mWidth);
        p.height = static_cast<i32>(plateFrame->mHeight);
        p.x = 80 + 125 * (level % 7);
        p.y = 220 + 125 * (level / 7);
        p.next = level == next && !p.played;
        p.showNew = seen < level + 1 && p.open;
        p.showNumber = p.open && p.stars != 3;
        mPlates.push_back(p);
    }
}

int HUDLevelSelect::tabAt(int x, int y) const
{
    if (mMap.mMode == 3)
        return -1;
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    for (int i = 0; i < 3; ++i)
    {
        auto found = mFrames.find(L"tabs/level_tab_" + std::to_wstring(i));
        if (found == mFrames.end())
            continue;
        const TDFrameEntry& tab = *found->second;
        if (fx > tab.mX && fx < tab.mX + tab.mWidth && fy > tab.mY && fy < tab.mY + tab.mHeight)
            return i;
    }
    return -1;
}

void HUDLevelSelect::Update(float dt)
{
    HUDWindow::Update(dt);
    for (LevelPlate& plate : mPlates)
        plate.update(dt);
    if (mMap.mMode == 3 && !mMap.mProgress->isEventSeen(0))
    {
        mMap.mProgress->setEventSeen(0);
        mMap.mHud->showMessage(localised(L"HardcoreTitle"), localised(L"HardcoreDescMessage"), 6);
    }
}

void HUDLevelSelect::MouseMove(int x, int y)
{
    HUDWindow::MouseMove(x, y);
    for (LevelPlate& plate : mPlates)
        plate.hover = plate.open && plate.contains(x, y) ? 1 : 0;
}

void HUDLevelSelect::Press(int x, int y)
{
    const int tab = tabAt(x, y);
    if (tab < 0)
        return;
    mMap.mMode = tab;
    mMap.mProgress->setMode(tab);
    mSelectedTab = tab;
    if (auto play = HUDWindowContext::Get().playSound)
        play(L"simple");
    buildPlates();
}

int HUDLevelSelect::ButtonAt(int x, int y)
{
    for (const LevelPlate& plate : mPlates)
        if (plate.contains(x, y))
            return plate.level;
    return -1;
}

void HUDLevelSelect::drawPlate(render::Graphics* graphics, const LevelPlate& p)
{
    const HUDWindowContext& c = HUDWindowContext::Get();
    const float w = static_cast<float>(p.width), h = static_cast<float>(p.height);
    float x = 0.0f, y = 0.0f;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    zoomed(p, w * 0.5f, h * 0.5f, x, y);
    if (p.next)
    {
        // The next level to play breathes.
        const float glow = 1.0f + 0.06f * (0.5f + 0.5f * std::sin(p.pulse * 4.0f));
        tdscreen::drawImageCentred(graphics, p.plateImage, x, y, p.scale * glow);
    }
    else
        tdscreen::drawImageCentred(graphics, p.plateImage, x, y, p.scale);
    if (p.showStars)
    {
        const TDFrameEntry* plate = frame(L"stars_plate/plate");
        const TDFrameEntry* star = frame(L"stars_plate/star");
        const float px = (w - plate->mWidth) * 0.5f, py = h - plate->mHeight + 16.0f;
        zoomed(p, px + plate->mWidth * 0.5f, py + plate->mHeight * 0.5f, x, y);
        tdscreen::drawImageCentred(graphics, imageOf(*plate), x, y, p.scale);
        // The stars sit 32 apart, centred on the stars plate.
        const float first = px + (plate->mWidth - 32.0f * static_cast<float>(p.stars - 1) - star->mWidth) * 0.5f;
        for (i32 s = 0; s < p.stars; ++s)
        {
            zoomed(p, first + 32.0f * static_cast<float>(s) + star->mWidth * 0.5f, py + plate->mHeight * 0.5f, x, y);
            tdscreen::drawImageCentred(graphics, imageOf(*star), x, y, p.scale);
        }
    }
    if (p.showNumber)
    {
        if (p.next)
            graphics->SetColorRGBA(0.0f, 1.0f, 0.0f, 1.0f);
        zoomed(p, w * 0.5f - 3.0f, h * 0.5f - 3.0f, x, y);
        tdscreen::drawTextCentred(graphics, c.captionFont.Get(), std::to_wstring(p.level + 1), x, y, p.scale, 170.0f);
        graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (p.showNew)
    {
        const TDFrameEntry* badge = frame(L"plate/new");
        zoomed(p, 50.0f + badge->mWidth * 0.5f, -20.0f + badge->mHeight * 0.5f, x, y);
        tdscreen::drawImageCentred(graphics, imageOf(*badge), x, y, p.scale);
        tdscreen::drawTextCentred(graphics, c.windowFont.Get(), localised(L"episodeSelectNew"), x, y, p.scale * 0.6f,
                                  80.0f / 0.6f);
    }
}

void HUDLevelSelect::drawTabs(render::Graphics* graphics)
{
    if (mMap.mMode == 3)
        return;
    const HUDWindowContext& c = HUDWindowContext::Get();
    for (int i = 0; i < 3; ++i)
    {
        const std::wstring name = L"tabs/level_tab_" + std::to_wstring(i);
        const TDFrameEntry* tab = frame(i == mSelectedTab ? name + L"_on" : name);
        const TDFrameEntry* place = frame(name);
        const float x = place->mX + place->mWidth * 0.5f, y = place->mY + place->mHeight * 0.5f;
        graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
        tdscreen::drawImageCentred(graphics, imageOf(*tab), x, y, 1.0f);
        tdscreen::drawTextCentred(graphics, c.windowFont.Get(), localised(L"level_tab_" + std::to_wstring(i)), x, y,
                                  0.8f, place->mWidth / 0.8f);
    }
}

void HUDLevelSelect::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    HUDWindow::Draw(graphics);
    const HUDWindowContext& c = HUDWindowContext::Get();
    render::Font* previous = graphics->mFont;
    for (const LevelPlate& plate : mPlates)
        drawPlate(graphics, plate);
    drawTabs(graphics);
    auto area = mTextAreas.find(L"episode");
    if (area != mTextAreas.end())
    {
        const TDFrameEntry& a = *area->second;
        graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
        tdscreen::drawTextCentred(graphics, mMap.mMode == 3 ? c.windowFont.Get() : c.captionFont.Get(), mEpisodeText,
                                  a.mX + a.mWidth * 0.5f, a.mY + a.mHeight * 0.5f, 1.0f, 1024.0f);
    }
    if (mHardcoreNew)
        if (const TDButtonFrame* locked = findButton(L"locked_d"))
        {
            const TDFrameEntry* badge = frame(L"plate/new");
            const float x = locked->mX + 50.0f + badge->mWidth * 0.5f, y = locked->mY - 20.0f + badge->mHeight * 0.5f;
            graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
            tdscreen::drawImageCentred(graphics, imageOf(*badge), x, y, 1.0f);
            tdscreen::drawTextCentred(graphics, c.windowFont.Get(), localised(L"episodeSelectNew"), x, y, 0.6f,
                                      80.0f / 0.6f);
        }
    graphics->mFont = previous;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
}
