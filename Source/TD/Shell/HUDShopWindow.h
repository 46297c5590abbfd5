// The upgrade shop ("td/shop", screen 8): three section tabs, a scrolling list of upgrade
// plates bought with crystals, a scroll bar with arrow buttons, and the reset button that asks
// before every upgrade is taken back. Origin 0 (from the menus) leaves "back_ac", origin 1
// (after a level) "return_ac"; the battle acts on those names.
#pragma once

#include "Source/TD/Shell/HUDWindow.h"
#include "Source/TD/Shell/ShopScrollBar.h"
#include "Source/TD/Shell/ShopTabBar.h"
#include "Source/TD/Shell/ShopUpgradePlate.h"

#include <map>
#include <memory>
#include <vector>

class HUD;
class TDMap;
class TDUpgrade;

class HUDShopWindow : public HUDWindow
{
public:
    static constexpr int kSections = 3;
    static constexpr float kPlateSpacing = 99.0f;
    static constexpr float kScrollStep = 105.0f;
    // The list's visible band: buy buttons outside it do not react.
    static constexpr int kBandTop = 170, kBandBottom = 610;
    // A plate's text boxes: the upgrade's name and its step's line below it, both centred.
    static constexpr float kPlateTextWidth = 333.0f, kPlateNameHeight = 30.0f, kPlateLineHeight = 30.0f;

    // hud may be null (no reset dialog, no shop block); the battle's screen becomes 8.
    HUDShopWindow(TDMap& map, HUD* hud, i32 origin, const std::wstring& layout = L"td/shop");
    ~HUDShopWindow() override;

    void Draw(render::Graphics* graphics) override;
    void Update(float dt) override;
    void Refresh() override;
    void MouseMove(int x, int y) override;
    void Release(int x, int y) override;
    void Press(int x, int y) override;
    void Wheel(int delta) override;
    std::wstring ButtonNameAt(int x, int y) override;

    // Plates of the section's available upgrades; scroll position back to 0.
    void buildList(int tab);
    // Buys the next step of the plate's upgrade when the battle's crystals cover it.
    void buy(ShopUpgradePlate& plate);
    // The buy button's on-screen rectangle, inset by 5, inside the list's band.
    bool buyHit(const ShopUpgradePlate& plate, int x, int y) const;
    // Scroll position (0..1) with the list and, when asked, the slider following it.
    void scrollTo(float position, bool moveSlider);
    float listOffset() const { return mListY; }
    int plateCount() const { return static_cast<int>(plates.size()); }
    // Whether the section holds an upgrade available by progress.
    bool sectionEnabled(int tab) const;

    i32 origin = 0;
    i32 currentTab = 0;
    std::vector<std::unique_ptr<ShopUpgradePlate>> plates;
    std::unique_ptr<ShopTabBar> tabBar;
    std::unique_ptr<ShopScrollBar> scrollBar;
    // "back_header" and "back_footer", drawn over the list's ends.
    std::unique_ptr<TDFrameEntry> header = std::make_unique<TDFrameEntry>();
    std::unique_ptr<TDFrameEntry> footer = std::make_unique<TDFrameEntry>();
    enum class DragState : i32
    {
        kIdle = 0,
        kPressed = 1, // a press landed in the scroll column
        kMoved = 2,   // the pointer has moved since: the release buys nothing
    };
    DragState dragState = DragState::kIdle;
    i32 lastDragY = 0;

private:
    const TDFrameEntry& frame(const std::wstring& name);
    const TDUpgrade* upgradeOf(const ShopUpgradePlate& plate) const;
    void refreshPlate(ShopUpgradePlate& plate);
    bool shopBlocked() const;
    void drawPlate(render::Graphics* graphics, const ShopUpgradePlate& plate);
    void drawPart(render::Graphics* graphics, const std::wstring& name, float px, float py, float dy, float scale);

    TDMap& mMap;
    HUD* mHud;
    float mListY = 0.0f;
    std::wstring mCaption;
    std::map<std::wstring, std::unique_ptr<TDFrameEntry>> mFrames; // pictures by layout name
};
