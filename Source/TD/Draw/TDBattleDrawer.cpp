// The battle frame: draw lists by layer, depth sort, and the fixed order of what follows.
#include "Source/TD/Draw/TDBattleDrawer.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDLink.h"
#include "Source/TD/Seams/TDScreen.h"
#include "Source/TD/Seams/TDUiPainter.h"
#include "Source/TD/Sprites/TDAnimation.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Sprites/TDSpriteTable.h"
#include "Source/TD/Units/TDBullet.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDSpriteEffect.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace
{
const TDColor kWhite{1.0f, 1.0f, 1.0f, 1.0f};
// A dropped gem's spin, in frames a second.
constexpr float kGemFramesPerSecond = 8.0f;
// The picked unit's marker plays at the animations' usual rate.
constexpr float kMarkerFramesPerSecond = 30.0f;

// The canvas's interface painter, with the menu's tower drawn by the battle drawing itself.
class MenuPainter : public TDUiPainter
{
public:
    MenuPainter(TDUiPainter& inner, TDBattleDrawer& drawer, TDBattleCanvas& canvas)
        : mInner(inner), mDrawer(drawer), mCanvas(canvas)
    {
    }
    void drawUiImage(const std::wstring& name, float x, float y, float scale, const TDColor& color) override
    {
        mInner.drawUiImage(name, x, y, scale, color);
    }
    void drawImage(const TDImage* image, float x, float y, float scale) override
    {
        mInner.drawImage(image, x, y, scale);
    }
    void drawImageToRect(const TDImage* image, float w, float h, float x, float y, float scale) override
    {
        mInner.drawImageToRect(image, w, h, x, y, scale);
    }
    void drawLine(float x1, float y1, float x2, float y2, const TDColor& color) override
    {
        mInner.drawLine(x1, y1, x2, y2, color);
    }
    void drawText(const std::wstring& text, float x, float y, const TDColor& color) override
    {
        mInner.drawText(text, x, y, color);
    }
    bool setFont(const std::wstring& name) override { return mInner.setFont(name); }
    void drawEmitter(const TDEmitter& emitter) override { mInner.drawEmitter(emitter); }
    void drawTower(const TDTower& tower) override { mDrawer.drawTowerNow(const_cast<TDTower&>(tower), mCanvas); }

private:
    TDUiPainter& mInner;
    TDBattleDrawer& mDrawer;
    TDBattleCanvas& mCanvas;
};

} // namespace

void TDDrawLists::add(TDDrawItem&& item, std::vector<u32>& list)
{
    list.push_back(static_cast<u32>(pool.size()));
    pool.push_back(std::move(item));
}

void TDDrawLists::sortByDepth(std::vector<u32>& list)
{
    std::stable_sort(list.begin(), list.end(),
                     [this](u32 a, u32 b) { return TDDrawItem::lessByDepth(pool[a], pool[b]); });
}

void TDDrawLists::clear()
{
    pool.clear();
    main.clear();
    groundShadows.clear();
    groundObjects.clear();
    airShadows.clear();
    airObjects.clear();
    pictures.clear();
}

TDBattleDrawer::TDBattleDrawer(TDMap& map, TDResources& resources) : mMap(map), mResources(resources)
{
    mResources.addReleaseListener(this, [this](const TDGraphic& graphic) { forget(graphic); });
}

TDBattleDrawer::~TDBattleDrawer() { mResources.removeReleaseListener(this); }

void TDBattleDrawer::forget(const TDGraphic& graphic)
{
    // Pictures are cached by sheet + "|" + name, and by sheet + "/" + name for full paths.
    const std::wstring& sheet = graphic.mPsd;
    auto ofSheet = [&](const std::wstring& key, wchar_t separator)
    { return key.size() > sheet.size() && key.compare(0, sheet.size(), sheet) == 0 && key[sheet.size()] == separator; };
    std::erase_if(mPictures, [&](const auto& entry) { return ofSheet(entry.first, L'|'); });
    std::erase_if(mPathPictures, [&](const auto& entry) { return ofSheet(entry.first, L'/'); });
    mHeights.erase(&graphic);
}

