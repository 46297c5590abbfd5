// The spell button: hit box, recharge at the battle speed, pulse, glow and drawing.
#include "Source/TD/Battle/HUDSpellButton.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Seams/TDUiPainter.h"

#include <algorithm>

HUDSpellButton::HUDSpellButton(TDMap& map, i32 spellId) : mSpellId(spellId), mMap(map) {}

HUDSpellButton::~HUDSpellButton() = default;

const TDSpellProto* HUDSpellButton::spell() const { return mMap.mSpells.findById(mSpellId); }

float HUDSpellButton::fullCooldown() const
{
    const TDSpellProto* s = spell();
    const TDPrototype* ammo = s ? mMap.findPrototype(s->protoId) : nullptr;
    return ammo ? ammo->cooldown : 0.0f;
}

bool HUDSpellButton::contains(i32 x, i32 y)
{
    const TDSpellProto* s = spell();
    const TDImage* icon = s ? s->imageTexture.get() : nullptr;
    float halfWidth = 35.0f, halfHeight = 35.0f;
    // Without a usable icon the box is a 70-pixel square.
    if (icon && icon->width() > 0)
    {
        float k = 70.0f / static_cast<float>(icon->width());
        halfWidth = static_cast<float>(icon->width()) * k * 0.5f;
        halfHeight = static_cast<float>(icon->height()) * k * 0.5f;
    }
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    return mCentreX - halfWidth <= fx && fx <= mCentreX + halfWidth && mCentreY - halfHeight <= fy &&
           fy <= mCentreY + halfHeight;
}

bool HUDSpellButton::canPress(i32 x, i32 y)
{
    return contains(x, y) && mUsed == 0 && (mSpellId != 4 || !mMap.mTowers.empty());
}

bool HUDSpellButton::onHover(i32 x, i32 y)
{
    mHover = contains(x, y) ? 1 : 0;
    return mHover != 0;
}

void HUDSpellButton::startCooldown()
{
    mUsed = 1;
    mCooldown = fullCooldown();
}

void HUDSpellButton::becomeReady()
{
    mUsed = 0;
    mCooldown = 0.0f;
    if (!mGlow)
        mGlow = mMap.mParticleSystem->createEmitter(L"blik_6");
    if (mGlow)
    {
        mGlow->setPosition(mCentreX, mCentreY);
        mGlow->setState(kEmitterPlaying);
    }
}

void HUDSpellButton::update(float dt)
{
    if (mUsed == 1)
    {
        mCooldown -= mMap.mSpeed * dt;
        if (mCooldown <= 0.0f)
            becomeReady();
    }
    if (mHover == 0)
        mPulse = std::max(mPulse - dt, 1.0f);
    else
        mPulse = std::min(mPulse + dt * 0.5f, 1.1f);
    if (mGlow)
    {
        mGlow->update(dt);
        if (mGlow->state() != kEmitterPlaying)
            mGlow.reset();
    }
}

void HUDSpellButton::draw(TDUiPainter& painter)
{
    const TDSpellProto* s = spell();
    const TDImage* icon = s ? s->imageTexture.get() : nullptr;
    const TDImage* shade = s ? s->image2Texture.get() : nullptr;
    float scale = mImageScale;
    if (mCooldown <= 0.0f)
    {
        const TDImage* image = mSpellId == 4 && mMap.mTowers.empty() ? shade : icon;
        painter.drawImage(image, mCentreX, mCentreY, mPulse * scale);
    }
    else
    {
        auto w = [](const TDImage* i) { return i ? i->width() : 0; };
        auto h = [](const TDImage* i) { return i ? i->height() : 0; };
        float left = mCentreX - static_cast<float>(w(icon) / 2) * scale;
        float top = mCentreY - static_cast<float>(h(icon) / 2) * scale;
        painter.drawImageToRect(icon, static_cast<float>(w(shade)), static_cast<float>(h(shade)), left, top, scale);
        float full = fullCooldown();
        float f = full > 0.0f ? mCooldown / full : 0.0f;
        painter.drawImageToRect(shade, static_cast<float>(w(shade)), f * static_cast<float>(h(shade)), left, top,
                                scale);
        painter.setFont(L"td/data/fonts/main_42_3");
        painter.drawText(std::to_wstring(tdtext::truncToInt(mCooldown + 1.0f)),
                         left + static_cast<float>(w(shade) / 2) * scale,
                         top + static_cast<float>(h(shade) / 2) * scale, TDColor{});
    }
    if (mGlow)
        painter.drawEmitter(*mGlow);
}
