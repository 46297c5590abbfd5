// The sprite store: lists from sheets by group path, caching by keys, missing sheets, textures.
#include "SpriteFakes.h"

#include "Source/TD/Data/TDPrototypes.h"
#include "Source/TD/Draw/TDSpriteTableMetrics.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDSpriteTable.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

using namespace spritetest;

namespace
{
class Resources : public ::testing::Test
{
protected:
    void SetUp() override
    {
        res = FreshResources();
        res->setSheetOpener(library.Opener());
        auto& units = library.Add(L"td/units/t1units");
        // Document order, top-most first, as the PSD reader gives it.
        units->add({L"imp/walk/00", 0, 0, 30, 40, 9});
        units->add({L"imp/walk/01", 2, 0, 30, 41, 8});
        units->add({L"imp/walk/extra/deep", 0, 0, 90, 90, 7}); // deeper than the list: not in it
        units->add({L"imp/s_point/00", 15, 20, 1, 1, 6});
        units->add({L"imp/base", 15, 37, 1, 1, 5});
        units->add({L"wolf/death/00", 0, 0, 50, 30, 4});
        units->add({L"loose", 0, 0, 5, 5, 3});
    }
    void TearDown() override { base::SingletoneBase::DestroyAll(); }

    static std::vector<std::wstring> Names(const TDGraphic& g, const std::string& list)
    {
        std::vector<std::wstring> out;
        for (const TDFrameEntry* e : g.frames(list))
            out.push_back(e->mName);
        return out;
    }

    static std::pair<float, float> Pair(float a, float b) { return {a, b}; }

    SheetLibrary library;
    TDResources* res = nullptr;
};
} // namespace

TEST_F(Resources, ContainerMakesOneGraphicPerGroupWithListsDirectlyUnderItTheTableAnswersByIdAndLoadingAgainDuplicates)
{
    res->loadContainer(L"td/units/t1units");
    ASSERT_EQ(res->graphics().size(), 2u); // "imp" and "wolf"; the loose picture is no group
    const TDGraphic& imp = *res->graphics()[0];
    EXPECT_EQ(imp.mPsd, L"td/imp");
    EXPECT_EQ(imp.mImg, L"td/imp");
    EXPECT_EQ(imp.mAnimated, 1);
    EXPECT_EQ(Names(imp, "walk"), (std::vector<std::wstring>{L"imp/walk/00", L"imp/walk/01"}));
    EXPECT_EQ(Names(imp, ""), (std::vector<std::wstring>{L"imp/base"}));
    EXPECT_EQ(imp.frameCount("death"), 0);
    EXPECT_EQ(res->graphics()[1]->frameCount("death"), 1);
    // Every conventional list exists, empty when nothing matches.
    EXPECT_EQ(imp.mFrames.size(), TDGraphic::listNames().size());

    const TDFrameEntry* second = imp.frames("walk")[1];
    EXPECT_EQ(Pair(second->mX, second->mHeight), Pair(2, 41));
    float x = 0, y = 0;
    ASSERT_TRUE(imp.point("s_point", 0, x, y));
    EXPECT_EQ(Pair(x, y), Pair(15, 20));
    EXPECT_FALSE(imp.point("s_point", 1, x, y));
    EXPECT_FALSE(imp.point("s_point", -1, x, y));
    float w = 0, h = 0;
    imp.size(w, h);
    EXPECT_EQ(Pair(w, h), Pair(32, 41)); // the second walk frame: 2 + 30
    // The sprite table answers by prototype id.
    TDSpriteTable table(*res);
    table.set(0, res->getGraphic("imp", "imp", 0));
    EXPECT_EQ(table.frameCount(0, "walk"), 2);
    EXPECT_EQ(table.frameCount(0, "special"), 0);
    EXPECT_EQ(table.frameCount(99, "walk"), 0);
    EXPECT_EQ(table.frameCount(0, nullptr), 0);
    EXPECT_TRUE(table.point(0, "s_point", 0, x, y));
    EXPECT_FALSE(table.point(99, "s_point", 0, x, y));
    table.size(99, w, h);
    EXPECT_EQ(w, 0.0f);
    table.size(0, w, h);
    EXPECT_FLOAT_EQ(w, 32.0f);
    EXPECT_EQ(table.spriteFrameCount(L"td/wolf"), 0); // the unnamed list of wolf is empty
    table.set(0, nullptr);
    EXPECT_EQ(table.graphic(0), nullptr);
    // Loading the sheet again duplicates its graphics; the first ones are found.
    res->loadContainer(L"td/units/t1units");
    ASSERT_EQ(res->graphics().size(), 4u);
    EXPECT_EQ(res->getGraphic("wolf", "wolf", 2), res->graphics()[1].get());
    EXPECT_EQ(res->findGraphic(L"td/imp"), res->graphics()[0].get());
}