bool TDBattleDrawer::showsBattle(TDScreen screen)
{
    return screen == kScreenBattle || screen == kScreenWon || screen == kScreenLost || screen == kScreenIngameMenu ||
           screen == kScreenUnlockMessage;
}

std::wstring TDBattleDrawer::waveText(i32 remaining)
{
    if (remaining == 0)
        return LocalStrings::Instance()->get(L"game_incoming");
    // The strings file trims its values, so the space before the count is ours.
    std::wstring text = LocalStrings::Instance()->get(L"game_nextwave");
    if (!text.empty() && !std::iswspace(text.back()))
        text += L' ';
    return text + std::to_wstring(remaining);
}

void TDBattleDrawer::trace(const std::string& step)
{
    if (mTrace)
        mTrace->push_back(step);
}

TDBattleDrawer::Picture TDBattleDrawer::picture(const std::wstring& sheet, const std::wstring& name)
{
    const std::wstring key = sheet + L"|" + name;
    auto it = mPictures.find(key);
    if (it != mPictures.end())
        return it->second;
    Picture result;
    if (const TDFrameEntry* entry = mResources.getImage(sheet, name))
        result = {entry->mImage, entry->mWidth, entry->mHeight};
    mPictures.emplace(key, result);
    return result;
}

TDBattleDrawer::Picture TDBattleDrawer::pathPicture(const std::wstring& path)
{
    auto known = mPathPictures.find(path);
    if (known != mPathPictures.end())
        return known->second;
    Picture result = splitPathPicture(path);
    mPathPictures.emplace(path, result);
    return result;
}

TDBattleDrawer::Picture TDBattleDrawer::splitPathPicture(const std::wstring& path)
{
    size_t cut = 0;
    for (int part = 0; part < 3 && cut != std::wstring::npos; ++part)
        cut = path.find(L'/', cut == 0 ? 0 : cut + 1);
    if (cut == std::wstring::npos)
        return {};
    return picture(path.substr(0, cut), path.substr(cut + 1));
}

const TDGraphic* TDBattleDrawer::graphicOf(const TDPrototype* p) const
{
    if (!p)
        return nullptr;
    if (p->graphic)
        return p->graphic;
    return mTable ? mTable->graphic(p->id) : nullptr;
}

void TDBattleDrawer::loadUiImages()
{
    mBar = picture(L"td/ui", L"ui/bar");
    mBoost = picture(L"td/ui", L"ui/power_buff");
    for (int i = 0; i < 3; ++i)
        mStar[i] = picture(L"td/ui", L"ui/l" + std::to_wstring(i + 1));
    mIndicatorIcons[2] = picture(L"td/ui", L"ui/immune");
    mIndicatorIcons[3] = picture(L"td/ui", L"ui/money");
}

TDBattleDrawer::Picture TDBattleDrawer::boostPicture(const TDBoostIcon& icon)
{
    if (!icon.sheet.empty())
        return picture(icon.sheet, icon.image);
    // A loose picture, loaded once whether it exists or not.
    auto known = mLoosePictures.find(icon.image);
    if (known == mLoosePictures.end())
        known = mLoosePictures.emplace(icon.image, mResources.textureLoader().loadPicture(icon.image)).first;
    const TDTexture* t = known->second.get();
    return t ? Picture{t, static_cast<float>(t->width()), static_cast<float>(t->height())} : Picture{};
}

void TDBattleDrawer::drawBackground(TDBattleCanvas& canvas)
{
    if (!mMap.mScenery || !mMap.mLevelActive || !showsBattle(mMap.mScreen))
        return;
    const std::wstring folder = tdtext::utf8ToWide(mMap.mScenery->folder);
    canvas.pushTransform(mMap.mScale, mMap.mOffsetX, mMap.mOffsetY);
    canvas.setBlendMode(kBlendAlpha);
    canvas.setColor(kWhite);
    for (const TDSceneLayer& layer : mMap.mScenery->layers)
    {
        if (layer.name.rfind(L"fx/", 0) == 0)
            continue; // places of ambient effects, not pictures
        Picture p = picture(folder, layer.name);
        math::Transform2D t;
        t.Translate(layer.x + layer.width * 0.5f, layer.y + layer.height * 0.5f);
        canvas.drawImage(p.image, layer.width, layer.height, t, false);
        trace("background");
    }
    canvas.popTransform();
}

