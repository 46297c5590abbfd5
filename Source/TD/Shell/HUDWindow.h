// The base of every screen of the game: images, buttons and text areas built from a layout
// (a layered PSD or a layer folder), drawn about the screen centre, with the input hooks the
// HUD and the root board call. A window is not a widget: its holder drives it.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Core/Media/Font/BMFont.h"
#include "Source/TD/Sprites/TDFrameEntry.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace file
{
class ImageContainer;
}
namespace render
{
class Graphics;
class Image;
} // namespace render

// The screen point windows scale about, and the root board's fonts; the root board sets it.
struct HUDWindowContext
{
    float centreX = 512.0f, centreY = 384.0f;
    base::CountedPtr<render::BMFont> windowFont;  // "main_42_3"
    base::CountedPtr<render::BMFont> captionFont; // "main_80"
    base::CountedPtr<render::BMFont> buttonFont;  // "main_32_1"
    // Plays a sound tag (the root board routes it to the sound tags); may be empty.
    void (*playSound)(const std::wstring& tag) = nullptr;

    static HUDWindowContext& Get();
};

// A button where it is drawn, in screen coordinates.
struct HUDButtonPlace
{
    std::wstring name;
    float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
    bool visible = true;
};

// The HUD's appearance while its first window opens.
enum HUDAppear : i32
{
    kHudAppearNone = 0,
    kHudAppearGrowing = 1, // the first window of an empty stack, for its first 0.1 s
    kHudAppearShown = 2,
};

class HUDWindow
{
public:
    HUDWindow();
    // Builds from the layout, then lets its container go.
    explicit HUDWindow(const std::wstring& layout);
    virtual ~HUDWindow();
    HUDWindow(const HUDWindow&) = delete;
    HUDWindow& operator=(const HUDWindow&) = delete;

    // Images, then buttons, then texts, scaled by mScale about the screen centre.
    virtual void Draw(render::Graphics* graphics);
    virtual void Update(float dt);
    virtual void Refresh() {}
    virtual void Reserved() {}
    virtual void OnClosing() {}
    virtual void MouseMove(int x, int y);
    virtual void Release(int, int) {}
    virtual void Press(int, int) {}
    virtual void Wheel(int) {}
    virtual void Char(int) {}
    virtual void KeyDown(int) {}
    // First button (in listing order) whose rectangle holds the point, edges included, hidden or
    // not; -1 for none.
    virtual int ButtonAt(int x, int y);
    // Name of the first visible button there, after the "simple" sound; "" (silent) for none.
    virtual std::wstring ButtonNameAt(int x, int y);

    // Opens the layout into mLayout and builds images, buttons and text areas; false when the
    // layout cannot be opened (the window stays empty).
    bool buildFromLayout(const std::wstring& layout);
    TDButtonFrame* findButton(const std::wstring& name) const;
    // Every button of the window where it is drawn, in screen coordinates: the layout's, then
    // those a screen keeps of its own (which add theirs first).
    using ButtonPlace = HUDButtonPlace;
    virtual void listButtons(std::vector<ButtonPlace>& out) const;
    // The centre of the first listed button of that name; false when the window has none.
    bool buttonCentre(const std::wstring& name, float& x, float& y) const;
    void setText(const std::wstring& name, const std::wstring& text);
    // The text set under that name, or null.
    const std::wstring* getText(const std::wstring& name) const;
    // The font the named text is drawn in, and the scale (1 down to half) at which it fits its
    // area.
    render::BMFont* textFont(const std::wstring& name) const;
    float textScale(const std::wstring& name) const;
    void setFrameVisible(const std::wstring& name, bool visible);
    void setFont(const base::CountedPtr<render::BMFont>& font)
    {
        mFont = font;
        mTextFits.clear();
    }

    // A picture of the layout's container (null when it or the picture is missing).
    static std::unique_ptr<render::Image> loadLayoutImage(file::ImageContainer* container, const std::wstring& name);
    // An entry that owns the picture (the entry's texture is null when the picture is null).
    static void giveImage(TDFrameEntry& entry, std::unique_ptr<render::Image> image);
    // The renderer's image behind an entry's texture, or null.
    static render::Image* imageOf(const TDFrameEntry& entry);

    i32 mDrawLayer = 0;
    std::unique_ptr<file::ImageContainer> mLayout;
    base::OwnedList<TDButtonFrame> mButtons;
    std::map<std::wstring, std::unique_ptr<TDFrameEntry>> mTextAreas;
    base::OwnedList<TDFrameEntry> mImages;
    std::vector<std::pair<std::wstring, std::wstring>> mTexts;
    base::CountedPtr<render::BMFont> mFont;
    float mTimer = 0.0f;
    float mOffsetX = 0.0f, mOffsetY = 0.0f;
    float mScale = 1.0f;
    // The fitted scale of each named text, with the text it was measured for.
    mutable std::map<std::wstring, std::pair<std::wstring, float>> mTextFits;
    float mPointerX = 0.0f, mPointerY = 0.0f;
    bool mOpen = true;
    // The HUD's appearance (a HUDAppear); the level-result window keeps its steps here instead.
    i32 mAppear = 0;

protected:
    void drawEntryImage(render::Graphics* graphics, const TDFrameEntry& entry);
    void drawButton(render::Graphics* graphics, const TDButtonFrame& button);
    void drawTexts(render::Graphics* graphics);
};