TEST_F(Resources, GraphicsAreFoundByBothNamesOrMadeFromAnElementAndMissingSheetsGiveEmptyLists)
{
    res->loadContainer(L"td/units/t1units");
    TDGraphic* imp = res->graphics()[0].get();
    EXPECT_EQ(res->getGraphic("imp", "imp", 0), imp);
    EXPECT_EQ(res->graphics().size(), 2u);
    EXPECT_EQ(library.opened[L"td/imp"], 0);
    // Only both keys together match: a different "img" makes a new graphic.
    TDGraphic* other = res->getGraphic("imp", "", 7);
    EXPECT_NE(other, imp);
    EXPECT_EQ(other->mId, 7);
    EXPECT_EQ(res->getGraphic("imp", "", 8), other);
    // An element names its id, sheet and picture.
    auto& single = library.Add(L"td/arrow");
    single->add({L"00", 0, 0, 8, 4});
    single->add({L"fire/00", 1, 1, 8, 8});
    tinyxml2::XMLDocument doc;
    doc.Parse("<a id='2001' psd='arrow' img='arrow_pic'/>");
    TDGraphic* g = res->getGraphic(doc.FirstChildElement());
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->mId, 2001);
    EXPECT_EQ(g->mPsd, L"td/arrow");
    EXPECT_EQ(g->mImg, L"td/arrow_pic");
    EXPECT_EQ(g->frameCount(""), 1); // the whole sheet, empty group prefix
    EXPECT_EQ(g->frameCount("fire"), 1);
    EXPECT_EQ(g->mImage, nullptr); // the null loader makes no pictures
    // Missing sheets or names give empty lists or no graphic.
    EXPECT_EQ(res->getGraphic("", "", 1), nullptr);
    doc.Parse("<u id='3'/>");
    EXPECT_EQ(res->getGraphic(doc.FirstChildElement()), nullptr);
    EXPECT_EQ(res->getGraphic(nullptr), nullptr);
    const size_t before = res->graphics().size();
    res->loadContainer(L"td/towers/none");
    EXPECT_EQ(res->graphics().size(), before);
    TDGraphic* ghost = res->getGraphic("ghost_tower", "", 5);
    ASSERT_NE(ghost, nullptr);
    EXPECT_EQ(ghost->frameCount("idle"), 0);
    float w = 1, h = 1;
    ghost->size(w, h);
    EXPECT_EQ(Pair(w, h), Pair(0, 0));
    TDGraphic* named = res->findGraphic(L"td/nothing");
    EXPECT_EQ(named->frameCount(""), 0);
    // Made once, then cached: the sheet is not asked for again.
    EXPECT_EQ(res->findGraphic(L"td/nothing"), named);
    EXPECT_EQ(library.opened[L"td/nothing"], 1);
}

