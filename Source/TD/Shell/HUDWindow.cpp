// Screens built from layouts: building, drawing about the screen centre and button lookups.
#include "Source/TD/Shell/HUDWindow.h"

#include "Core/Base/Transform2D.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Framework/GameApplication.h"
#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/Shell/TDScreenDraw.h"

#include <algorithm>

HUDWindowContext& HUDWindowContext::Get()
{
    static HUDWindowContext context;
    return context;
}

HUDWindow::HUDWindow() : mFont(HUDWindowContext::Get().windowFont) {}

HUDWindow::HUDWindow(const std::wstring& layout) : HUDWindow()
{
    buildFromLayout(layout);
    mLayout.reset();
}

HUDWindow::~HUDWindow()
{
    mButtons.clear();
    mTextAreas.clear();
    mImages.clear();
}

std::unique_ptr<render::Image> HUDWindow::loadLayoutImage(file::ImageContainer* container, const std::wstring& name)
{
    framework::GameApplication* app = framework::GameApplication::Get();
    if (!container || !app || !app->mRender)
        return nullptr;
    return std::unique_ptr<render::Image>(app->LoadImage(name, container));
}

void HUDWindow::giveImage(TDFrameEntry& entry, std::unique_ptr<render::Image> image)
{
    if (image)
        entry.setOwnedImage(std::make_unique<TDRenderTexture>(std::move(image), nullptr));
}

render::Image* HUDWindow::imageOf(const TDFrameEntry& entry)
{
    const auto* texture = dynamic_cast<const TDRenderTexture*>(entry.mImage);
    return texture ? texture->image() : nullptr;
}

namespace
{
void place(TDFrameEntry& entry, const base::ImageInfo& info, const std::wstring& name)
{
    entry.mName = name;
    entry.mX = info.mX;
    entry.mY = info.mY;
    entry.mWidth = info.mWidth;
    entry.mHeight = info.mHeight;
    entry.mOrder = static_cast<i32>(info.mIndex);
    entry.mVisible = 1;
}
} // namespace

bool HUDWindow::buildFromLayout(const std::wstring& layout)
{
    mLayout.reset(file::FileManager::Instance()->OpenImageContainer(layout));
    if (!mLayout)
        return false;
    const u32 count = mLayout->GetImageCount();
    // Top-level images, the "button" group (with its subgroups) and the "text" group, each in
    // listing order.
    for (u32 i = 0; i < count; ++i)
    {
        const base::ImageInfo* info = mLayout->GetImage(i);
        if (!info || info->mName.find(L'/') != std::wstring::npos)
            continue;
        auto entry = std::make_unique<TDFrameEntry>();
        place(*entry, *info, info->mName);
        giveImage(*entry, loadLayoutImage(mLayout.get(), info->mName));
        mImages.push_back(std::move(entry));
    }
    for (u32 i = 0; i < count; ++i)
    {
        const base::ImageInfo* info = mLayout->GetImage(i);
        if (!info || info->mName.rfind(L"button/", 0) != 0)
            continue;
        auto button = std::make_unique<TDButtonFrame>();
        place(*button, *info, file::GetBaseName(info->mName));
        giveImage(*button, loadLayoutImage(mLayout.get(), info->mName));
        mButtons.push_back(std::move(button));
    }
    for (u32 i = 0; i < count; ++i)
    {
        const base::ImageInfo* info = mLayout->GetImage(i);
        if (!info || info->mName.rfind(L"text/", 0) != 0 || info->mName.find(L'/', 5) != std::wstring::npos)
            continue;
        const std::wstring name = file::GetBaseName(info->mName);
        if (mTextAreas.count(name))
            continue; // the first area of a name holds
        auto area = std::make_unique<TDFrameEntry>();
        place(*area, *info, name);
        mTextAreas.emplace(name, std::move(area));
    }
    mImages.stableSort(TDFrameEntry::lessByOrder);
    return true;
}

void HUDWindow::Update(float dt)
{
    mTimer += dt;
    for (TDButtonFrame* button : mButtons)
        button->update(dt);
}

void HUDWindow::MouseMove(int x, int y)
{
    mPointerX = static_cast<float>(x);
    mPointerY = static_cast<float>(y);
    // The layout's buttons zoom under the pointer, as every button of the screens does.
    for (TDButtonFrame* button : mButtons)
    {
        button->pointer(x, y);
        button->mState = button->mVisible && button->mHover ? kButtonFrameHovered : kButtonFrameIdle;
    }
}

namespace
{
bool holds(const TDFrameEntry& e, int x, int y)
{
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    return fx >= e.mX && fx <= e.mX + e.mWidth && fy >= e.mY && fy <= e.mY + e.mHeight;
}
} // namespace

int HUDWindow::ButtonAt(int x, int y)
{
    for (size_t i = 0; i < mButtons.size(); ++i)
        if (holds(*mButtons[i], x, y))
            return static_cast<int>(i);
    return -1;
}

std::wstring HUDWindow::ButtonNameAt(int x, int y)
{
    for (TDButtonFrame* button : mButtons)
        if (button->mVisible && holds(*button, x, y))
        {
            if (auto play = HUDWindowContext::Get().playSound)
                play(L"simple");
            return button->mName;
        }
    return std::wstring();
}

void HUDWindow::listButtons(std::vector<ButtonPlace>& out) const
{
    for (const TDButtonFrame* button : mButtons)
        out.push_back({button->mName, button->mX, button->mY, button->mWidth, button->mHeight, button->mVisible != 0});
}

