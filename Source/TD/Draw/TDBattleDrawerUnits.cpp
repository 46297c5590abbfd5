// Units and towers in the battle's draw lists, and their overlays: health bars, star badges and
// boost signs.
#include "Source/TD/Draw/TDBattleDrawer.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <algorithm>
#include <cmath>

namespace
{
// Frame floor(time x fps) of a list of n frames, or the last one beyond it.
size_t frameAt(float time, float fps, size_t n)
{
    float f = std::floor(time * fps);
    if (!(f > 0.0f))
        return 0;
    return f >= static_cast<float>(n) ? n - 1 : static_cast<size_t>(f);
}
} // namespace

void TDBattleDrawer::queueUnit(TDUnit& unit, TDDrawLists& lists)
{
    const TDPrototype* p = unit.proto();
    const TDGraphic* g = graphicOf(p);
    if (!unit.mEntry || !g)
        return;
    const TDGraphic& graphic = *g;
    const bool hardened = p->ice || p->stone;
    const char* list = nullptr;
    if (unit.mState == kUnitDying || (unit.mState == kUnitBeamed && !hardened))
        list = "death";
    else if (unit.mState == kUnitWalking || (unit.mState == kUnitBeamed && hardened))
        list = "walk";
    else if (unit.mState == kUnitSpecial)
        list = "special";
    if (!list)
        return;
    if (graphic.mImage)
    {
        // A kind drawn from one picture: at half size over its place, under the sorted lists.
        TDDrawItem single;
        single.image = graphic.mImage.get();
        single.width = static_cast<float>(graphic.mImage->width());
        single.height = static_cast<float>(graphic.mImage->height());
        single.transform.Scale(0.5f, 0.5f);
        single.transform.Translate(unit.mDrawPos[0], unit.mDrawPos[1]);
        single.color = {1.0f, 1.0f, 1.0f, unit.mAlpha * unit.mFade};
        single.flipH = unit.mFacingLeft;
        if (mTrace)
            single.tag = "picture:" + std::to_string(p->id);
        lists.add(std::move(single), lists.pictures);
    }
    const auto& frames = graphic.frames(list);
    if (frames.empty())
        return;

    size_t index;
    if (unit.mState == kUnitBeamed && !hardened)
    {
        // Being teleported: the second or third frame at random, each frame anew.
        const float r = static_cast<float>(mBeamFlicker() - std::minstd_rand::min()) /
                        static_cast<float>(std::minstd_rand::max() - std::minstd_rand::min() + 1u);
        index = std::min<size_t>(static_cast<size_t>(r + 0.5f) + 1, frames.size() - 1);
        unit.mAnimTime = 0.0f;
    }
    else
        index = frameAt(unit.mAnimTime, p->fps, frames.size());
    const TDFrameEntry& frame = *frames[index];

    const float f = unit.mFacingLeft ? 1.0f : -1.0f;
    float bx = 0.0f, by = 0.0f;
    const auto& base = graphic.frames("");
    if (!base.empty())
    {
        bx = base.front()->mX;
        by = base.front()->mY;
    }
    const float w = unit.mSize[0], h = unit.mSize[1];
    const float px = unit.mDrawPos[0], py = unit.mDrawPos[1];
    const float dx = unit.mDeathDrift[0], dy = unit.mDeathDrift[1];

    TDDrawItem item;
    item.transform.RotateDegrees(dx * f);
    item.transform.Translate(frame.mWidth * f * -0.5f, frame.mHeight * 0.5f);
    item.transform.Translate(-frame.mX * f, frame.mY);
    item.transform.Translate(w * 0.5f * f, -h * 0.5f);
    item.transform.Translate(px - (w / 2.0f - bx) * f, (h / 2.0f - by) + py + dy);
    item.image = frame.mImage;
    item.width = frame.mWidth;
    item.height = frame.mHeight;
    item.shaded = true;
    item.fill = p->fillColor;
    item.flipH = unit.mFacingLeft;
    item.color = {1.0f, 1.0f, 1.0f, unit.mAlpha * unit.mFade};
    item.depth = py;
    if (mTrace)
        item.tag = "unit:" + std::to_string(p->id);

    const bool air = p->air || unit.mUpper != 0.0f;
    if (!unit.mShadow.empty())
    {
        Picture shadow = pathPicture(unit.mShadow);
        if (shadow.width > 0.0f)
        {
            TDDrawItem s;
            s.image = shadow.image;
            s.width = shadow.width;
            s.height = shadow.height;
            const float k = frame.mWidth / shadow.width;
            s.transform.Scale(k, k);
            s.transform.Translate(px + 5.0f, py + (p->air ? 15.0f : 5.0f));
            s.color = item.color;
            s.flipH = item.flipH;
            s.depth = py;
            if (mTrace)
                s.tag = "shadow:" + std::to_string(p->id);
            lists.add(std::move(s), air ? lists.airShadows : lists.groundShadows);
        }
    }
    lists.add(std::move(item), air ? lists.airObjects : lists.groundObjects);
}

