// The demo content as the code needs it: every level loads with roads to the goal, one level's
// paths hash to a stored value, and every id and string the code relies on exists.
#include "DemoContentFixture.h"

#include "Source/TD/Data/LocalStrings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

namespace
{
// The polylines of a level, hashed: a change to the curve arithmetic (or to the compiler's float
// handling) shows here first.
u64 hashPaths(const TDPathSet& paths, const std::vector<TDLink*>& links)
{
    u64 hash = 1469598103934665603ull;
    auto mix = [&](const void* data, size_t size)
    {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    for (const TDPathRecord* record : paths.records())
    {
        u32 index = 0;
        while (index < links.size() && links[index] != record->link)
            ++index;
        mix(&index, sizeof(index));
        for (const auto& [offset, line] : record->points)
        {
            mix(&offset, sizeof(offset));
            for (const TDPathPoint* p : line)
                for (float f : {p->x, p->y, p->normalX, p->normalY})
                    mix(&f, sizeof(f));
        }
    }
    return hash;
}

struct DemoContent : tdtest::DemoContentFixture
{
    void checkLevel(TDDifficulty mode, i32 episode, i32 level)
    {
        SCOPED_TRACE(tdtext::wideToUtf8(TDMap::levelFileName(mode, episode, level)));
        map->mMode = mode;
        map->mEpisode = episode;
        map->mLevel = level;
        ASSERT_EQ(map->loadLevel(), QL_OK);
        TDRoadNetwork net = map->network();
        TDPoint* goal = net.getLastGoalPoint();
        ASSERT_NE(goal, nullptr);
        std::set<i32> spawns;
        for (TDPoint* p : map->mPoints)
            if (p->isSpawn())
                spawns.insert(p->id);
        ASSERT_FALSE(spawns.empty());
        EXPECT_GE(map->mWaves.mWaves.size(), 4u);
        for (const TDWaveProto* wave : map->mWaves.mWaves)
        {
            EXPECT_TRUE(wave->mSpawn == -1 || spawns.count(wave->mSpawn)) << wave->mSpawn;
            for (const TDWaveEntry* entry : wave->mEntries)
                EXPECT_NE(proto(entry->mId), nullptr) << "unit " << entry->mId;
        }
        EXPECT_GE(map->mWaves.mWaves.back()->mEntries.size(), map->mWaves.mWaves.front()->mEntries.size());

        for (TDPoint* spawn : map->mPoints)
        {
            if (!spawn->isSpawn())
                continue;
            std::vector<i32> route = map->findRoute(spawn, goal);
            ASSERT_GE(route.size(), 2u);
            for (const TDWaveProto* wave : map->mWaves.mWaves)
            {
                if (wave->mSpawn != spawn->id)
                    continue;
                for (const TDWaveEntry* entry : wave->mEntries)
                    for (size_t i = 0; i + 1 < route.size(); ++i)
                    {
                        TDLink* link = net.findLink(route[i], route[i + 1]);
                        std::vector<TDPathPoint*> line;
                        map->mPaths.find(link, entry->sideOffset(), line);
                        ASSERT_GE(line.size(), 2u);
                    }
            }
        }
        for (size_t i = 0; i < map->mSpots.size(); ++i)
            for (size_t j = i + 1; j < map->mSpots.size(); ++j)
                EXPECT_GT(std::hypot(map->mSpots[i]->x - map->mSpots[j]->x, map->mSpots[i]->y - map->mSpots[j]->y),
                          64.0f)
                    << "spots " << i << " and " << j << " overlap";
        // Spots stand on the screen, beside a road but not on it.
        for (const TDBuildSpot* spot : map->mSpots)
        {
            EXPECT_TRUE(spot->x >= 0 && spot->x <= 1024 && spot->y >= 0 && spot->y <= 768);
            float nearest = 1e9f;
            for (const TDPathRecord* record : map->mPaths.records())
                for (const auto& [offset, line] : record->points)
                    for (const TDPathPoint* p : line)
                        nearest = std::min(nearest, std::hypot(p->x - spot->x, p->y - spot->y));
            EXPECT_GT(nearest, 30.0f) << "spot at " << spot->x << "," << spot->y;
            EXPECT_LT(nearest, 200.0f) << "spot at " << spot->x << "," << spot->y;
        }
    }
};
} // namespace

TEST_F(DemoContent, EveryLevelLoadsWithWavesOnRoadsToTheGoalAndSpotsBesideThem)
{
    ASSERT_GE(map->getEpisodeCount(), 1);
    int levels = 0;
    for (const auto& [episode, info] : map->mEpisodes.episodes())
    {
        for (i32 level = 0; level < info.levelCount; ++level, ++levels)
            checkLevel(kDifficultyNormal, episode, level);
        for (i32 level = 0; level < info.hardcoreLevelCount; ++level, ++levels)
            checkLevel(kDifficultyHardcore, episode, level);
    }
    EXPECT_EQ(levels, map->getTotalLevelCount());
}

// The islet crossing keeps its stored paths; a rebuild gives the same. Changing the value is a
// decision.
TEST_F(DemoContent, TheIsletCrossingsPathsHashToTheirStoredValueReadOrRebuilt)
{
    map->mMode = kDifficultyNormal;
    map->mEpisode = 0;
    map->mLevel = 1;
    ASSERT_EQ(map->loadLevel(), QL_OK);
    const u64 first = hashPaths(map->mPaths, map->mLinks);
    map->mPaths.buildPaths(map->network(), map->mWaves);
    EXPECT_EQ(hashPaths(map->mPaths, map->mLinks), first);
    EXPECT_EQ(first, 7218912835410061254ull);
}

TEST_F(DemoContent, EveryIdTheCodeOrTheSheetsNameExists)
{
    for (i32 unit : {0, 11, 39})
        EXPECT_NE(proto(unit), nullptr) << unit;
    EXPECT_TRUE(proto(3) || proto(30) || proto(31) || proto(38));
    EXPECT_TRUE(proto(10) || proto(32) || proto(33));
    for (i32 ammo : {2001, 2002, 2003, 3004})
        EXPECT_NE(proto(ammo), nullptr) << ammo;
    EXPECT_TRUE(proto(3004)->boostTower);
    for (const TDPrototype* p : map->mPrototypes.all)
    {
        if (p->ammoId != 0)
        {
            EXPECT_NE(proto(p->ammoId), nullptr) << p->id << " fires " << p->ammoId;
        }
        if (p->speed >= 0)
            continue;
        for (const TDUpgrade* u : map->mUpgrades.upgrades)
        {
            if (!u->targets(p->id))
                continue;
            for (const auto& step : u->steps)
                EXPECT_EQ(step->percent("speed"), 0.0f) << "instant tower " << p->id;
        }
    }
    for (i32 spell = 0; spell < 5; ++spell)
    {
        const TDSpellProto* s = map->mSpells.findById(spell);
        ASSERT_NE(s, nullptr);
        EXPECT_NE(proto(s->protoId), nullptr);
    }
    for (const auto& [episode, levels] : map->mUnlocks.newUnlocks)
        for (const auto& [level, ids] : levels)
        {
            EXPECT_LT(level, map->getLevelCount(episode));
            for (i32 id : ids)
                EXPECT_TRUE(id == -1 || (id >= 0 && id < 5) || proto(id)) << id;
        }
    for (const auto& [episode, info] : map->mEpisodes.episodes())
        for (i32 level = 0; level < info.levelCount; ++level)
            EXPECT_TRUE(map->mUnlocks.newUnlocks[episode].count(level)) << episode << "/" << level;
    for (const TDUpgrade* u : map->mUpgrades.upgrades)
        for (i32 target : u->targetIds)
            EXPECT_TRUE(target == -1 || proto(target)) << target;
}

TEST_F(DemoContent, TheStringsHoldEveryKeyTheGameAsksAndEveryAnnouncedUnlockHasItsPage)
{
    LocalStrings* strings = LocalStrings::Instance();
    strings->setLooseFile("/nonexistent");
    for (const wchar_t* key : {L"game_caption",
                               L"game_incoming",
                               L"game_nextwave",
                               L"game_win",
                               L"game_lose",
                               L"diff_easy",
                               L"diff_normal",
                               L"diff_hard",
                               L"game_kill_score",
                               L"game_life_bonus",
                               L"game_total_score",
                               L"game_best_score",
                               L"gems",
                               L"game_wave",
                               L"episode0",
                               L"episode1",
                               L"episodeHardcore0",
                               L"episodeHardcore1",
                               L"HardcoreTitle",
                               L"HardcoreUnlockMessage",
                               L"profiles_error",
                               L"profiles_maxcount",
                               L"progress_confirm_text",
                               L"progress_confirm_caption",
                               L"towerUpgradeInfoRange",
                               L"towerUpgradeInfoDamage",
                               L"towerUpgradeInfoRof",
                               L"towerUpgradeInfoIncome",
                               L"level_error_title",
                               L"level_error_text"})
        EXPECT_EQ(strings->table().count(key), 1u) << tdtext::wideToUtf8(key);
    EXPECT_NE(strings->get(L"progress_confirm_text").find(L'\n'), std::wstring::npos);
    // Every id an unlock message announces (the Ordeal's first level among them) has its page:
    // a picture in the message layout and a text.
    std::vector<i32> announced;
    map->mUnlocks.getNewUnlocks(0, 0, kDifficultyHardcore, announced);
    EXPECT_FALSE(announced.empty());
    for (const auto& [episode, levels] : map->mUnlocks.newUnlocks)
        for (const auto& [level, ids] : levels)
            announced.insert(announced.end(), ids.begin(), ids.end());
    const std::string layout = files.readFile(L"td/data/message/layers.xml");
    for (i32 id : announced)
        if (id >= 0)
        {
            EXPECT_NE(layout.find("\"icons/id" + std::to_string(id) + "\""), std::string::npos) << id;
            EXPECT_EQ(strings->table().count(L"unlock_" + std::to_wstring(id)), 1u) << id;
        }
    // The game's currency is a common noun: capitalised only where a sentence starts.
    for (const auto& [key, text] : strings->table())
        for (size_t at = text.find(L"Crystal"); at != std::wstring::npos; at = text.find(L"Crystal", at + 1))
        {
            size_t p = at;
            while (p > 0 && text[p - 1] == L' ')
                --p;
            EXPECT_TRUE(p == 0 || std::wstring(L".!?\n").find(text[p - 1]) != std::wstring::npos)
                << tdtext::wideToUtf8(key);
        }
}
