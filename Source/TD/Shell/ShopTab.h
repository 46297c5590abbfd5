// One section tab of the shop: an active and an inactive picture with a label, standing on its
// bottom centre and zooming to 1.1 under the pointer or while selected.
#pragma once

#include "Core/Base/Types.h"

#include <memory>
#include <string>

namespace file
{
class ImageContainer;
}
namespace render
{
class Graphics;
}
class TDFrameEntry;

class ShopTab
{
public:
    ShopTab(file::ImageContainer* layout, const std::wstring& name);
    ~ShopTab();
    ShopTab(const ShopTab&) = delete;
    ShopTab& operator=(const ShopTab&) = delete;

    // Enabled, and strictly inside the active picture standing on (x, y).
    bool hit(int px, int py) const;
    void hoverTest(int px, int py);
    void update(float dt);
    void select(bool on);
    void draw(render::Graphics* graphics) const;

    bool enabled = false;
    bool hover = false;
    bool selected = false;
    float scale = 1.0f;
    float x = 0.0f, y = 0.0f; // bottom centre
    bool activeShown = true, inactiveShown = true;
    std::wstring label;
    std::wstring labelFont = L"td/data/fonts/main_42_1";
    std::unique_ptr<TDFrameEntry> active;   // "tabs/up_button_ac"
    std::unique_ptr<TDFrameEntry> inactive; // "tabs/up_button_in"
};
