// One section tab of the shop: an active and an inactive picture with a label, standing on its
// bottom centre and zooming to 1.1 under the pointer or while selected. A disabled tab is a
// locked one: greyed, with the layout's padlock on it.
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
    static constexpr float kLockedShade = 0.5f; // colour of a locked tab and its label
    static constexpr float kLockInset = 14.0f;  // the padlock's gap to the tab's right end
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
    std::unique_ptr<TDFrameEntry> lock;     // "tabs/lock", given to a disabled tab by its bar
};
