// A battle controller over in-memory game data and a profile saved to a temporary file, a
// real HUD holding the screen stack, and the demo content's layouts.
#pragma once

#include "Core/Base/Singletone.h"
#include "Core/Media/Container/ImageContainers.h"
#include "Source/TD/LocalStrings.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/TDFileSource.h"
#include "Source/TD/TDMap.h"
#include "Source/TD/TDProfileStore.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace shoptest
{
// Section 0: upgrade 1 (two steps, open) and 2 (locked behind tower 90000). Section 1: five
// open single-step upgrades. Section 2: one locked upgrade only.
inline const char* kUpgrades = R"(<upgrades>
<upgrade id="1" section="0" icon="ui/might_01"><targets><target id="-1"/></targets>
  <steps><step cost_g="0" cost_r="15"/><step cost_g="0" cost_r="35"/></steps></upgrade>
<upgrade id="2" section="0" icon="ui/tower_01"><targets><target id="90000"/></targets>
  <steps><step cost_g="0" cost_r="5"/></steps></upgrade>
<upgrade id="11" section="1" icon="ui/tower_01"><targets><target id="-1"/></targets><steps><step cost_r="1"/></steps></upgrade>
<upgrade id="12" section="1" icon="ui/tower_02"><targets><target id="-1"/></targets><steps><step cost_r="2"/></steps></upgrade>
<upgrade id="13" section="1" icon="ui/money_01"><targets><target id="-1"/></targets><steps><step cost_r="3"/></steps></upgrade>
<upgrade id="14" section="1" icon="ui/aoe_01"><targets><target id="-1"/></targets><steps><step cost_r="4"/></steps></upgrade>
<upgrade id="15" section="1" icon="ui/might_01"><targets><target id="-1"/></targets><steps><step cost_r="5"/></steps></upgrade>
<upgrade id="21" section="2" icon="ui/aoe_01"><targets><target id="90000"/></targets><steps><step cost_r="9"/></steps></upgrade>
</upgrades>)";

struct ShopFixture : ::testing::Test
{
    testsupport::TempDir dir;
    TDMemoryFileSource files;
    std::unique_ptr<TDDocumentProfileStore> profiles;
    std::unique_ptr<HUD> hud;
    std::unique_ptr<TDMap> map;
    std::filesystem::path oldPath;

    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        oldPath = std::filesystem::current_path();
        std::filesystem::current_path(contentDir());
        file::RegisterImageContainers();
        TDFileSource::setCurrent(&files);
        files.put(L"td/setup_sheet.csv", "0;3;2;0;1\n");
        files.put(L"td/towers_sheet.csv", "id;parent;type;cost;levelid;require\n10000;-1;1;70;1;0\n");
        files.put(L"td/units_sheet.csv", "id;health;speed\n0;10;30\n");
        files.put(L"td/ammo_sheet.csv", "id;speed\n2001;300\n");
        files.put(L"td/unlocks.csv", "0;0;10000\n1;0;90000\n");
        files.put(L"td/upgrades.xml", kUpgrades);
        files.put(L"td/spells_sheet.csv", "#;p;i;i2;id;x\n;3001;a;b;0;0\n");
        files.put(L"td/strings_en.csv", "shop;Upgrades\r\nupgrade_1_name;Might\r\nupgrade_1_step0;first\r\n"
                                        "upgrade_1_step1;second\r\nupgrade_1_complete;done\r\n");
        profiles = std::make_unique<TDDocumentProfileStore>(profilePath());
        hud = std::make_unique<HUD>(L"");
        TDBattleServices services;
        services.hud = hud.get();
        map = std::make_unique<TDMap>(services, *profiles);
        hud->setMap(map.get());
        // Missing keys would be appended to the demo content's strings: send them to a file
        // that does not exist (it is never created).
        LocalStrings::Instance()->setLooseFile((dir.Path() / "absent.csv").string());
    }
    void TearDown() override
    {
        hud->closeAllWindows();
        map.reset();
        hud.reset();
        profiles.reset();
        TDFileSource::setCurrent(nullptr);
        base::SingletoneBase::DestroyAll();
        std::filesystem::current_path(oldPath);
    }
    static std::filesystem::path contentDir() { return std::filesystem::path(QL_SOURCE_DIR) / "content"; }
    std::string profilePath() const { return (dir.Path() / "profiles.xml").string(); }
    void setGems(i32 gems)
    {
        map->mStats.mGems = gems;
        map->mProgress->setGems(gems);
    }
};
} // namespace shoptest
