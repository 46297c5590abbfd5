// A battle over in-memory sheets and a straight level, with recording fakes for particles,
// sounds, the tutorial and sprite frame counts, and seeded random numbers; and a bare battle
// controller over minimal sheets for the level-file cases.
#pragma once

#include "Core/Base/Random.h"
#include "Core/Base/Singletone.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Units/TDBullet.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDModifiers.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>

namespace tdtest
{
// One-shot emitters stop after `life` seconds of updates; a finishing emitter stops on its
// next update; looping ones play until told otherwise.
struct FakeEmitter : TDEmitter
{
    std::wstring name;
    TDEmitterState st = kEmitterStopped;
    i32 loop = 0;
    double age = 0.0;
    double life = 1.0;
    void setState(TDEmitterState s) override { st = s; }
    TDEmitterState state() const override { return st; }
    void setPosition(float, float) override {}
    void update(double seconds) override
    {
        age += seconds;
        if (st == kEmitterFinishing)
            st = kEmitterStopped;
        else if (st == kEmitterPlaying && loop == 0 && age >= life)
            st = kEmitterStopped;
    }
    void setLoopMode(i32 mode) override { loop = mode; }
};

struct FakeParticles : TDParticles
{
    std::set<std::wstring> missing; // effects that do not exist
    std::vector<std::wstring> created;
    std::unique_ptr<TDEmitter> createEmitter(const std::wstring& name) override
    {
        created.push_back(name);
        if (missing.count(name))
            return nullptr;
        auto emitter = std::make_unique<FakeEmitter>();
        emitter->name = name;
        return emitter;
    }
    size_t count(const std::wstring& name) const
    {
        return static_cast<size_t>(std::count(created.begin(), created.end(), name));
    }
};

struct RecordingSounds : TDNullSoundTags
{
    std::vector<std::wstring> played, music;
    void play(const std::wstring& tag) override { played.push_back(tag); }
    void playMusic(const std::wstring& file) override { music.push_back(file); }
};

// Frame counts by kind and list; no sprite points or named sprites.
struct TableSprites : TDSpriteMetrics
{
    std::map<std::pair<i32, std::string>, i32> counts;
    i32 frameCount(i32 id, const char* list) const override
    {
        auto it = counts.find({id, list});
        return it == counts.end() ? 0 : it->second;
    }
    bool point(i32, const char*, i32, float&, float&) const override { return false; }
    void size(i32, float& w, float& h) const override { w = h = 40.0f; }
    i32 spriteFrameCount(const std::wstring&) const override { return 0; }
};

// Events by name.
struct RecordingTutorialEvents : TDNullTutorial
{
    std::vector<std::wstring> events;
    void onEvent(const std::wstring& name) override { events.push_back(name); }
    size_t count(const std::wstring& name) const
    {
        return static_cast<size_t>(std::count(events.begin(), events.end(), name));
    }
};

struct ResultHud : TDNullHud
{
    i32 results = 0;
    std::vector<std::wstring> calls;
    void showLevelResult() override { ++results; }
    void showMessage(const std::wstring&, const std::wstring&, TDScreen) override { calls.push_back(L"message"); }
    void showUnlockMessage(const std::vector<i32>&) override { calls.push_back(L"unlock"); }
    void showLevelName() override { calls.push_back(L"levelName"); }
};

// Towers: 100 straight shooter (tier 101), 200 homing, 300 income, 400 booster, 500 teleport
// beam, 600 shell thrower (2003), 700 rotating, 800 reveal.
inline const char* kTowers =
    "id;parent;type;levelid;require;cost;strength;cooldown;r;speed;ammoid;fps;air;aimed;rotating;splash;firesplash;"
    "dot;stun;hold;boostTower;showInvisible;teleportEnemy;goldIncome;health;psd\n"
    "100;-1;1;0;-1;50;5;1;200;400;2001;10;0;0;0;0;0;0;0;0;0;0;0;0;0;\n"
    "101;100;1;1;0;40;10;0,5;240;400;2001;10;0;0;0;0;0;0;0;0;0;0;0;0;0;\n"
    "200;-1;1;0;-1;60;4;1;200;300;2002;10;1;1;0;0;0;0;0;0;0;0;0;0;0;\n"
    "300;-1;1;0;-1;80;-1;2;200;0;0;10;0;0;0;0;0;0;0;0;0;0;0;10;50;\n"
    "400;-1;1;0;-1;90;-1;1;400;50;0;10;0;0;0;0;0;0;0;0;1;0;0;0;0;\n"
    "500;-1;1;0;-1;90;2;3;200;-1;2008;10;0;0;0;0;0;0;0;0;0;0;1;0;0;\n"
    "600;-1;1;0;-1;90;8;2;300;200;2003;10;0;0;0;1;0;0;0;0;0;0;0;0;0;\n"
    "700;-1;1;0;-1;50;5;1;200;400;2001;10;0;0;1;0;0;0;0;0;0;0;0;0;0;\n"
    "800;-1;1;0;-1;50;5;1;200;400;2001;10;0;0;0;0;0;0;0;0;0;1;0;0;0;\n";

// Units: 0 summoned imp, 1 grunt, 2 brute, 3 flyer, 4 healer, 5 regenerating summoner,
// 6 carrier, 7 blocker, 8 slower, 9 raiser, 11 larva, 12 icy, 13 fire-only, 14 straight,
// 15 exploding, 39 skeleton.
inline const char* kUnits =
    "id;health;speed;r;cost;fps;strength;dropChance;explodeStr;explodeRadius;cooldown;ammoid;air;straight;carrier;"
    "raiseDead;regen;healer;summon;ice;poisonImmun;fire_dmg_only;blocktower;debufftower\n"
    "0;5;40;0;1;10;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\n"
    "1;20;50;0;10;10;1;50;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\n"
    "2;100;20;0;20;10;3;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\n"
    "3;20;50;0;10;10;1;0;0;0;0;0;1;0;0;0;0;0;0;0;0;0;0;0\n"
    "4;40;30;100;10;10;1;0;0;0;2;0;0;0;0;0;0;1;0;0;0;0;0;0\n"
    "5;40;30;0;10;10;1;0;0;0;4;2100;0;0;0;0;1;0;1;0;0;0;0;0\n"
    "6;30;30;0;10;10;1;0;0;0;0;0;0;0;1;0;0;0;0;0;0;0;0;0\n"
    "7;50;30;100;10;10;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;1;0\n"
    "8;50;30;100;10;10;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;1\n"
    "9;50;30;80;10;10;1;0;0;0;0;0;0;0;0;1;0;0;0;0;0;0;0;0\n"
    "11;8;46;0;1;10;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\n"
    "12;50;30;0;10;10;1;0;0;0;0;0;0;0;0;0;0;0;0;1;1;0;0;0\n"
    "13;50;30;0;10;10;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;1;0;0\n"
    "14;20;100;0;10;10;1;0;0;0;0;0;0;1;0;0;0;0;0;0;0;0;0;0\n"
    "15;10;30;0;10;10;1;0;30;60;0;0;0;0;0;0;0;0;0;0;0;0;0;0\n"
    "39;16;28;0;2;10;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\n";

inline const char* kAmmo =
    "id;type;strength;speed;r;stun;splash;firesplash;hold;dot;boostTower;fps;onHit;onFire;onAmmo;psd\n"
    "2001;2;0;400;0;0;0;0;0;0;0;12;hit;fire;trail\r;\n"
    "2002;2;0;300;0;0;0;0;0;0;0;12;hit;;;\n"
    "2003;2;0;200;60;0;0;0;0;0;0;12;hit;;;shell\n"
    "2008;2;0;-1;0;0;0;0;0;0;0;12;;;;\n"
    "2100;3;0;8;0;0;0;0;0;0;0;12;;;;\n"
    "3000;4;10;3;100;1;0;0;0;0;0;24;;;;\n"
    "3001;4;5;4;100;0;1;1;1;1;0;24;;;spell;\n"
    "3004;4;50;10;150;0;0;0;0;0;1;24;;;;\n";

// A road along y = 100 from x = 0 to the goal at x = 1000; spots at (250, 160) and (750, 160).
inline std::string battleLevel(const std::string& waves, const std::string& extraSpots = "")
{
    return "<map><budget>500</budget><points>"
           "<point id=\"1\" x=\"0\" y=\"100\"><p name=\"spawn\" value=\"1\"/></point>"
           "<point id=\"2\" x=\"500\" y=\"100\"/>"
           "<point id=\"3\" x=\"1000\" y=\"100\"><p name=\"goal\" value=\"1\"/></point>"
           "</points><links>"
           "<link sid=\"1\" eid=\"2\" anchor_x=\"250\" anchor_y=\"100\"/>"
           "<link sid=\"2\" eid=\"3\" anchor_x=\"750\" anchor_y=\"100\"/>"
           "</links><spots>"
           "<spot x=\"250\" y=\"160\"><p name=\"radius_mult\" value=\"1\"/><p name=\"damage_mult\" value=\"0\"/>"
           "<p name=\"income_mult\" value=\"1\"/></spot>"
           "<spot x=\"750\" y=\"160\"><p name=\"radius_mult\" value=\"1\"/><p name=\"damage_mult\" value=\"0\"/>"
           "<p name=\"income_mult\" value=\"1\"/></spot>" +
           extraSpots + "</spots><waves>" + waves + "</waves></map>";
}

// Three brutes in the first wave, a grunt in the second.
inline const char* kThreeBrutes =
    "<wave spawn=\"1\"><e id=\"2\" y=\"-65\"/><e id=\"2\" y=\"-65\"/><e id=\"2\" y=\"-65\"/></wave>"
    "<wave spawn=\"1\"><e id=\"1\"/></wave>";

// Puts a unit at (x, y), drawn there too.
inline void place(TDUnit* u, float x, float y)
{
    u->mPos[0] = u->mDrawPos[0] = x;
    u->mPos[1] = u->mDrawPos[1] = y;
}

struct BattleFixture : ::testing::Test
{
    TDMemoryFileSource files;
    TDDocumentProfileStore profiles;
    FakeParticles particles;
    RecordingSounds sounds;
    TableSprites sprites;
    RecordingTutorialEvents tutorial;
    ResultHud hud;
    std::unique_ptr<TDMap> map;
    TDBattleServices services; // the fakes above; fixtures may swap parts

