// Every layout the shop and the unlock message open loads from the demo content and holds every
// layer they ask for by name.
#include "ShopFixture.h"

#include "Core/File/FileManager.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/TDUpgrades.h"

#include <fstream>
#include <memory>
#include <sstream>

using ShopLayouts = shoptest::ShopFixture;

namespace
{
void ExpectLayers(const std::wstring& layout, const std::vector<std::wstring>& names)
{
    std::unique_ptr<file::ImageContainer> c(file::FileManager::Instance()->OpenImageContainer(layout));
    ASSERT_NE(nullptr, c) << std::string(layout.begin(), layout.end());
    for (const std::wstring& name : names)
    {
        const base::ImageInfo* info = c->FindImage(name);
        EXPECT_NE(nullptr, info) << std::string(name.begin(), name.end());
        if (info)
        {
            EXPECT_GT(info->mWidth * info->mHeight, 0.0f) << std::string(name.begin(), name.end());
        }
    }
}
} // namespace

TEST_F(ShopLayouts, TheShopLayoutHoldsEveryPartOfItsPlatesTabsAndScrollBar)
{
    std::vector<std::wstring> names{L"back_header",        L"back_footer",           L"text/caption",
                                    L"text/gems",          L"tabs/up_button_ac",     L"tabs/up_button_in",
                                    L"item_plate/Layer_1", L"item_plate/stars/clear_star",
                                    L"item_plate/buy_ac",  L"item_plate/buy_in",     L"item_plate/grem",
                                    L"scroll/bar",         L"scroll/slider_in",      L"button/up_in",
                                    L"button/down_in",     L"button/back_ac",        L"button/return_ac",
                                    L"button/reset_premium_points"};
    for (int n = 1; n <= 6; ++n)
        names.push_back(L"item_plate/stars/star_0" + std::to_wstring(n));
    // The icon of every upgrade of the demo upgrade tree.
    TDUpgrades demo;
    std::ifstream in(contentDir() / "td" / "upgrades.xml");
    std::stringstream text;
    text << in.rdbuf();
    demo.readText(text.str());
    ASSERT_FALSE(demo.upgrades.empty());
    for (const TDUpgrade* u : demo.upgrades)
        names.push_back(L"icons/" + u->icon);
    ExpectLayers(L"td/shop", names);
}

TEST_F(ShopLayouts, TheMessageLayoutHoldsAnIconForEveryDemoUnlock)
{
    std::vector<std::wstring> names{L"button/ok", L"text/caption", L"text/button", L"text/message"};
    std::ifstream in(contentDir() / "td" / "unlocks.csv");
    std::string line;
    while (std::getline(in, line))
    {
        // "episode;level;id,id,..."
        const size_t ids = line.find(';', line.find(';') + 1);
        if (ids == std::string::npos)
            continue;
        std::stringstream list(line.substr(ids + 1));
        for (std::string id; std::getline(list, id, ',');)
            if (!id.empty() && id != "\r" && id.front() != '-')
                names.push_back(L"icons/id" + std::to_wstring(std::stoi(id)));
    }
    ASSERT_GT(names.size(), 4u);
    ExpectLayers(L"td/data/message", names);
}
