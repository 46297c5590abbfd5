// Asks for a player-profile name over the layout "td/data/mm": screen 14 creates a profile,
// screen 15 renames the current one. Names are typed at the end only (letters, digits and
// Cyrillic letters the font can show, at most 16); "ok" shows only for a valid name: not empty
// and not already a profile's. When the name is refused the message line says why.
#pragma once

#include "Source/TD/Shell/HUDButtonWindow.h"

#include <string>

class HUD;
class TDMap;

class HUDModalInput : public HUDButtonWindow
{
public:
    static constexpr const wchar_t* kLayout = L"td/data/mm";
    static constexpr size_t kMaxLength = 16;
    static constexpr int kBackspace = 8;
    static constexpr int kEnter = 13;
    // The engine's code of the Return key (the keypad's Enter shares its virtual key).
    static constexpr int kEnterCode = 271;
    // The name starts this far inside the field, and ends at least as far from its right edge.
    static constexpr float kFieldInset = 15.0f;

    HUDModalInput(HUD* hud, TDMap* map);
    ~HUDModalInput() override;

    void Draw(render::Graphics* graphics) override;
    void Char(int character) override;
    void KeyDown(int key) override;
    // The button under the point; "cancel" while renaming and "ok" act here (the window may be
    // gone when this returns).
    std::wstring ButtonNameAt(int x, int y) override;

    // What "ok" does: a valid name creates or renames the profile and the window closes (it is
    // deleted when this returns true); otherwise the message line says why and false.
    bool confirm();

    // Not empty and no other profile has it (exact comparison); renaming may keep the own name.
    bool isValidName(const std::wstring& name) const;
    // Renaming, and the name is the current profile's.
    bool isOwnName(const std::wstring& name) const;
    static bool isNameCharacter(int character);

    // Own buttons: 0 "cancel", 1 "ok".
    TDFrameEntry* mInputField = nullptr;
    std::wstring mText;

    // The scale (1 down to half) at which the name and its caret fit the field.
    float fieldFit(render::Font* font, const std::wstring& shown);

private:
    void textChanged();

    HUD* mHud;
    TDMap* mMap;
    std::wstring mFittedText;
    render::Font* mFittedFont = nullptr;
    float mFit = 1.0f;
};