void TDBattleDrawer::draw(TDBattleCanvas& canvas)
{
    if (mMap.mReloadState == kReloadRequested)
    {
        if (!mLoadingTried)
        {
            mLoadingTried = true;
            mLoadingImage = mResources.textureLoader().loadPicture(L"td/data/loading.jpg");
        }
        if (mLoadingImage)
        {
            math::Transform2D t;
            t.Translate(mLoadingImage->width() * 0.5f, mLoadingImage->height() * 0.5f);
            canvas.drawImage(mLoadingImage.get(), static_cast<float>(mLoadingImage->width()),
                             static_cast<float>(mLoadingImage->height()), t, false);
        }
        trace("loading");
        mMap.mReloadState = kReloadShown;
        return;
    }
    if (!mMap.mLevelActive)
        return;
    if (mMap.isPathPictureStale())
    {
        const Picture brush = picture(L"td/ui", L"ui/brush");
        mMap.renderPathPicture(canvas, brush.image, brush.width, brush.height);
    }

    const bool field = showsBattle(mMap.mScreen);
    if (field)
    {
        // The field and its effects stay inside it: the wide layout's margins beside it belong to
        // the HUD.
        beginFieldClip(canvas);
        drawBackground(canvas);
        canvas.setBlendMode(kBlendAlpha);
        buildList(canvas);
        drawList(canvas);

        for (TDUnit* unit : mMap.mWaves.mUnits)
            drawUnitOverlay(*unit, canvas);
        canvas.setColor(kWhite);
        for (TDTower* tower : mMap.mTowers)
            drawTowerOverlay(*tower, canvas);

        if (mMap.mHovered)
        {
            // The marker over the picked unit, raised by its graphic's default frame.
            const TDGraphic* spot = mResources.findGraphic(L"td/enemy_spot");
            const auto& frames = spot ? spot->frames("") : std::vector<TDFrameEntry*>();
            if (!frames.empty())
            {
                float raise = 0.0f;
                if (const TDGraphic* g = graphicOf(mMap.mHovered->proto()))
                    if (!g->frames("").empty())
                        raise = g->frames("").front()->mHeight;
                float f = std::floor(mMap.mEnemySpotTime * kMarkerFramesPerSecond);
                size_t index = std::isfinite(f) && f > 0.0f
                                   ? static_cast<size_t>(std::fmod(f, static_cast<float>(frames.size())))
                                   : 0;
                canvas.pushTransform(mMap.mScale, mMap.mOffsetX, mMap.mOffsetY);
                canvas.setColor(kWhite);
                drawSpriteFrame(canvas, *spot, index, mMap.mHovered->mDrawPos[0], mMap.mHovered->mDrawPos[1] - raise);
                canvas.popTransform();
                trace("hovered");
            }
        }
        canvas.endClip();
        // The countdown over everything that stands on the field, under the ring menu and the HUD.
        drawWaveTexts(canvas);
        mLists.clear();

        beginFieldClip(canvas);
        canvas.setColor(kWhite);
        drawBullets(canvas);
        canvas.endClip();
    }

    // What the battle leaves on its field (floating texts, one-shot sprites such as a spell's
    // blast, drops, beams, the builds' and upgrades' effects, the level's ambience) belongs to the
    // field: the HUD, the screens and the ring menu cover it, and without the field (a menu, the
    // shop after a level) none of it shows, frozen as the battle left it. Floating texts and the
    // drops flying to the HUD may cross the field's edge; the rest may not.
    if (field)
    {
        drawIndicators(canvas);
        beginFieldClip(canvas);
        drawSprites(canvas);
        canvas.endClip();
        drawDrops(canvas);
        beginFieldClip(canvas);
        canvas.pushTransform(mMap.mScale, mMap.mOffsetX, mMap.mOffsetY);
        for (TDParticle* particle : mMap.mParticles)
            particle->draw(canvas);
        for (auto& emitter : mMap.mEmitters)
            if (emitter)
                canvas.drawEmitter(*emitter);
        for (TDEffectHolder* effect : mMap.mEffects)
            if (effect->mEmitter)
                canvas.drawEmitter(*effect->mEmitter);
        canvas.popTransform();
        canvas.endClip();
    }
    trace("particles");
    canvas.setBlendMode(kBlendAlpha);
    canvas.drawHud();
    // The glow on the HUD's button and the chosen spell's glow belong to the HUD over the field.
    if (field && mMap.mSelectedSpell >= 0 && mMap.mActiveEmitter)
        canvas.drawEmitter(*mMap.mActiveEmitter);
    if (field && mMap.mActiveButtonEmitter && mMap.mActiveButtonPlaced)
        canvas.drawEmitter(*mMap.mActiveButtonEmitter);
    trace("emitters");
    canvas.drawHudWindows(0);
    trace("hud");
    drawContextMenu(canvas);
    canvas.drawHudWindows(1);
    trace("windows");
}

