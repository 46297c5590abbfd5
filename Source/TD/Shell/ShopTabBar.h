// The shop's row of section tabs, left to right from x 216, 290 apart; a disabled tab takes no
// room. Driven and drawn by the shop window.
#pragma once

#include "Source/TD/Shell/ShopTab.h"

#include <memory>
#include <string>
#include <vector>

class ShopTabBar
{
public:
    static constexpr float kFirstX = 216.0f;
    static constexpr float kStep = 290.0f;

    ShopTabBar(file::ImageContainer* layout, const std::vector<std::wstring>& names, const std::vector<bool>& enabled);

    // The first tab holding the point, which becomes selected; -1 for none.
    int click(int x, int y);
    void hover(int x, int y);
    void update(float dt);
    void select(int k);
    void draw(render::Graphics* graphics) const;

    std::vector<std::unique_ptr<ShopTab>> tabs;
    std::vector<ShopTab*> drawOrder; // the selected tab last
};
