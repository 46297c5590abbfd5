#include "support/CaseShards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace
{
using testsupport::ReadCaseCosts;
using testsupport::ShardCases;

std::vector<std::vector<std::string>> Split(const std::vector<std::string>& cases,
                                            const std::map<std::string, double>& costs, int total)
{
    std::vector<std::vector<std::string>> shards;
    for (int i = 0; i < total; ++i)
        shards.push_back(ShardCases(cases, costs, total, i));
    return shards;
}

double Cost(const std::vector<std::string>& shard, const std::map<std::string, double>& costs)
{
    double sum = 0.0;
    for (const auto& name : shard)
        sum += costs.at(name);
    return sum;
}
} // namespace

TEST(CaseShards, EveryCaseRunsInExactlyOneShardInItsOwnOrder)
{
    const std::vector<std::string> cases = {"A.a", "A.b", "B.a", "B.b", "C.a", "C.b", "C.c"};
    const std::map<std::string, double> costs = {{"A.a", 3}, {"A.b", 9}, {"B.a", 1}, {"B.b", 4},
                                                 {"C.a", 7}, {"C.b", 2}, {"C.c", 5}};
    for (int total : {1, 2, 3, 7, 9})
    {
        std::multiset<std::string> seen;
        for (const auto& shard : Split(cases, costs, total))
        {
            EXPECT_TRUE(std::is_sorted(shard.begin(), shard.end(),
                                       [&](const std::string& a, const std::string& b) {
                                           return std::find(cases.begin(), cases.end(), a) <
                                                  std::find(cases.begin(), cases.end(), b);
                                       }))
                << total << " shards";
            seen.insert(shard.begin(), shard.end());
        }
        EXPECT_EQ(seen, std::multiset<std::string>(cases.begin(), cases.end())) << total << " shards";
    }
}

TEST(CaseShards, LongCasesThatRoundRobinWouldGatherAreSpread)
{
    // Dealt round, both long cases land in the first of two shards.
    const std::vector<std::string> cases = {"Play.Long1",  "Play.Short1", "Play.Long2",
                                            "Play.Short2", "Play.Short3", "Play.Short4"};
    const std::map<std::string, double> costs = {{"Play.Long1", 100}, {"Play.Short1", 10}, {"Play.Long2", 90},
                                                 {"Play.Short2", 10}, {"Play.Short3", 10}, {"Play.Short4", 10}};
    const auto shards = Split(cases, costs, 2);
    const bool firstHasLong1 = std::count(shards[0].begin(), shards[0].end(), "Play.Long1") == 1;
    const auto& withLong1 = shards[firstHasLong1 ? 0 : 1];
    EXPECT_EQ(0, std::count(withLong1.begin(), withLong1.end(), "Play.Long2"));
    // 220 s in all: 100 + 10 beside 90 + 3 * 10 is the best split there is.
    EXPECT_DOUBLE_EQ(120.0, std::max(Cost(shards[0], costs), Cost(shards[1], costs)));
}

TEST(CaseShards, ShardsCostAboutTheSameWithManyCases)
{
    std::vector<std::string> cases;
    std::map<std::string, double> costs;
    for (int i = 0; i < 60; ++i)
    {
        cases.push_back("S.c" + std::to_string(i));
        costs[cases.back()] = 1.0 + (i * 37) % 50; // 1 to 50 s, in no order
    }
    double total = 0.0;
    for (const auto& entry : costs)
        total += entry.second;
    const auto shards = Split(cases, costs, 6);
    for (const auto& shard : shards)
        EXPECT_LE(Cost(shard, costs), total / 6 + 50.0) << "no shard above its share by more than one case";
}

TEST(CaseShards, ACaseWithoutACostCostsTheMean)
{
    // Known: 10, 2 and 6 (mean 6). Counted 6, the new case goes second, beside K.six (10 + 2 against
    // 6 + 6); counted as nothing it would go last, beside K.two and K.six (10 against 2 + 6 + 0).
    const std::vector<std::string> cases = {"K.ten", "K.two", "K.six", "K.new"};
    const std::map<std::string, double> costs = {{"K.ten", 10}, {"K.two", 2}, {"K.six", 6}};
    const auto shards = Split(cases, costs, 2);
    EXPECT_EQ((std::vector<std::string>{"K.ten", "K.two"}), shards[0]);
    EXPECT_EQ((std::vector<std::string>{"K.six", "K.new"}), shards[1]);
    // Without any costs each case counts the same: dealt evenly.
    const auto even = Split(cases, {}, 2);
    EXPECT_EQ(2u, even[0].size());
    EXPECT_EQ(2u, even[1].size());
}

TEST(CaseShards, AShardOutsideTheCountGetsNothing)
{
    const std::vector<std::string> cases = {"A.a", "A.b"};
    EXPECT_TRUE(ShardCases(cases, {}, 2, 2).empty());
    EXPECT_TRUE(ShardCases(cases, {}, 2, -1).empty());
    EXPECT_TRUE(ShardCases(cases, {}, 0, 0).empty());
}

TEST(CaseShards, CostsAreReadByNameSkippingCommentsAndBrokenLines)
{
    std::istringstream in("# seconds under ASan\n"
                          "Play.Long 812.5\n"
                          "\n"
                          "Play.NoNumber\n"
                          "Play.Negative -3\n"
                          "Param/Suite.Case/2 1.25\n"
                          "Play.Long 9\n");
    const auto costs = ReadCaseCosts(in);
    ASSERT_EQ(2u, costs.size());
    EXPECT_DOUBLE_EQ(9.0, costs.at("Play.Long")); // the last line of a name counts
    EXPECT_DOUBLE_EQ(1.25, costs.at("Param/Suite.Case/2"));
}