TEST_F(Resources, GetImageFindsAPictureByNameOrOutsideTheListsOnceAndTexturesComeFromTheLoader)
{
    auto& parts = library.Add(L"td/data/ui_parts");
    parts->add({L"shadows/money_shadow", 0, 0, 16, 6});
    parts->add({L"shadows/dragon_shadow", 0, 0, 28, 10});
    res->loadContainer(L"td/data/ui_parts");
    const TDFrameEntry* e = res->getImage(L"td/shadows", L"shadows/dragon_shadow");
    ASSERT_NE(e, nullptr);
    EXPECT_FLOAT_EQ(e->mWidth, 28.0f);
    EXPECT_EQ(res->getImage(L"td/shadows", L"")->mName, L"shadows/money_shadow");
    EXPECT_EQ(res->getImage(L"td/shadows", L"shadows/none"), nullptr);
    EXPECT_EQ(res->getImage(L"td/shadows", L"shadows/money_shadow", "walk"), nullptr);

    const TDImageSheet& sheet = *res->graphics()[0]->mContainer;
    ASSERT_NE(res->findImage(sheet, L"shadows/money_shadow"), nullptr);
    EXPECT_EQ(res->findImage(sheet, L"money_shadow"), nullptr);
    EXPECT_EQ(res->loadImage(sheet, L"shadows/money_shadow"), nullptr); // headless
    CountingLoader loader;
    res->setTextureLoader(&loader);
    EXPECT_NE(res->loadImage(sheet, L"shadows/money_shadow"), nullptr);
    loader.loaded.clear();
    EXPECT_EQ(res->loadImage(sheet, L"nothing"), nullptr);
    // Pictures outside the lists are reached once.
    auto& ui = library.Add(L"td/ui");
    ui->add({L"ui/brush", 4, 5, 12, 12});
    const TDFrameEntry* brush = res->getImage(L"td/ui", L"ui/brush");
    ASSERT_NE(brush, nullptr);
    EXPECT_FLOAT_EQ(brush->mX, 4.0f);
    EXPECT_NE(brush->mImage, nullptr);
    EXPECT_NE(brush->mFlags & TDFrameEntry::kOwnsImage, 0u) << "the entry owns the picture it loaded";
    EXPECT_EQ(res->getImage(L"td/ui", L"ui/brush"), brush);           // made once
    EXPECT_EQ(loader.loaded, std::vector<std::wstring>{L"ui/brush"}); // made once
    EXPECT_EQ(res->getImage(L"td/ui", L"ui/none"), nullptr);
    EXPECT_EQ(library.opened[L"td/ui"], 1);
    EXPECT_EQ(res->getImage(L"td/missing", L"ui/brush"), nullptr);
    // Sheet textures come from the loader, points get none; named pictures are loaded by path.
    loader.loaded.clear();
    res->loadContainer(L"td/units/t1units");
    const TDGraphic& imp = *res->findGraphic(L"td/imp");
    ASSERT_NE(imp.frames("walk")[0]->mImage, nullptr);
    EXPECT_EQ(static_cast<const FakeTexture*>(imp.frames("walk")[0]->mImage)->name, L"imp/walk/00");
    EXPECT_EQ(imp.frames("s_point")[0]->mImage, nullptr);
    for (const std::wstring& name : loader.loaded)
        EXPECT_EQ(name.find(L"s_point"), std::wstring::npos) << std::string(name.begin(), name.end());
    EXPECT_NE(res->getGraphic("", "icon", 1)->mImage, nullptr);
    EXPECT_EQ(loader.pictures, std::vector<std::wstring>{L"td/icon"});
    res->setTextureLoader(nullptr); // back to the null loader
    EXPECT_FALSE(res->textureLoader().wantsPixels());
}

TEST_F(Resources, TheBattleTableGivesEachKindTheGraphicOfItsSheetGroupAndItsPicture)
{
    res->loadContainer(L"td/units/t1units");
    CountingLoader loader;
    res->setTextureLoader(&loader);
    // A kind named by both columns finds the sheet's group; one whose picture differs gets a
    // graphic of its own with that picture; a tier with a picture alone gets just the picture.
    TDPrototypes store;
    tdLoadPrototypeSheets(store, "id;parent;levelid;psd;img\n100;-1;0;imp;imp_icon\n101;100;1;;wolf_icon\n",
                          "id;psd;img\n1;imp;imp\n2;;\n", "id\n2001\n");
    TDSpriteTable table(*res);
    TDSpriteTableMetrics::fill(table, *res, store);
    EXPECT_EQ(table.graphic(1), res->graphics()[0].get()) << "the sheet's own graphic";
    const TDGraphic* tower = table.graphic(100);
    ASSERT_NE(tower, nullptr);
    EXPECT_EQ(tower->mPsd, L"td/imp");
    EXPECT_EQ(tower->mImg, L"td/imp_icon");
    EXPECT_NE(tower->mImage, nullptr) << "its picture from the \"img\" column";
    const TDGraphic* tier = table.graphic(101);
    ASSERT_NE(tier, nullptr);
    EXPECT_EQ(tier->mImg, L"td/wolf_icon");
    EXPECT_EQ(tier->mAnimated, 0) << "no layered image named";
    EXPECT_EQ(table.graphic(2), nullptr) << "neither column: no graphic";
    EXPECT_EQ(loader.pictures, (std::vector<std::wstring>{L"td/imp_icon", L"td/wolf_icon"}));
    res->setTextureLoader(nullptr);
}