void TDBattleDrawer::beginFieldClip(TDBattleCanvas& canvas)
{
    canvas.beginClip(mMap.mOffsetX, mMap.mOffsetY, kFieldWidth * mMap.mScale, kFieldHeight * mMap.mScale);
}

void TDBattleDrawer::buildList(TDBattleCanvas& canvas)
{
    TDDrawLists& l = mLists;
    for (TDTower* tower : mMap.mTowers)
    {
        TDDrawItem item;
        if (towerItem(*tower, item))
            l.add(std::move(item), l.groundObjects);
    }
    for (TDUnit* unit : mMap.mWaves.mUnits)
        queueUnit(*unit, l);
    // The spots' boost icons ("##") stand among the ground objects at their spot's depth, a tower
    // on the spot or not: a unit walking in front of one covers it.
    if (mMap.mScenery)
        for (const TDSpotFrame& frame : mMap.mScenery->spotFrames)
            for (const TDBoostIcon& icon : frame.boosts)
            {
                Picture p = boostPicture(icon);
                TDDrawItem item;
                item.image = p.image;
                item.width = p.width;
                item.height = p.height;
                item.depth = icon.depth;
                item.transform.Translate(static_cast<float>(icon.x), icon.y);
                if (mTrace)
                    item.tag = "boost";
                l.add(std::move(item), l.groundObjects);
            }

    l.sortByDepth(l.main);
    l.main.insert(l.main.end(), l.pictures.begin(), l.pictures.end());
    l.sortByDepth(l.groundObjects);
    l.sortByDepth(l.airObjects);
    l.main.insert(l.main.end(), l.groundShadows.begin(), l.groundShadows.end());
    l.main.insert(l.main.end(), l.groundObjects.begin(), l.groundObjects.end());

    // Free build spots lie under everything, the last spot first.
    if (mMap.mScenery)
    {
        static const wchar_t* kSpotPictures[3] = {L"spots/s", L"spots/g", L"spots/p"};
        std::vector<u32> front;
        for (const TDSpotFrame& frame : mMap.mScenery->spotFrames)
        {
            if (frame.hasTower)
                continue;
            Picture p = picture(L"td/spots", kSpotPictures[std::clamp(frame.imageIndex, 0, 2)]);
            TDDrawItem item;
            item.image = p.image;
            item.width = static_cast<float>(frame.width);
            item.height = static_cast<float>(frame.height);
            item.transform.Translate(frame.x + 0.5f * frame.width, frame.y + 0.5f * frame.height);
            if (mTrace)
                item.tag = "spot:" + frame.name.substr(1);
            if (frame.name.rfind('^', 0) == 0 || frame.name.rfind('$', 0) == 0 || frame.name == "##")
                l.add(std::move(item), l.main);
            else
                l.add(std::move(item), front);
        }
        l.main.insert(l.main.begin(), front.rbegin(), front.rend());
    }

    l.main.insert(l.main.end(), l.airShadows.begin(), l.airShadows.end());
    l.main.insert(l.main.end(), l.airObjects.begin(), l.airObjects.end());

    for (TDEffectHolder* effect : mMap.mEffects2)
    {
        if (!effect->mEmitter)
            continue;
        TDDrawItem item;
        item.emitter = effect->mEmitter.get();
        if (mTrace)
            item.tag = "effect";
        l.add(std::move(item), l.main);
    }

    // The pulsing road glow while a spell waits for its target, under everything: the picture
    // of the roads, rendered once per level; brush dots where there is no off-screen picture.
    if (mMap.mSelectedSpell >= 0)
    {
        const float a = (std::sin(mMap.mTime * 5.0f) + 1.0f) * 0.5f * 0.2f + 0.2f;
        const TDColor glowColor{0.804f, 0.75f, 0.171f, a};
        std::vector<u32> glow;
        if (const TDTexture* roads = mMap.mPathPicture.get())
        {
            const TDViewRect& view = mMap.mPathPictureRect;
            TDDrawItem item;
            item.image = roads;
            item.width = static_cast<float>(roads->width());
            item.height = static_cast<float>(roads->height());
            item.transform.Translate(view.x + item.width * 0.5f, view.y + item.height * 0.5f);
            item.color = glowColor;
            item.additive = true;
            if (mTrace)
                item.tag = "roads";
            l.add(std::move(item), glow);
        }
        else
            queueLinks(glow, glowColor, true);
        l.main.insert(l.main.begin(), glow.begin(), glow.end());
    }

    const Picture hint = picture(L"td/ui", L"ui/wave_hint");
    for (const TDWaveHint::Button& button : mMap.mNextWave.buttons)
    {
        TDDrawItem item;
        item.image = hint.image;
        item.width = static_cast<float>(button.width);
        item.height = static_cast<float>(button.height);
        item.transform.Translate(button.x + button.width * 0.5f, button.y + button.height * 0.5f);
        if (mTrace)
            item.tag = "button";
        l.add(std::move(item), l.main);
    }
}

