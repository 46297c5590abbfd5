// The level's spot frames and their boost icons.
#include "Source/TD/Level/TDMapScene.h"

#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDBuildSpot.h"
#include "Source/TD/Seams/TDBattleServices.h"

#include <algorithm>
#include <cmath>

TDSpotFrame& TDMapScene::addSpot(TDBuildSpot& spot, i32 index, bool owned)
{
    TDSpotFrame frame;
    frame.name = "#" + std::to_string(index);
    frame.spot = &spot;
    if (owned)
        spot.open = true;
    frame.imageIndex = owned ? 0 : std::clamp(spot.type, 0, 2);
    const Size& size = spotSizes[frame.imageIndex];
    frame.x = tdtext::truncToInt(spot.x - static_cast<float>(size.width) * 0.5f);
    frame.y = tdtext::truncToInt(spot.y - static_cast<float>(size.height) * 0.5f);
    frame.width = size.width;
    frame.height = size.height;

    float radius = spot.properties.getFloat("radius_mult");
    float damage = spot.properties.getFloat("damage_mult");
    float income = spot.properties.getFloat("income_mult");
    if (radius < 1.0f)
        frame.boosts.push_back({L"td/ui", L"ui/radius_unboost"});
    else if (radius > 1.0f)
        frame.boosts.push_back({L"td/ui", L"ui/radius_boost"});
    if (damage < 1.0f)
        frame.boosts.push_back({L"td/ui", L"ui/power_unboost"});
    else if (damage > 1.0f)
        frame.boosts.push_back({L"td/ui", L"ui/power_boost"});
    if (!(income == 1.0f)) // a NaN shows the icon too
        frame.boosts.push_back({L"", L"td/data/context/small_icons/income"});

    float n = static_cast<float>(frame.boosts.size());
    float s = std::max(n - 1.0f, 0.0f) * 33.0f * 0.5f;
    for (size_t k = 0; k < frame.boosts.size(); ++k)
    {
        TDBoostIcon& icon = frame.boosts[k];
        icon.x = tdtext::truncToInt(static_cast<float>(frame.x) + static_cast<float>(frame.width) * 0.5f - s +
                                    static_cast<float>(k) * 33.0f);
        icon.y = static_cast<float>(frame.y) + static_cast<float>(frame.height) * 0.5f + 25.0f;
        icon.depth = icon.y + 30.0f;
    }
    spotFrames.push_back(frame);
    return spotFrames.back();
}

TDSpotFrame* TDMapScene::findFrame(const std::string& name)
{
    for (TDSpotFrame& frame : spotFrames)
        if (frame.name == name)
            return &frame;
    return nullptr;
}

void TDMapScene::loadLayers(const std::vector<TDLayerEntry>& entries)
{
    for (const TDLayerEntry& entry : entries)
    {
        TDSceneLayer layer{
            entry.name, entry.x, entry.y, entry.width, entry.height, entry.order, entry.y + entry.height};
        layers.push_back(layer);
        if (entry.name.rfind(L"fx/", 0) == 0)
            effectPlaces.push_back(layer);
    }
    std::stable_sort(layers.begin(), layers.end(),
                     [](const TDSceneLayer& a, const TDSceneLayer& b) { return a.order < b.order; });
}
