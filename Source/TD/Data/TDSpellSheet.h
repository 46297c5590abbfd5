// The spells the player can cast ("td/spells_sheet.csv"), by spell id.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Seams/TDBattleServices.h"

#include <memory>
#include <string>
#include <vector>

struct TDSpellProto
{
    i32 protoId = 0; // the prototype the spell fires
    std::string image;
    std::string image2;
    i32 id = 0;
    std::unique_ptr<TDImage> imageTexture; // null when the picture is missing
    std::unique_ptr<TDImage> image2Texture;
};

class TDSpellSheet
{
public:
    TDSpellSheet() = default;
    // Positional rows of six cells; a first cell of exactly "#" skips the row. Missing cells read
    // 0 or empty. Pictures come from images (none when null).
    void readText(const std::string& text, TDImageLoader* images);
    void load(TDImageLoader* images);

    // The first record with that spell id, or null.
    const TDSpellProto* findById(i32 id) const;

    std::vector<std::unique_ptr<TDSpellProto>> spells;
};
