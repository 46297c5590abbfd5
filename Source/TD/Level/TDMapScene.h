// The level's spot frames and their boost icons, laid out from the build spots.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

class TDBuildSpot;
class TDImage;
struct TDLayerEntry;

// A background frame of the level: a layer of its background folder.
struct TDSceneLayer
{
    std::wstring name;
    float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
    i32 order = 0;
    float depth = 0.0f; // bottom edge: what the depth sort of the drawing uses
};

struct TDBoostIcon
{
    std::wstring sheet; // "td/ui", or empty for a loose picture
    std::wstring image; // "ui/radius_boost", ..., "td/data/context/small_icons/income"
    i32 x = 0;
    float y = 0.0f;
    float depth = 0.0f;
};

// A build spot's place on the map: the frame named "#" + index. hasTower is its own flag,
// separate from the spot's "open" (bought or no price).
struct TDSpotFrame
{
    std::string name;
    i32 x = 0, y = 0, width = 0, height = 0;
    i32 imageIndex = 0; // into the spot pictures: 0 free, 1 gold, 2 premium
    i32 order = -1;
    bool hasTower = false;
    TDBuildSpot* spot = nullptr; // not owned
    std::vector<TDBoostIcon> boosts;
};

class TDMapScene
{
public:
    // Sizes of the three spot pictures "spots/s", "spots/g", "spots/p".
    struct Size
    {
        i32 width = 0, height = 0;
    };

    explicit TDMapScene(std::string folder = "") : folder(std::move(folder)) {}

    // Adds the frame of spot index i with its boost icons; owned spots use picture 0.
    TDSpotFrame& addSpot(TDBuildSpot& spot, i32 index, bool owned);
    TDSpotFrame* findFrame(const std::string& name);
    // Background frames from the folder's layers, sorted by ascending layer order (stable); the
    // layers under "fx" also mark where the scenery's ambient effects play.
    void loadLayers(const std::vector<TDLayerEntry>& entries);

    std::string folder; // the background folder, "td/data/..." without a trailing "/"
    Size spotSizes[3];
    std::vector<TDSpotFrame> spotFrames;
    std::vector<TDSceneLayer> layers;
    std::vector<TDSceneLayer> effectPlaces; // the "fx" entries
};
