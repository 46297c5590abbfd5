// A screen's own over-buttons, one per folder of its layout's "button" group in listing order,
// labelled by the localised text of each button's full name. The small windows, the profiles
// screen and the name input draw, hover, press and hit-test them alike.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Source/TD/Shell/HUDButtonOver.h"

#include <string>
#include <vector>

namespace file
{
class ImageContainer;
}
namespace render
{
class Graphics;
}
class GameWindow;
struct HUDButtonPlace;

class HUDButtonList
{
public:
    HUDButtonList() = default;
    ~HUDButtonList();
    HUDButtonList(const HUDButtonList&) = delete;
    HUDButtonList& operator=(const HUDButtonList&) = delete;

    // The folders of the layout's "button" group ("button/b1_ok/pos" names "b1_ok"), in listing
    // order.
    static std::vector<std::wstring> fullNames(file::ImageContainer* layout);
    // Replaces the list with the layout's buttons: "b2_play" in the caption font, the others in
    // the window font.
    void build(file::ImageContainer* layout);
    void clear();

    // Keeps the drawing context's font as it was.
    void draw(render::Graphics* graphics);
    void update(float dt);
    void hover(int x, int y);
    void press(int x, int y);
    void release(int x, int y);
    // Index of the first visible button holding the point, or -1.
    int hitIndex(int x, int y) const;
    // Name of the first visible button holding the point after the "simple" sound; "" (silent)
    // for none.
    std::wstring nameAt(int x, int y) const;
    HUDButtonOver* find(const std::wstring& name) const;
    // The centre of the named button where it is drawn; false when there is none.
    bool centre(const std::wstring& name, float& x, float& y) const;
    static bool centreOf(const HUDButtonOver* button, float& x, float& y);
    // Each button's normal picture where it is drawn.
    void list(std::vector<HUDButtonPlace>& out) const { listOf(mButtons, out); }
    static void listOf(const base::OwnedList<HUDButtonOver>& buttons, std::vector<HUDButtonPlace>& out);
    HUDButtonOver* at(size_t index) const { return index < mButtons.size() ? mButtons[index] : nullptr; }
    size_t size() const { return mButtons.size(); }

    base::OwnedList<HUDButtonOver> mButtons;
};

// The root board of the running game, or null (no application, or another screen frame).
GameWindow* HUDRootBoard();
// The root board's pointer, for windows that follow it in their update; false without a board.
bool HUDRootPointer(float& x, float& y);
// Plays a sound tag through the windows' sound hook, when set.
void HUDPlaySound(const std::wstring& tag);
