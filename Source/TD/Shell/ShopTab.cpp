// A shop section tab.
#include "Source/TD/Shell/ShopTab.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Resource/ResourceManager.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Shell/HUDWindow.h"
#include "Source/TD/Shell/TDScreenDraw.h"
#include "Source/TD/Sprites/TDFrameEntry.h"
#include "Source/TD/Sprites/TDResources.h"

#include <algorithm>

ShopTab::ShopTab(file::ImageContainer* layout, const std::wstring& name)
    : label(LocalStrings::Instance()->get(name)), active(std::make_unique<TDFrameEntry>()),
      inactive(std::make_unique<TDFrameEntry>()), lock(std::make_unique<TDFrameEntry>())
{
    TDResources::Instance()->setLayerImage(*active, layout, L"tabs/up_button_ac");
    TDResources::Instance()->setLayerImage(*inactive, layout, L"tabs/up_button_in");
}

ShopTab::~ShopTab() = default;

bool ShopTab::hit(int px, int py) const
{
    const int halfW = static_cast<int>(active->mWidth) / 2;
    const float h = active->mHeight, fx = static_cast<float>(px), fy = static_cast<float>(py);
    return enabled && fx > x - static_cast<float>(halfW) && fx < x + static_cast<float>(halfW) && fy > y - h && fy < y;
}

void ShopTab::hoverTest(int px, int py)
{
    if (!selected)
        hover = hit(px, py);
}

void ShopTab::update(float dt)
{
    if (selected)
        return;
    activeShown = hover;
    inactiveShown = !hover;
    scale = hover ? std::min(scale + dt * 0.5f, 1.1f) : std::max(scale - dt, 1.0f);
}

void ShopTab::select(bool on)
{
    selected = on;
    activeShown = on;
    inactiveShown = !on;
    if (on)
    {
        labelFont = L"td/data/fonts/main_42_3";
        scale = 1.1f;
    }
    else
    {
        labelFont = L"td/data/fonts/main_32_2";
        hover = false;
    }
}

void ShopTab::draw(render::Graphics* graphics) const
{
    if (!graphics)
        return;
    // The body stands on the bottom centre and zooms about it.
    const float left = -static_cast<float>(static_cast<int>(inactive->mWidth) / 2), top = -inactive->mHeight;
    // A locked tab never takes the pointer: greyed, its label dim, a padlock at its right end.
    const float shade = enabled ? 1.0f : kLockedShade;
    graphics->SetColorRGBA(shade, shade, shade, 1.0f);
    if (inactiveShown)
        tdscreen::drawImageCentred(graphics, HUDWindow::imageOf(*inactive),
                                   x + (left + inactive->mWidth * 0.5f) * scale,
                                   y + (top + inactive->mHeight * 0.5f) * scale, scale);
    if (activeShown)
        tdscreen::drawImageCentred(graphics, HUDWindow::imageOf(*active), x + (left + active->mWidth * 0.5f) * scale,
                                   y + (top + active->mHeight * 0.5f) * scale, scale);
    if (!enabled)
    {
        graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
        tdscreen::drawImageCentred(graphics, HUDWindow::imageOf(*lock),
                                   x + (left + inactive->mWidth - lock->mWidth * 0.5f - kLockInset) * scale,
                                   y + (top + inactive->mHeight * 0.5f) * scale, scale);
        graphics->SetColorRGBA(kLockedShade, kLockedShade, kLockedShade, 1.0f);
    }
    base::CountedPtr<render::BMFont> font = resource::ResourceManager::Instance()->Get<render::BMFont>(labelFont);
    if (!font || !font->IsLoaded())
        return;
    tdscreen::drawTextCentred(graphics, font.Get(), label, x + (left + active->mWidth * 0.5f) * scale,
                              y + (top + active->mHeight * 0.5f + 6.0f) * scale, scale, 211.0f);
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
}
