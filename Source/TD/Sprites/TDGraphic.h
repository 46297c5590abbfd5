// A sprite graphic: frame lists by the game's list names, filled from one sprite of a sheet.
#pragma once

#include "Source/TD/Sprites/TDFrameEntry.h"
#include "Source/TD/Sprites/TDImageSheet.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TDGraphic
{
public:
    // The list names, in the order the lists are filled; "" is the unnamed list.
    static const std::vector<std::string>& listNames();

    // Fills every list from the sheet's pictures under group ("" for the whole sheet): the list
    // N takes the pictures directly under N, or under group + "/" + N. Point lists get no texture.
    void fill(const std::shared_ptr<TDImageSheet>& sheet, const std::wstring& group, TDTextureLoader& loader);

    // The list of that name; an empty one when there is none.
    const std::vector<TDFrameEntry*>& frames(const std::string& list) const;
    i32 frameCount(const std::string& list) const { return static_cast<i32>(frames(list).size()); }
    // The point of entry index of a list ("s_point", "base_point", "pivot", "fire"); false when absent.
    bool point(const std::string& list, i32 index, float& x, float& y) const;
    // The largest x + width and y + height over every frame of every list (0 x 0 when empty).
    void size(float& width, float& height) const;
    // Any picture of the graphic's sheet by its full name ("ui/brush"), made once and kept with
    // its texture; null when the sheet has none of that name.
    const TDFrameEntry* picture(const std::wstring& name, TDTextureLoader& loader);

    std::wstring mPsd; // "td/" + the sheet or sprite name; with mImg the cache key
    i32 mId = 0;
    std::string mName;
    std::unique_ptr<TDTexture> mImage; // the single picture named by "img", or null
    u8 mAnimated = 0;
    std::wstring mImg;
    std::shared_ptr<TDImageSheet> mContainer;
    std::map<std::string, std::vector<TDFrameEntry*>> mFrames;

private:
    std::vector<std::unique_ptr<TDFrameEntry>> mOwned;
    std::map<std::wstring, std::unique_ptr<TDFrameEntry>> mPictures;
};
