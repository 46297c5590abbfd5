// The upgrade shop.
#include "Source/TD/Shell/HUDShopWindow.h"

#include "Core/Base/Log.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Resource/ResourceManager.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/TDScreenDraw.h"
#include "Source/TD/Sprites/TDResources.h"

#include <algorithm>

namespace
{
std::wstring localised(const std::wstring& key) { return LocalStrings::Instance()->get(key); }

base::CountedPtr<render::BMFont> fontNamed(const std::wstring& name)
{
    base::CountedPtr<render::BMFont> font = resource::ResourceManager::Instance()->Get<render::BMFont>(name);
    if (font && !font->IsLoaded())
        return {};
    return font;
}

void playSimple()
{
    if (auto play = HUDWindowContext::Get().playSound)
        play(L"simple");
}

const wchar_t* const kPlate = L"item_plate/Layer_1";
} // namespace

HUDShopWindow::HUDShopWindow(TDMap& map, HUD* hud, i32 originArg, const std::wstring& layout)
    : origin(originArg), mMap(map), mHud(hud)
{
    if (!buildFromLayout(layout))
        QL_LOG(L"Shop layout '%s' not opened: the shop shows nothing\n") << base::LogStyle::Error << layout;
    if (TDButtonFrame* hidden = findButton(origin == 0 ? L"return_ac" : L"back_ac"))
        hidden->mVisible = 0;
    map.mScreen = kScreenShop;
    setFont(fontNamed(L"td/data/fonts/main_80"));
    mCaption = localised(L"shop");
    setText(L"caption", mCaption);
    // Header and footer are drawn over the list, not under it: they leave the layout's pictures.
    mImages.deleteIf([](TDFrameEntry* image)
                     { return image->mName == L"back_header" || image->mName == L"back_footer"; });
    TDResources::Instance()->setLayerImage(*header, mLayout.get(), L"back_header");
    TDResources::Instance()->setLayerImage(*footer, mLayout.get(), L"back_footer");
    scrollBar = std::make_unique<ShopScrollBar>(mLayout.get());
    frame(L"item_plate/buy_ac"); // the buy buttons' hit rectangle
    std::vector<std::wstring> names;
    std::vector<bool> enabled;
    for (int i = 0; i < kSections; ++i)
    {
        names.push_back(L"shop_tab_" + std::to_wstring(i));
        enabled.push_back(sectionEnabled(i));
    }
    tabBar = std::make_unique<ShopTabBar>(mLayout.get(), names, enabled);
    buildList(currentTab);
    setText(L"gems", std::to_wstring(mMap.mStats.mGems));
}

HUDShopWindow::~HUDShopWindow()
{
    plates.clear();
    header.reset();
    footer.reset();
    tabBar.reset();
    scrollBar.reset();
    mFrames.clear();
}

const TDFrameEntry& HUDShopWindow::frame(const std::wstring& name)
{
    auto found = mFrames.find(name);
    if (found == mFrames.end())
        found = mFrames.emplace(name, tdscreen::makeFrame(mLayout.get(), name)).first;
    return *found->second;
}

bool HUDShopWindow::sectionEnabled(int tab) const
{
    std::vector<TDUpgrade*> section;
    mMap.mUpgrades.getSection(tab, section);
    return std::any_of(section.begin(), section.end(),
                       [this](const TDUpgrade* u) { return mMap.isUpgradeAvailable(*u, true); });
}

const TDUpgrade* HUDShopWindow::upgradeOf(const ShopUpgradePlate& plate) const
{
    for (const TDUpgrade* u : mMap.mUpgrades.upgrades)
        if (u->id == plate.upgradeId)
            return u;
    return nullptr;
}

bool HUDShopWindow::shopBlocked() const { return mHud && mHud->mShopBlock != 0; }

void HUDShopWindow::buildList(int tab)
{
    plates.clear();
    scrollBar->reset();
    mListY = 0.0f;
    const TDFrameEntry& base = frame(kPlate);
    std::vector<TDUpgrade*> section;
    mMap.mUpgrades.getSection(tab, section);
    for (const TDUpgrade* u : section)
    {
        if (!mMap.isUpgradeAvailable(*u, true))
            continue;
        auto plate = std::make_unique<ShopUpgradePlate>();
        plate->upgradeId = u->id;
        plate->origin = origin;
        plate->x = base.mX;
        plate->y = base.mY + kPlateSpacing * static_cast<float>(plates.size());
        refreshPlate(*plate);
        plates.push_back(std::move(plate));
    }
    const bool scrolling = plates.size() > 4;
    scrollBar->visible = scrolling;
    for (const wchar_t* name : {L"down_in", L"up_in"})
        if (TDButtonFrame* button = findButton(name))
            button->mVisible = scrolling ? 1 : 0;
}

