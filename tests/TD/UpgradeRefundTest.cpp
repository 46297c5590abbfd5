// The shop's reset: the crystals of every bought step back, however the levels were stored.
#include "BattleFixture.h"

#include "Source/TD/Data/TDProgress.h"

#include <tinyxml2.h>

#include <algorithm>
#include <limits>
#include <string>

using tdtest::MapFixture;

namespace
{
constexpr i32 kTop = std::numeric_limits<i32>::max();

struct UpgradeRefund : MapFixture
{
    void SetUp() override
    {
        MapFixture::SetUp();
        files.put(L"td/upgrades.xml", R"(<upgrades>
            <upgrade id="1"><targets><target id="-1"/></targets><steps><step cost_r="1234"/><step cost_r="56789"/></steps></upgrade>
            <upgrade id="2"><targets><target id="10000"/></targets>
              <steps><step cost_r="700000000"/><step cost_r="800000000"/><step cost_r="900000000"/></steps></upgrade>
            <upgrade id="3"><targets><target id="10000"/></targets><steps><step cost_r="17"/><step cost_r="29"/><step cost_r="41"/></steps></upgrade>
            <upgrade id="4"><targets><target id="10000"/></targets><steps><step cost_r="5"/></steps></upgrade>
            <upgrade id="5"><targets><target id="10000"/></targets><steps><step cost_r="8"/></steps></upgrade>
            </upgrades>)");
    }
    TDMap& withUpgrades(const std::string& upgrades, i32 gems)
    {
        profiles.loadText(R"(<Profiles currentProfile="a"><Profile name="a"><upgrades>)" + upgrades +
                          "</upgrades></Profile></Profiles>");
        TDMap& m = make();
        m.mStats.mGems = gems;
        m.mStats.mGemsWon = 3;
        m.mProgress->setGems(gems);
        return m;
    }
};
} // namespace

// A level without a number refunds its first step, one past the last step (or the largest i32)
// every step up to the last, a negative one nothing; each refunded level is stored as -1, the
// rest as it was. A second reset has nothing left to refund.
TEST_F(UpgradeRefund, EveryStepUpToTheLastComesBackOnceWhateverTheStoredLevel)
{
    TDMap& m = withUpgrades(R"(<upgrade id="1"/><upgrade id="3" level="2147483647"/><upgrade id="4" level="7"/>)"
                            R"(<upgrade id="5" level="-6"/>)",
                            100);
    const i32 back = 1234 + (17 + 29 + 41) + 5;
    for (int reset = 1; reset <= 2; ++reset)
    {
        SCOPED_TRACE("reset " + std::to_string(reset));
        m.refundUpgrades();
        EXPECT_EQ(100 + back, m.mStats.mGems);
        EXPECT_EQ(3 + back, m.mStats.mGemsWon);
        EXPECT_EQ(100 + back, m.mProgress->getGems());
        for (i32 id : {1, 3, 4})
            EXPECT_EQ(-1, m.mProgress->getUpgradeLevel(id)) << id;
        EXPECT_EQ(-6, m.mProgress->getUpgradeLevel(5));
        EXPECT_LT(m.mProgress->getUpgradeLevel(2), 0);
    }
    const std::string saved = [&]
    {
        tinyxml2::XMLPrinter printer;
        profiles.document().Print(&printer);
        return std::string(printer.CStr());
    }();
    EXPECT_NE(std::string::npos, saved.find(R"(<upgrade id="3" level="-1"/>)")) << saved;
    EXPECT_NE(std::string::npos, saved.find(R"(<upgrade id="5" level="-6"/>)")) << saved;
    EXPECT_EQ(std::string::npos, saved.find(R"(id="2")")) << "nothing bought, nothing written: " << saved;
}

// Prices that together pass the largest i32: the crystals stop there rather than wrap, in the
// middle of the range as at its top.
TEST_F(UpgradeRefund, ARefundPastTheLargestCountStopsThere)
{
    for (const i32 gems : {0, 1000000000, kTop})
    {
        SCOPED_TRACE(gems);
        TDMap& m = withUpgrades(R"(<upgrade id="2" level="2"/><upgrade id="1" level="1"/>)", gems);
        m.refundUpgrades();
        const i64 want = static_cast<i64>(gems) + 2400000000LL + 1234 + 56789;
        EXPECT_EQ(std::min<i64>(want, kTop), m.mStats.mGems);
        EXPECT_EQ(kTop, m.mStats.mGemsWon);
        EXPECT_EQ(m.mStats.mGems, m.mProgress->getGems());
        map.reset();
    }
}
