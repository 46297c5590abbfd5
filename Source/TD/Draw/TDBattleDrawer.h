// One drawn frame of the battle: towers, units and their shadows, build spots, effects and the
// start buttons gathered into one depth-sorted list, then bullets, indicators, sprites, drops,
// particles and the HUD in a fixed order over it.
#pragma once

#include "Core/Base/Transform2D.h"
#include "Core/Base/Types.h"
#include "Source/TD/Seams/TDBattleCanvas.h"
#include "Source/TD/Seams/TDScreen.h"
#include "Source/TD/Sprites/TDSpritePainter.h"

#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

struct TDBoostIcon;
class TDAnimation;
class TDEmitter;
class TDGraphic;
class TDLink;
class TDMap;
class TDResources;
class TDSpriteTable;
class TDTexture;
class TDPrototype;
class TDTower;
class TDUnit;

// One item of a frame's draw list: an image or an emitter, placed and tinted.
struct TDDrawItem
{
    const TDTexture* image = nullptr;
    float width = 0.0f, height = 0.0f;
    TDEmitter* emitter = nullptr;
    TDColor color;
    bool shaded = false; // the unit shader with fill as its second colour
    u32 fill = 0xFFFFFFFFu;
    math::Transform2D transform;
    bool additive = false;
    bool flipH = false;
    float depth = 0.0f;
    // What it shows, for the logs and the tests: "tower:101", "unit:3", "shadow:3", "spot:0".
    std::string tag;

    // The battle's depth order: lower depth (higher on the screen) first.
    static bool lessByDepth(const TDDrawItem& a, const TDDrawItem& b) { return a.depth < b.depth; }
};

// The battle's draw lists of one frame, by layer: indices into one pool of items, so that
// sorting and merging move no items. The storage is kept from frame to frame.
struct TDDrawLists
{
    std::vector<TDDrawItem> pool;
    std::vector<u32> main;
    std::vector<u32> groundShadows;
    std::vector<u32> groundObjects;
    std::vector<u32> airShadows;
    std::vector<u32> airObjects;
    std::vector<u32> pictures; // single-picture units, drawn as they come before the lists
    // Puts the item in the pool and its index at the end of list.
    void add(TDDrawItem&& item, std::vector<u32>& list);
    // Sorts a list by ascending depth; equal depths keep their queueing order, so that nothing
    // flickers from frame to frame.
    void sortByDepth(std::vector<u32>& list);
    void clear();
};

class TDBattleDrawer
{
public:
    // Pictures come from the sprite store; textures through its loader. The drawer forgets the
    // pictures of a graphic when the store releases it.
    TDBattleDrawer(TDMap& map, TDResources& resources);
    ~TDBattleDrawer();
    TDBattleDrawer(const TDBattleDrawer&) = delete;
    TDBattleDrawer& operator=(const TDBattleDrawer&) = delete;

    // Where the kinds' graphics are looked up when a prototype holds none (not owned; may be null).
    void setSpriteTable(const TDSpriteTable* table) { mTable = table; }
    // The pictures of the battle's interface from the "td/ui" sheet (bar, stars, boost sign).
    void loadUiImages();
    // The level's background layers, back to front, with the battle transform (the ambient
    // effects' places are not pictures).
    void drawBackground(TDBattleCanvas& canvas);
    // One frame of the battle and its HUD, over the level's background.
    void draw(TDBattleCanvas& canvas);

    // Queues the unit's frame and shadow into the lists; nothing without an entry or a kind.
    void queueUnit(TDUnit& unit, TDDrawLists& lists);
    // The tower's current frame as an item (depth = its base y); false when it shows none.
    bool towerItem(TDTower& tower, TDDrawItem& item);
    // The tower's current frame drawn at once, in the current transform.
    void drawTowerNow(TDTower& tower, TDBattleCanvas& canvas);
    void drawUnitOverlay(const TDUnit& unit, TDBattleCanvas& canvas);
    void drawTowerOverlay(const TDTower& tower, TDBattleCanvas& canvas);

    // The road dots: brush images along every link of the level, 25 apart along each curve, in
    // link order; added to list with colour and blending as given.
    void queueLinks(std::vector<u32>& list, const TDColor& color, bool additive);

    // The level's field in battle coordinates, at the origin.
    static constexpr float kFieldWidth = 1024.0f, kFieldHeight = 768.0f;
    // The screens over which the battle stays visible: 0, 1, 2, 4, 11.
    static bool showsBattle(TDScreen screen);
    // The start-button text for remaining whole seconds.
    static std::wstring waveText(i32 remaining);

    // The frame lists of the last draw before they were emptied (tests read the order).
    std::vector<std::string>* mTrace = nullptr;

private:
    // The flicker of units being teleported: a source of its own, so that what is drawn never
    // changes how the battle runs.
    std::minstd_rand mBeamFlicker{1u};
    struct Picture
    {
        const TDTexture* image = nullptr;
        float width = 0.0f, height = 0.0f;
    };
    // A picture of a sheet ("td/ui", "ui/bar"), looked up once.
    Picture picture(const std::wstring& sheet, const std::wstring& name);
    // A picture named by its full path, the sheet being its first three parts
    // ("td/data/ui_parts" + "shadows/dragon_shadow").
    Picture pathPicture(const std::wstring& path);
    Picture splitPathPicture(const std::wstring& path);
    // A spot's boost icon: a picture of a sheet, or a loose picture file.
    Picture boostPicture(const TDBoostIcon& icon);
    // Drops the cached pictures of a graphic being released (a level's background).
    void forget(const TDGraphic& graphic);
    const TDGraphic* graphicOf(const TDPrototype* p) const;
    // A graphic's height (its frames' largest bottom edge), measured once.
    float graphicHeight(const TDGraphic* graphic);
    // Clips what follows to the field as the battle transform places it on the screen.
    void beginFieldClip(TDBattleCanvas& canvas);
    void buildList(TDBattleCanvas& canvas);
    void drawList(TDBattleCanvas& canvas);
    void drawWaveTexts(TDBattleCanvas& canvas);
    // Frame index of a graphic's unnamed list, placed so that its "s_point" lies on (x, y).
    void drawSpriteFrame(TDBattleCanvas& canvas, const TDGraphic& graphic, size_t index, float x, float y);
    void drawSprites(TDBattleCanvas& canvas);
    void drawDrops(TDBattleCanvas& canvas);
    void drawBullets(TDBattleCanvas& canvas);
    void drawIndicators(TDBattleCanvas& canvas);
    // The ring menu: a closed one is dropped, an open one drawn in battle coordinates.
    void drawContextMenu(TDBattleCanvas& canvas);
    void trace(const std::string& step);

    TDMap& mMap;
    TDResources& mResources;
    const TDSpriteTable* mTable = nullptr;
    TDDrawLists mLists;
    std::unique_ptr<TDTexture> mLoadingImage;
    bool mLoadingTried = false;
    std::map<std::wstring, Picture> mPictures;
    std::unordered_map<const TDGraphic*, float> mHeights;
    std::unordered_map<std::wstring, Picture> mPathPictures; // by full path, so frames look up once
    Picture mBar, mBoost, mStar[3];
    Picture mIndicatorIcons[4]; // by the indicators' icon slot: 2 immune, 3 money
    std::map<std::wstring, std::unique_ptr<TDTexture>> mLoosePictures;
    std::unique_ptr<TDAnimation> mFire; // the burning shell's flame
};
