// The shop's tab row.
#include "Source/TD/Shell/ShopTabBar.h"

#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/Sprites/TDFrameEntry.h"
#include "Source/TD/Sprites/TDResources.h"

#include <algorithm>

ShopTabBar::ShopTabBar(file::ImageContainer* layout, const std::vector<std::wstring>& names,
                       const std::vector<bool>& enabled)
{
    const base::ImageInfo* info = layout ? layout->FindImage(L"tabs/up_button_ac") : nullptr;
    const float baseY = info ? static_cast<float>(info->mY + info->mHeight) : 0.0f;
    float x = kFirstX;
    for (size_t i = 0; i < names.size(); ++i)
    {
        auto tab = std::make_unique<ShopTab>(layout, names[i]);
        tab->x = x;
        tab->y = baseY;
        tab->enabled = i < enabled.size() && enabled[i];
        if (tab->enabled)
            x += kStep;
        else
            TDResources::Instance()->setLayerImage(*tab->lock, layout, L"tabs/lock");
        drawOrder.push_back(tab.get());
        tabs.push_back(std::move(tab));
    }
    if (!tabs.empty())
        select(0);
}

int ShopTabBar::click(int x, int y)
{
    for (size_t i = 0; i < tabs.size(); ++i)
        if (tabs[i]->hit(x, y))
        {
            select(static_cast<int>(i));
            return static_cast<int>(i);
        }
    return -1;
}

void ShopTabBar::hover(int x, int y)
{
    for (auto& tab : tabs)
        tab->hoverTest(x, y);
}

void ShopTabBar::update(float dt)
{
    for (auto& tab : tabs)
        tab->update(dt);
}

void ShopTabBar::select(int k)
{
    if (k < 0 || k >= static_cast<int>(tabs.size()))
        return;
    ShopTab* chosen = tabs[static_cast<size_t>(k)].get();
    drawOrder.erase(std::remove(drawOrder.begin(), drawOrder.end(), chosen), drawOrder.end());
    drawOrder.push_back(chosen);
    for (auto& tab : tabs)
        tab->select(tab.get() == chosen);
}

void ShopTabBar::draw(render::Graphics* graphics) const
{
    for (const ShopTab* tab : drawOrder)
        tab->draw(graphics);
}