bool TDBattleDrawer::towerItem(TDTower& tower, TDDrawItem& item)
{
    const TDPrototype* p = tower.currentProto();
    const TDGraphic* graphic = graphicOf(p);
    if (!graphic)
        return false;
    const char* name = "";
    i32 index = -1;
    tower.currentFrame(name, index);
    const auto& frames = graphic->frames(name);
    if (index < 0 || static_cast<size_t>(index) >= frames.size())
        return false;
    const TDFrameEntry& frame = *frames[static_cast<size_t>(index)];

    float bx = 0.0f, by = 0.0f, ax, ay;
    if (graphic->point("base_point", 0, bx, by))
    {
        ax = tower.mBaseX + (tower.mWidth / 2.0f - bx);
        ay = tower.mBaseY + (tower.mHeight / 2.0f - by);
    }
    else
    {
        ax = tower.mBaseX;
        ay = tower.mBaseY - tower.mHeight / 2.0f;
    }
    item.transform.Translate(frame.mWidth / 2.0f, frame.mHeight / 2.0f);
    item.transform.Translate(frame.mX, frame.mY);
    item.transform.Translate(-tower.mWidth / 2.0f, -tower.mHeight / 2.0f);
    item.transform.Translate(ax, ay);
    item.image = frame.mImage;
    item.width = frame.mWidth;
    item.height = frame.mHeight;
    item.color = {1.0f, 1.0f, 1.0f, tower.mFade};
    item.depth = tower.mBaseY;
    if (mTrace)
        item.tag = "tower:" + std::to_string(p->id);
    return true;
}

void TDBattleDrawer::drawUnitOverlay(const TDUnit& unit, TDBattleCanvas& canvas)
{
    const float max = unit.maxHealth();
    if (!(unit.mHealthBarTime > 0.0f) || unit.mHealth == max || unit.mHealth == 0.0f || unit.isGone())
        return;
    const TDPrototype* p = unit.proto();
    const float gh = graphicHeight(graphicOf(p));
    const float alpha = unit.mHealthBarTime >= 0.5f ? 1.0f : unit.mHealthBarTime * 2.0f;
    const float x = unit.mDrawPos[0] * mMap.mScale + mMap.mOffsetX;
    const float y = (unit.mDrawPos[1] - 0.75f * gh - 20.0f) * mMap.mScale + mMap.mOffsetY;
    float share = max > 0.0f ? std::max(unit.mHealth, 0.0f) / max : 0.0f;
    share = std::isfinite(share) ? std::min(share, 1.0f) : 0.0f;

    math::Transform2D red;
    red.Translate(x, y);
    canvas.setColor({1.0f, 0.0f, 0.0f, alpha});
    canvas.drawImage(mBar.image, mBar.width, mBar.height, red, false);
    // The green part keeps the bar's left edge.
    math::Transform2D green;
    green.Scale(share, 1.0f);
    green.Translate(x - mBar.width * 0.5f * (1.0f - share), y);
    canvas.setColor({0.0f, 1.0f, 0.0f, alpha});
    canvas.drawImage(mBar.image, mBar.width, mBar.height, green, false);
    trace("bar");
}

void TDBattleDrawer::drawTowerOverlay(const TDTower& tower, TDBattleCanvas& canvas)
{
    const TDPrototype* p = tower.currentProto();
    if (p && p->stars > 0)
    {
        const Picture& star = mStar[std::min(p->stars, 3) - 1];
        math::Transform2D t;
        t.Translate((tower.mX + 15.0f) * mMap.mScale + mMap.mOffsetX, tower.mY * mMap.mScale + mMap.mOffsetY);
        for (i32 i = 0; i < std::min(p->stars, 12); ++i)
        {
            canvas.drawImage(star.image, star.width, star.height, t, false);
            trace("star");
        }
    }
    if (tower.mBoosted)
    {
        math::Transform2D t;
        t.Translate(tower.mX * mMap.mScale + mMap.mOffsetX, (tower.mY - 50.0f) * mMap.mScale + mMap.mOffsetY);
        canvas.drawImage(mBoost.image, mBoost.width, mBoost.height, t, false);
        trace("boost");
    }
}

void TDBattleDrawer::drawTowerNow(TDTower& tower, TDBattleCanvas& canvas)
{
    TDDrawItem item;
    if (!towerItem(tower, item))
        return;
    canvas.setColor(item.color);
    canvas.drawImage(item.image, item.width, item.height, item.transform, false);
    trace("menu tower");
}

float TDBattleDrawer::graphicHeight(const TDGraphic* graphic)
{
    if (!graphic)
        return 0.0f;
    auto it = mHeights.find(graphic);
    if (it != mHeights.end())
        return it->second;
    float w = 0.0f, h = 0.0f;
    graphic->size(w, h);
    mHeights.emplace(graphic, h);
    return h;
}