    BattleFixture()
    {
        services.particles = &particles;
        services.sounds = &sounds;
        services.sprites = &sprites;
        services.tutorial = &tutorial;
        services.hud = &hud;
    }
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        math::SetRandomSeed(1234);
        TDFileSource::setCurrent(&files);
        files.put(L"td/setup_sheet.csv", "0;3;2;0;1\n");
        files.put(L"td/towers_sheet.csv", kTowers);
        files.put(L"td/units_sheet.csv", kUnits);
        files.put(L"td/ammo_sheet.csv", kAmmo);
        files.put(L"td/spells_sheet.csv", "#;p;i;i2;id;x\n;3000;a;b;0;0\n;3001;a;b;1;0\n;3004;a;b;4;0\n");
        files.put(L"td/unlocks.csv", "0;0;-1\n");
        files.put(L"td/upgrades.xml", "<upgrades/>");
    }
    void TearDown() override
    {
        map.reset();
        TDFileSource::setCurrent(nullptr);
        base::SingletoneBase::DestroyAll();
    }
    // A battle on the straight level with these waves, in mode 1, running on screen 0.
    // Called once the battle exists, before its level loads.
    virtual void made(TDMap&) {}
    TDMap& start(const std::string& waves, const std::string& extraSpots = "")
    {
        map = std::make_unique<TDMap>(services, profiles);
        made(*map);
        map->mMode = kDifficultyNormal;
        files.put(L"td/levels_normal/level_01_01.xml", battleLevel(waves, extraSpots));
        EXPECT_EQ(map->loadLevel(), QL_OK);
        return *map;
    }
    // Runs frames of dt until the time has passed or the battle screen closes.
    void run(float seconds, float dt = 1.0f / 60.0f)
    {
        for (float t = 0.0f; t < seconds && map->mScreen == kScreenBattle; t += dt)
            map->update(dt);
    }
    TDUnit* unit(size_t i) { return i < map->mWaves.mUnits.size() ? map->mWaves.mUnits[i] : nullptr; }
};