void TDBattleDrawer::drawList(TDBattleCanvas& canvas)
{
    canvas.pushTransform(mMap.mScale, mMap.mOffsetX, mMap.mOffsetY);
    for (u32 index : mLists.main)
    {
        TDDrawItem& item = mLists.pool[index];
        trace(item.tag);
        if (item.emitter)
        {
            canvas.drawEmitter(*item.emitter);
            canvas.setBlendMode(kBlendAlpha);
            continue;
        }
        canvas.setColor(item.color);
        if (item.shaded)
            canvas.setUnitShader(item.fill);
        else
            canvas.setShaderMode(kShaderMultiply);
        if (item.additive)
            canvas.setBlendMode(kBlendAdditive);
        canvas.drawImage(item.image, item.width, item.height, item.transform, item.flipH);
        if (item.additive)
            canvas.setBlendMode(kBlendAlpha);
    }
    canvas.setShaderMode(kShaderMultiply);
    canvas.popTransform();
}

void TDBattleDrawer::drawWaveTexts(TDBattleCanvas& canvas)
{
    const auto& buttons = mMap.mNextWave.buttons;
    for (size_t i = 0; i < buttons.size(); ++i)
    {
        const TDWaveHint::Button& b = buttons[i];
        float left = mMap.mNextWave.firstSpawnTime - mMap.mWaves.mClock;
        i32 remaining = std::isfinite(left) ? static_cast<i32>(std::clamp(left, -1.0e9f, 1.0e9f)) : 0;
        i32 dy = static_cast<i32>(b.height * 0.5f - static_cast<float>(i) * 25.0f);
        float y = (b.y + dy) * mMap.mScale + mMap.mOffsetY;
        canvas.setColor(kWhite);
        if (b.x >= 512)
            canvas.drawText(waveText(remaining), ((b.x - b.width * 0.5f) - 32.0f) * mMap.mScale + mMap.mOffsetX, y, 1,
                            2, TDBattleCanvas::kWaveFont);
        else
            canvas.drawText(waveText(remaining), (b.width * 0.5f + b.x + 32.0f) * mMap.mScale + mMap.mOffsetX, y, 0, 2,
                            TDBattleCanvas::kWaveFont);
    }
}

