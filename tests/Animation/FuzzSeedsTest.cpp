// The fuzzers' committed seeds are whole, valid files, so mutations start from deep inside.
#include "Core/Media/Animation/AnimData.h"
#include "Core/Media/Mesh/MeshLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
std::vector<std::pair<std::string, std::string>> Seeds(const std::string& kind)
{
    std::vector<std::pair<std::string, std::string>> out;
    const std::filesystem::path folder = std::filesystem::path(QL_SOURCE_DIR) / "fuzz/Animation/corpus" / kind;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        out.emplace_back(entry.path().filename().string(), bytes.str());
    }
    return out;
}
} // namespace

TEST(FuzzSeeds, AnimationSeedsRead)
{
    const auto seeds = Seeds("anim");
    ASSERT_FALSE(seeds.empty());
    for (const auto& [name, bytes] : seeds)
    {
        animation::AnimData data;
        EXPECT_EQ(QL_OK, data.Parse(bytes.data(), bytes.size(), L"seed")) << name;
        EXPECT_FALSE(data.mLayers.empty()) << name;
    }
}

TEST(FuzzSeeds, MeshLibrarySeedsRead)
{
    const auto seeds = Seeds("lib");
    ASSERT_FALSE(seeds.empty());
    for (const auto& [name, bytes] : seeds)
    {
        lightwave::MeshLibrary library;
        EXPECT_EQ(QL_OK, library.Parse(bytes.data(), bytes.size(), L"seed")) << name;
        EXPECT_EQ(2u, library.GetMeshes().size()) << name;
    }
}