bool HUDWindow::buttonCentre(const std::wstring& name, float& x, float& y) const
{
    std::vector<ButtonPlace> places;
    listButtons(places);
    for (const ButtonPlace& place : places)
        if (place.name == name)
        {
            x = place.x + place.width * 0.5f;
            y = place.y + place.height * 0.5f;
            return true;
        }
    return false;
}

TDButtonFrame* HUDWindow::findButton(const std::wstring& name) const
{
    for (TDButtonFrame* button : mButtons)
        if (button->mName == name)
            return button;
    return nullptr;
}

void HUDWindow::setText(const std::wstring& name, const std::wstring& text)
{
    for (auto& entry : mTexts)
        if (entry.first == name)
        {
            entry.second = text;
            return;
        }
    mTexts.emplace_back(name, text);
}

const std::wstring* HUDWindow::getText(const std::wstring& name) const
{
    for (const auto& entry : mTexts)
        if (entry.first == name)
            return &entry.second;
    return nullptr;
}

void HUDWindow::setFrameVisible(const std::wstring& name, bool visible)
{
    for (TDFrameEntry* image : mImages)
        if (image->mName == name)
            image->mVisible = visible ? 1 : 0;
}

void HUDWindow::drawEntryImage(render::Graphics* graphics, const TDFrameEntry& entry)
{
    render::Image* image = imageOf(entry);
    if (!image)
        return;
    const HUDWindowContext& c = HUDWindowContext::Get();
    math::Transform2D t;
    t.Translate(entry.mX + mOffsetX - c.centreX, entry.mY + mOffsetY - c.centreY);
    t.Scale(mScale, mScale);
    t.Translate(c.centreX, c.centreY);
    graphics->DrawImage(image).Transform(t);
}

void HUDWindow::drawButton(render::Graphics* graphics, const TDButtonFrame& button)
{
    render::Image* image = imageOf(button);
    if (!image || !button.mVisible)
        return;
    // The button grows about its own centre, and the window scales about the screen centre. One
    // scale, then one move: a lazy transform scaled again after a move would leave the move
    // unscaled, and a growing window's buttons would stand at their full-size places.
    const HUDWindowContext& c = HUDWindowContext::Get();
    math::Transform2D t;
    t.Scale(button.mScale * mScale, button.mScale * mScale);
    t.Translate(c.centreX + (button.mX + button.mWidth * 0.5f + mOffsetX - c.centreX) * mScale,
                c.centreY + (button.mY + button.mHeight * 0.5f + mOffsetY - c.centreY) * mScale);
    auto command = graphics->DrawImage(image).Transform(t);
    command->mAlignH = 2;
    command->mAlignV = 2;
}

render::BMFont* HUDWindow::textFont(const std::wstring& name) const
{
    const bool big = name == L"caption" || name == L"levelResult";
    return big ? HUDWindowContext::Get().captionFont.Get() : mFont.Get();
}

float HUDWindow::textScale(const std::wstring& name) const
{
    const std::wstring* text = getText(name);
    auto area = mTextAreas.find(name);
    if (!text || area == mTextAreas.end())
        return 1.0f;
    // Measured once per text: the draw asks every frame.
    auto known = mTextFits.find(name);
    if (known != mTextFits.end() && known->second.first == *text)
        return known->second.second;
    const float fit = tdscreen::fitScale(textFont(name), *text, area->second->mWidth, area->second->mHeight);
    mTextFits[name] = {*text, fit};
    return fit;
}

void HUDWindow::drawTexts(render::Graphics* graphics)
{
    const HUDWindowContext& c = HUDWindowContext::Get();
    render::Font* previous = graphics->mFont;
    for (const auto& [name, text] : mTexts)
    {
        render::BMFont* font = textFont(name);
        if (font)
            graphics->mFont = font;
        auto found = mTextAreas.find(name);
        if (found == mTextAreas.end() || !graphics->mFont || text.empty())
            continue;
        const TDFrameEntry& area = *found->second;
        graphics->SetColorRGBA(area.mColor.r, area.mColor.g, area.mColor.b, area.mColor.a);
        // A text longer than its area (a long player name) is drawn smaller until it fits.
        const float fit = textScale(name);
        math::Transform2D t;
        // A button's label (a text place on the button's rectangle) zooms with the button.
        float zoom = 1.0f;
        for (const TDButtonFrame* button : mButtons)
            if (button->mVisible && button->mX == area.mX && button->mY == area.mY && button->mWidth == area.mWidth &&
                button->mHeight == area.mHeight)
                zoom = button->mScale;
        t.Scale(fit * zoom * mScale, fit * zoom * mScale);
        t.Translate(c.centreX + (area.mX + area.mWidth * 0.5f + mOffsetX - c.centreX) * mScale,
                    c.centreY + (area.mY + area.mHeight * 0.5f + mOffsetY - c.centreY) * mScale);
        auto command = graphics->DrawTextWrapped(&text, area.mWidth / fit, 0.0f, 2, true).Transform(t);
        command->mAlignH = 2;
        command->mAlignV = 2;
    }
    graphics->mFont = previous;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
}

void HUDWindow::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    for (const TDFrameEntry* image : mImages)
        if (image->mVisible)
            drawEntryImage(graphics, *image);
    for (const TDButtonFrame* button : mButtons)
        drawButton(graphics, *button);
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    drawTexts(graphics);
}