void TDBattleDrawer::drawBullets(TDBattleCanvas& canvas)
{
    if (!mMap.mBullets)
        return;
    canvas.pushTransform(mMap.mScale, mMap.mOffsetX, mMap.mOffsetY);
    for (TDBullet* bullet : mMap.mBullets->items)
    {
        if (bullet->mEmitter)
            canvas.drawEmitter(*bullet->mEmitter);
        const TDGraphic* graphic = graphicOf(bullet->mTower ? bullet->ammo() : nullptr);
        if (!graphic)
            continue;
        if (graphic->mAnimated && bullet->mHasAnimation)
        {
            // The shell of ammunition 2003 burns: the flame "fire" of "td/tower3_1b", turned with it.
            if (!mFire)
                mFire = std::make_unique<TDAnimation>(mResources.findGraphic(L"td/tower3_1b"), "fire");
            const float length = mFire->length();
            mFire->mTime = length > 0.0f ? std::fmod(bullet->mAnimationTime, length) : 0.0f;
            if (const TDFrameEntry* frame = mFire->currentFrame())
            {
                canvas.setBlendMode(kBlendAlpha);
                canvas.drawImage(frame->mImage, frame->mWidth, frame->mHeight,
                                 mFire->placement(*frame, bullet->mX, bullet->mY, bullet->mAngle), false);
                trace("bullet");
            }
            continue;
        }
        // Any other shot is its graphic's single picture, unturned; an animated graphic without
        // a picture of its own shows only its emitter.
        const TDTexture* image = graphic->mImage.get();
        if (!image)
            continue;
        math::Transform2D t;
        t.Translate(bullet->mX, bullet->mY);
        canvas.setBlendMode(kBlendAlpha);
        canvas.drawImage(image, static_cast<float>(image->width()), static_cast<float>(image->height()), t, false);
        trace("bullet");
    }
    canvas.popTransform();
}

void TDBattleDrawer::drawIndicators(TDBattleCanvas& canvas)
{
    canvas.pushTransform(mMap.mScale, mMap.mOffsetX, mMap.mOffsetY);
    canvas.setBlendMode(kBlendAlpha);
    for (TDIndicator* indicator : mMap.mIndicators.items)
    {
        if (!indicator->mAlive)
            continue;
        canvas.setColor({1.0f, 1.0f, 1.0f, indicator->alpha()});
        // The icon centred on the point, the text to its right.
        const i32 slot = indicator->mIconSlot;
        if (slot >= 0 && slot < 4 && mIndicatorIcons[slot].image)
        {
            const Picture& icon = mIndicatorIcons[slot];
            math::Transform2D t;
            t.Translate(indicator->mX, indicator->mY);
            canvas.drawImage(icon.image, icon.width, icon.height, t, false);
        }
        if (!indicator->mText.empty())
            canvas.drawText(indicator->mText, indicator->mX + 14.0f, indicator->mY, 0, 2,
                            TDBattleCanvas::kIndicatorFont, 0.75f);
        canvas.setColor(kWhite);
        trace("indicator");
    }
    canvas.popTransform();
}

void TDBattleDrawer::drawSprites(TDBattleCanvas& canvas)
{
    canvas.pushTransform(mMap.mScale, mMap.mOffsetX, mMap.mOffsetY);
    for (TDSpriteEffect* sprite : mMap.mAnimations)
    {
        i32 index = sprite->frame();
        if (index < 0)
            continue;
        TDGraphic* graphic = mResources.findGraphic(sprite->mName);
        const auto& frames = graphic ? graphic->frames("") : std::vector<TDFrameEntry*>();
        if (frames.empty())
            continue;
        canvas.setColor({1.0f, 1.0f, 1.0f, sprite->alpha()});
        drawSpriteFrame(canvas, *graphic, std::min<size_t>(static_cast<size_t>(index), frames.size() - 1), sprite->mX,
                        sprite->mY);
        trace("sprite");
    }
    canvas.setColor(kWhite);
    canvas.popTransform();
}