// A battle controller with only a HUD and a tutorial, over minimal sheets: two tower tiers,
// one unit, an upgrade and a spell.
struct MapFixture : BattleFixture
{
    void SetUp() override
    {
        BattleFixture::SetUp();
        files.put(L"td/setup_sheet.csv", "0;3;2;0;1\n1;2;1;6;0\n");
        files.put(L"td/towers_sheet.csv",
                  "id;parent;type;cost;levelid;require\n10000;-1;1;70;1;0\n10001;10000;1;90;2;1\n");
        files.put(L"td/units_sheet.csv", "id;health;speed\n0;10;30\n");
        files.put(L"td/ammo_sheet.csv", "id;speed\n2001;300\n");
        files.put(L"td/unlocks.csv", "0;0;10000,0\n0;1;-1\n");
        files.put(L"td/upgrades.xml", R"(<upgrades><upgrade id="1" icon="i"><targets><target id="-1"/></targets>
            <steps><step><attributes><a name="maxHP" value="5"/><a name="startBudget" value="10"/></attributes></step></steps>
            </upgrade></upgrades>)");
        files.put(L"td/spells_sheet.csv", "#;p;i;i2;id;x\n;3001;a;b;0;0\n");
    }
    TDMap& make()
    {
        TDBattleServices bare;
        bare.hud = &hud;
        bare.tutorial = &tutorial;
        map = std::make_unique<TDMap>(bare, profiles);
        return *map;
    }
};
} // namespace tdtest
