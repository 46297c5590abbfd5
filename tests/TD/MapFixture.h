// A battle controller over in-memory game data and an in-memory profile.
#pragma once

#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProfileStore.h"

#include <gtest/gtest.h>

#include <memory>

namespace tdtest
{
struct RecordingHud : TDNullHud
{
    std::vector<std::wstring> calls;
    void showMessage(const std::wstring&, const std::wstring&, i32) override { calls.push_back(L"message"); }
};

struct RecordingTutorial : TDNullTutorial
{
    std::vector<std::wstring> events;
    void onEvent(const std::wstring& name) override { events.push_back(name); }
};

struct MapFixture : ::testing::Test
{
    TDMemoryFileSource files;
    TDDocumentProfileStore profiles;
    RecordingHud hud;
    RecordingTutorial tutorial;
    std::unique_ptr<TDMap> map;

    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        TDFileSource::setCurrent(&files);
        files.put(L"td/setup_sheet.csv", "0;3;2;0;1\n1;2;1;6;0\n");
        files.put(L"td/towers_sheet.csv", "id;parent;type;cost;levelid;require\n10000;-1;1;70;1;0\n10001;10000;1;90;2;1\n");
        files.put(L"td/units_sheet.csv", "id;health;speed\n0;10;30\n");
        files.put(L"td/ammo_sheet.csv", "id;speed\n2001;300\n");
        files.put(L"td/unlocks.csv", "0;0;10000,0\n0;1;-1\n");
        files.put(L"td/upgrades.xml", R"(<upgrades><upgrade id="1" icon="i"><targets><target id="-1"/></targets>
            <steps><step><attributes><a name="maxHP" value="5"/><a name="startBudget" value="10"/></attributes></step></steps>
            </upgrade></upgrades>)");
        files.put(L"td/spells_sheet.csv", "#;p;i;i2;id;x\n;3001;a;b;0;0\n");
    }
    void TearDown() override
    {
        map.reset();
        TDFileSource::setCurrent(nullptr);
        base::SingletoneBase::DestroyAll();
    }
    TDMap& make()
    {
        TDBattleServices services;
        services.hud = &hud;
        services.tutorial = &tutorial;
        map = std::make_unique<TDMap>(services, profiles);
        return *map;
    }
};
} // namespace tdtest