void TDBattleDrawer::drawDrops(TDBattleCanvas& canvas)
{
    const TDGraphic* gem = mResources.findGraphic(L"td/crystall");
    const size_t frames = gem ? gem->frames("").size() : 0;
    const Picture shadow = pathPicture(L"td/data/ui_parts/shadows/money_shadow");
    for (TDTowerSpecial* drop : mMap.mDrops)
    {
        if (!drop->mAlive)
            continue;
        auto* gold = dynamic_cast<TDGoldSpecial*>(drop);
        float spin = 0.0f;
        if (gold)
        {
            gold->place();
            // Its shadow fades in over the end of the fall and stays while it lies.
            float a = drop->mState == kDropLying ? 1.0f : 0.0f;
            if (drop->mState == kDropArriving && drop->mTime > 0.8f && drop->mTime < 1.0f)
                a = (drop->mTime - 0.8f) / 0.2f;
            if (a > 0.0f)
            {
                math::Transform2D t;
                t.Translate(gold->mEndX, gold->mEndY + 5.0f);
                canvas.setColor({1.0f, 1.0f, 1.0f, a});
                canvas.drawImage(shadow.image, shadow.width, shadow.height, t, false);
                canvas.setColor(kWhite);
            }
            spin = gold->mSpinTime;
        }
        if (frames == 0)
            continue;
        float f = std::floor(spin * kGemFramesPerSecond);
        size_t index = std::isfinite(f) && f > 0.0f ? static_cast<size_t>(std::fmod(f, static_cast<float>(frames))) : 0;
        drawSpriteFrame(canvas, *gem, index, drop->mX, drop->mY);
        trace("drop");
    }
}

void TDBattleDrawer::drawSpriteFrame(TDBattleCanvas& canvas, const TDGraphic& graphic, size_t index, float x, float y)
{
    const auto& frames = graphic.frames("");
    if (index >= frames.size())
        return;
    const TDFrameEntry& frame = *frames[index];
    float ax = 0.0f, ay = 0.0f;
    if (!graphic.point("s_point", 0, ax, ay))
    {
        ax = frame.mX + frame.mWidth * 0.5f;
        ay = frame.mY + frame.mHeight * 0.5f;
    }
    math::Transform2D t;
    t.Translate(frame.mX + frame.mWidth * 0.5f - ax + x, frame.mY + frame.mHeight * 0.5f - ay + y);
    canvas.drawImage(frame.mImage, frame.mWidth, frame.mHeight, t, false);
}

void TDBattleDrawer::queueLinks(std::vector<u32>& list, const TDColor& color, bool additive)
{
    const Picture brush = picture(L"td/ui", L"ui/brush");
    for (const TDLink* link : mMap.mLinks)
        for (const auto& [x, y] : mMap.linkDots(*link))
        {
            TDDrawItem item;
            item.image = brush.image;
            item.width = brush.width;
            item.height = brush.height;
            item.transform.Translate(x, y);
            item.color = color;
            item.additive = additive;
            if (mTrace)
                item.tag = "road";
            mLists.add(std::move(item), list);
        }
}

void TDBattleDrawer::drawContextMenu(TDBattleCanvas& canvas)
{
    if (!mMap.mContextMenu)
        return;
    if (mMap.mContextMenu->visible == 0)
    {
        mMap.mContextMenu.reset();
        trace("menu closed");
        return;
    }
    TDUiPainter* inner = canvas.uiPainter();
    if (!inner)
        return;
    MenuPainter painter(*inner, *this, canvas);
    canvas.pushTransform(mMap.mScale, mMap.mOffsetX, mMap.mOffsetY);
    mMap.mContextMenu->draw(painter);
    canvas.popTransform();
    canvas.setColor(kWhite);
    canvas.setBlendMode(kBlendAlpha);
    trace("menu");
}