void HUDShopWindow::refreshPlate(ShopUpgradePlate& plate)
{
    if (const TDUpgrade* u = upgradeOf(plate))
        plate.refresh(*u, mMap.mProgress->getUpgradeLevel(u->id), mMap.mProgress->getGems());
}

void HUDShopWindow::Refresh()
{
    for (auto& plate : plates)
        refreshPlate(*plate);
}

void HUDShopWindow::buy(ShopUpgradePlate& plate)
{
    playSimple();
    const TDUpgrade* u = upgradeOf(plate);
    if (u)
    {
        const i32 next = ShopUpgradePlate::nextStep(mMap.mProgress->getUpgradeLevel(u->id));
        const TDUpgradeStep* step = u->getStep(next);
        if (step && mMap.mStats.mGems >= step->costReal)
        {
            mMap.mProgress->setUpgradeLevel(u->id, next);
            mMap.mStats.spendGems(step->costReal);
            refreshPlate(plate);
            mMap.mProgress->flush();
        }
    }
    if (mMap.mHud)
        mMap.mHud->refreshTopWindow();
}

bool HUDShopWindow::buyHit(const ShopUpgradePlate& plate, int x, int y) const
{
    if (y < kBandTop || y > kBandBottom)
        return false;
    // Both pictures are looked up when the window is made.
    auto base = mFrames.find(kPlate), button = mFrames.find(L"item_plate/buy_ac");
    if (base == mFrames.end() || button == mFrames.end())
        return false;
    const TDFrameEntry& b = *button->second;
    const float left = plate.x + b.mX - base->second->mX;
    const float top = plate.y + mListY + b.mY - base->second->mY;
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    return fx >= left + 5.0f && fx <= left + b.mWidth - 5.0f && fy >= top + 5.0f && fy <= top + b.mHeight - 5.0f;
}

void HUDShopWindow::scrollTo(float position, bool moveSlider)
{
    scrollBar->position = std::clamp(position, 0.0f, 1.0f);
    mListY = -static_cast<float>(plateCount() - 3) * scrollBar->position * kScrollStep;
    if (moveSlider)
        scrollBar->follow();
}

void HUDShopWindow::Update(float dt)
{
    HUDWindow::Update(dt);
    tabBar->update(dt);
    for (auto& plate : plates)
        plate->update(dt);
    setText(L"gems", std::to_wstring(mMap.mStats.mGems));
}

void HUDShopWindow::MouseMove(int x, int y)
{
    for (auto& plate : plates)
        if (!plate->complete)
            plate->setHover(buyHit(*plate, x, y));
    HUDWindow::MouseMove(x, y);
    if (plateCount() > 3)
    {
        if (dragState != DragState::kIdle)
        {
            dragState = DragState::kMoved;
            lastDragY = y;
        }
        scrollBar->drag(x, y);
        if (scrollBar->held == 0)
            scrollTo(scrollBar->position, false);
    }
    tabBar->hover(x, y);
}

void HUDShopWindow::Release(int x, int y)
{
    if (dragState != DragState::kMoved)
    {
        for (size_t i = 0; i < plates.size(); ++i)
            if (!plates[i]->complete && buyHit(*plates[i], x, y))
            {
                buy(*plates[i]);
                break;
            }
    }
    scrollBar->release();
    dragState = DragState::kIdle;
}

void HUDShopWindow::Press(int x, int y)
{
    if (x >= 865 && x < 910 && y >= 201 && y < 620)
        dragState = DragState::kPressed;
    if (!shopBlocked())
    {
        // A hidden slider is not taken hold of: four plates do not scroll.
        if (scrollBar->visible)
            scrollBar->press(x, y);
        const int tab = tabBar->click(x, y);
        if (tab >= 0)
        {
            currentTab = tab;
            playSimple();
            buildList(tab);
        }
    }
    Refresh();
}

void HUDShopWindow::Wheel(int delta)
{
    if (plateCount() > 4)
        scrollTo(scrollBar->position - static_cast<float>(delta) / 1024.0f, true);
}

