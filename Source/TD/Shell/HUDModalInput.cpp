// The profile-name input.
#include "Source/TD/Shell/HUDModalInput.h"

#include "Core/Base/Transform2D.h"
#include "Core/File/Profiles.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/TDScreenDraw.h"

#include <algorithm>

namespace
{
std::wstring localised(const wchar_t* key) { return LocalStrings::Instance()->get(key); }

// The font the name is checked against: the root board's "main_32_2", else none.
render::BMFont* glyphFont()
{
    GameWindow* board = HUDRootBoard();
    return board ? board->mFontMain32_2.Get() : nullptr;
}
} // namespace

HUDModalInput::HUDModalInput(HUD* hud, TDMap* map) : HUDButtonWindow(kLayout), mHud(hud), mMap(map)
{
    const TDScreen screen = mMap ? mMap->mScreen : kScreenNone;
    TDProgress* progress = mMap ? mMap->mProgress.get() : nullptr;
    if (screen == kScreenProfileCreate)
    {
        // The player's profiles, without the store's hidden default one.
        const size_t count = progress ? progress->profileNames().size() : 0;
        mText = localised(L"default_player") + std::to_wstring(count);
    }
    else if (screen == kScreenProfileRename && progress)
        mText = progress->currentName();
    mText = mText.substr(0, std::min(mText.size(), kMaxLength));

    for (TDFrameEntry* image : mImages)
        if (image->mName == L"input")
            mInputField = image;
    setText(L"caption", localised(L"profile_edit_caption"));
    textChanged();
}

HUDModalInput::~HUDModalInput() = default;

bool HUDModalInput::isOwnName(const std::wstring& name) const
{
    return mMap && mMap->mScreen == kScreenProfileRename && mMap->mProgress && mMap->mProgress->currentName() == name;
}

bool HUDModalInput::isValidName(const std::wstring& name) const
{
    if (name.empty())
        return false;
    // Renaming keeps the player's own name as it is: no other profile holds it.
    if (isOwnName(name))
        return true;
    const std::vector<std::wstring> names = file::Profiles::Instance()->GetProfileNames();
    return std::find(names.begin(), names.end(), name) == names.end();
}

bool HUDModalInput::isNameCharacter(int c)
{
    return (c >= 0x30 && c <= 0x39) || (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A) ||
           (c >= 0x410 && c <= 0x44F);
}

void HUDModalInput::textChanged()
{
    const bool valid = isValidName(mText);
    if (HUDButtonOver* ok = mOwnButtons.at(1))
        ok->mVisible = valid;
    // The refusal is said on the message line, so a hidden "ok" is never a mystery.
    if (valid)
        setText(L"message", std::wstring());
    else
        setText(L"message", localised(mText.empty() ? L"profile_name_empty" : L"profile_name_taken"));
}

void HUDModalInput::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    HUDButtonWindow::Draw(graphics);
    if (!mInputField)
        return;
    if (const GameWindow* board = HUDRootBoard(); board && board->mFontMain42_3)
        graphics->mFont = board->mFontMain42_3.Get();
    else if (HUDWindowContext::Get().windowFont)
        graphics->mFont = HUDWindowContext::Get().windowFont.Get();
    if (!graphics->mFont)
        return;
    const std::wstring shown = mText + L"|";
    const float fit = fieldFit(graphics->mFont, shown);
    math::Transform2D t;
    t.Scale(fit, fit);
    t.Translate(mInputField->mX + kFieldInset, mInputField->mY + mInputField->mHeight * 0.5f);
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    auto command = graphics->DrawText(&shown).Transform(t);
    command->mAlignH = 0;
    command->mAlignV = 2;
}

float HUDModalInput::fieldFit(render::Font* font, const std::wstring& shown)
{
    // Measured once per text: the draw asks every frame.
    if (shown == mFittedText && font == mFittedFont)
        return mFit;
    float width = 0.0f, height = 0.0f;
    tdscreen::measureWrapped(font, shown, 0.0f, width, height);
    const float room = mInputField->mWidth - 2.0f * kFieldInset;
    mFit = width > room ? std::max(0.5f, room / width) : 1.0f;
    mFittedText = shown;
    mFittedFont = font;
    return mFit;
}

void HUDModalInput::Char(int c)
{
    if (mText.size() >= kMaxLength || c == 0x20 || !isNameCharacter(c))
        return;
    // Without the board's font (tests without a game) every listed character is taken.
    if (const render::BMFont* font = glyphFont(); font && !font->HasGlyph(static_cast<wchar_t>(c)))
        return;
    mText.push_back(static_cast<wchar_t>(c));
    textChanged();
}

void HUDModalInput::KeyDown(int key)
{
    if (key != kBackspace)
        return;
    if (!mText.empty())
        mText.pop_back();
    textChanged();
}

std::wstring HUDModalInput::ButtonNameAt(int x, int y)
{
    const std::wstring name = mOwnButtons.nameAt(x, y);
    if (name.empty() || !mMap)
        return name;
    // Copied: closing the top window deletes this window.
    HUD* hud = mHud;
    TDMap* map = mMap;
    const TDScreen screen = map->mScreen;
    if (name == L"cancel")
    {
        if (screen == kScreenProfileRename && hud)
        {
            hud->closeTopWindow();
            map->mScreen = kScreenProfiles;
        }
        return name;
    }
    if (name != L"ok" || (screen != kScreenProfileCreate && screen != kScreenProfileRename))
        return name;
    return confirm() ? name : std::wstring();
}

bool HUDModalInput::confirm()
{
    if (!mMap || (mMap->mScreen != kScreenProfileCreate && mMap->mScreen != kScreenProfileRename))
        return false;
    HUD* hud = mHud;
    TDMap* map = mMap;
    const TDScreen screen = map->mScreen;
    const std::wstring text = mText;
    if (!isValidName(text))
    {
        textChanged();
        return false;
    }
    if (TDProgress* progress = map->mProgress.get(); progress && !isOwnName(text))
    {
        if (screen == kScreenProfileCreate)
            progress->createProfile(text);
        else
            progress->renameProfile(text);
        progress->flush();
    }
    if (!hud)
        return true;
    hud->closeTopWindow();
    const TDAfterProfileInput origin = map->mAfterProfileInput;
    if (origin == kAfterInputPlay)
    {
        hud->closeTopWindow();
        hud->showEpisodeSelect();
    }
    else if (origin == kAfterInputShop)
    {
        hud->closeTopWindow();
        hud->showShop(false);
        map->mShopReturnTarget = kShopReturnMainMenu;
    }
    else
        map->mScreen = kScreenProfiles;
    hud->refreshTopWindow();
    return true;
}
