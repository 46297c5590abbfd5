// The fuzzers' committed seeds are whole, valid files, so mutations start from deep inside.
#include "Core/Media/Animation/AnimData.h"
#include "Core/Media/Mesh/MeshLibrary.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

// Every committed seed of one kind of file, read by `parse`, which says whether it read it whole.
template <class Parse> void ExpectSeedsRead(const std::string& kind, Parse parse)
{
    const std::filesystem::path folder = std::filesystem::path(QL_SOURCE_DIR) / "fuzz/Animation/corpus" / kind;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        EXPECT_TRUE(parse(testsupport::ReadBytes(entry.path()))) << entry.path();
        ++count;
    }
    EXPECT_GT(count, 0) << kind;
}

TEST(FuzzSeeds, AnimationsAndMeshLibrariesRead)
{
    ExpectSeedsRead("anim",
                    [](const std::string& bytes)
                    {
                        animation::AnimData data;
                        return data.Parse(bytes.data(), bytes.size(), L"seed") == QL_OK && !data.mLayers.empty();
                    });
    ExpectSeedsRead("lib",
                    [](const std::string& bytes)
                    {
                        lightwave::MeshLibrary library;
                        return library.Parse(bytes.data(), bytes.size(), L"seed") == QL_OK &&
                               library.GetMeshes().size() == 2;
                    });
}