std::wstring HUDShopWindow::ButtonNameAt(int x, int y)
{
    if (shopBlocked())
        return L"";
    std::wstring name = HUDWindow::ButtonNameAt(x, y);
    if (name == L"down_in" || name == L"up_in")
    {
        const float p = scrollBar->position + (name == L"down_in" ? 0.25f : -0.25f);
        scrollTo(p, true);
        return L"";
    }
    if (name == L"reset_premium_points")
    {
        if (mHud)
            mHud->showModalDialog(localised(L"reset_upgrades_title"), localised(L"reset_upgrades_message"),
                                  kScreenNone);
        mMap.mScreen = kScreenResetUpgrades;
    }
    return name;
}

void HUDShopWindow::drawPart(render::Graphics* graphics, const std::wstring& name, float px, float py, float dy,
                             float scale)
{
    const TDFrameEntry& base = frame(kPlate);
    const TDFrameEntry& e = frame(name);
    tdscreen::drawImageCentred(graphics, imageOf(e), px + e.mX - base.mX + e.mWidth * 0.5f,
                               py + e.mY - base.mY + dy + e.mHeight * 0.5f, scale);
}

void HUDShopWindow::drawPlate(render::Graphics* graphics, const ShopUpgradePlate& p)
{
    const float px = p.x, py = p.y + mListY;
    const TDFrameEntry& base = frame(kPlate);
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    drawPart(graphics, kPlate, px, py, 0.0f, 1.0f);
    const TDFrameEntry& icon = frame(L"icons/" + p.icon);
    tdscreen::drawImageCentred(graphics, imageOf(icon), px + 35.0f + icon.mWidth * 0.5f, py + 60.0f, 1.0f);
    drawPart(graphics, L"item_plate/stars/clear_star", px, py, 20.0f, 1.0f);
    for (int n = 0; n < p.starCount; ++n)
        if (p.starShown(n))
            drawPart(graphics, L"item_plate/stars/star_0" + std::to_wstring(n + 1), px, py, 20.0f, 1.0f);
    if (p.buyInactive)
        drawPart(graphics, L"item_plate/buy_in", px, py, 0.0f, p.buttonScale);
    if (p.buyActive)
        drawPart(graphics, L"item_plate/buy_ac", px, py, 0.0f, p.buttonScale);
    if (p.gemShown)
        drawPart(graphics, L"item_plate/grem", px, py, 0.0f, 1.0f);
    const float w = base.mWidth;
    // The name and the step's text each keep to their own line of the plate.
    tdscreen::drawTextFitted(graphics, fontNamed(L"td/data/fonts/main_42_3").Get(), p.nameText, px + w * 0.5f,
                             py + 45.0f, 1.0f, kPlateTextWidth, kPlateNameHeight, p.nameFit);
    tdscreen::drawTextFitted(graphics, fontNamed(L"td/data/fonts/main_32_2").Get(), p.descriptionText,
                             px + w * 0.5f - 90.0f, py + 74.0f, 1.0f, kPlateTextWidth, kPlateLineHeight,
                             p.descriptionFit);
    if (p.priceShown)
    {
        if (p.priceRed)
            graphics->SetColorRGBA(0.94f, 0.44f, 0.44f, 1.0f);
        tdscreen::drawTextCentred(graphics, fontNamed(L"td/data/fonts/main_42_3").Get(), p.priceText, px + 650.0f,
                                  py + 60.0f, 1.0f, 70.0f);
        graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    }
}

void HUDShopWindow::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    render::Font* previous = graphics->mFont;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    for (const TDFrameEntry* image : mImages)
        if (image->mVisible)
            drawEntryImage(graphics, *image);
    for (const TDButtonFrame* button : mButtons)
        drawButton(graphics, *button);
    for (const auto& plate : plates)
        drawPlate(graphics, *plate);
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    scrollBar->draw(graphics);
    // Header and footer cover the list's ends; the buttons stay above the footer.
    drawEntryImage(graphics, *header);
    drawEntryImage(graphics, *footer);
    for (const TDButtonFrame* button : mButtons)
        if (button->mVisible)
        {
            TDButtonFrame flat;
            flat.mX = button->mX;
            flat.mY = button->mY;
            flat.mWidth = button->mWidth;
            flat.mHeight = button->mHeight;
            flat.mImage = button->mImage;
            drawButton(graphics, flat);
        }
    tabBar->draw(graphics);
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    drawTexts(graphics);
    graphics->mFont = previous;
}
