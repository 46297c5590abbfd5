// Envelopes for the tests, the fuzzers' committed seed files with fields patched, and a renderer
// over a temporary folder to load them through the resource manager.
#pragma once

#include "Audio/LogCapture.h"
#include "ImageBuilders.h"
#include "Render/RenderTestSupport.h"

#include "Core/Media/Animation/AnimLayer.h"
#include "Core/Media/Animation/Envelope.h"
#include "Core/Resource/ResourceManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <utility>
#include <vector>

namespace animtest
{
inline animation::EnvelopeKey Key(float time, float value, u32 shape = animation::SHAPE_LINEAR, float p0 = 0.0f,
                                  float p1 = 0.0f, float p2 = 0.0f, float p3 = 0.0f)
{
    return {value, time, shape, {p0, p1, p2, p3}};
}

inline animation::Envelope Env(std::vector<animation::EnvelopeKey> keys, u32 pre = animation::BEHAVIOUR_CONSTANT,
                               u32 post = animation::BEHAVIOUR_CONSTANT)
{
    animation::Envelope envelope;
    envelope.mPre = pre;
    envelope.mPost = post;
    envelope.mKeys = std::move(keys);
    return envelope;
}

inline std::string U32Bytes(u32 value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return bytes;
}

// A committed fuzz seed, e.g. "anim/shapes.anim" or "lib/quads.lib".
inline std::string Seed(const std::string& name)
{
    return testsupport::ReadBytes(std::string(QL_SOURCE_DIR) + "/fuzz/Animation/corpus/" + name);
}

// The bytes with the first length-prefixed string `from` replaced by `to`.
inline std::string Renamed(std::string bytes, const std::string& from, const std::string& to)
{
    const std::string old = U32Bytes(static_cast<u32>(from.size())) + from;
    bytes.replace(bytes.find(old), old.size(), U32Bytes(static_cast<u32>(to.size())) + to);
    return bytes;
}

// The bytes with the u32 at `at` (counted from the end when negative) replaced.
inline std::string Patched(std::string bytes, long at, u32 value)
{
    bytes.replace(at < 0 ? bytes.size() + at : at, 4, U32Bytes(value));
    return bytes;
}

// "shapes.anim": "all shapes", 0 to 2 s; layer "a" (null mesh, colour channels, flag1) with its
// fields from offset 47 (parent, flag1, flag2, colour) and its first envelope's key count at 63;
// layer "b", a child of "a", showing mesh "box" of library "shapes".
inline std::string Shapes() { return Seed("anim/shapes.anim"); }

// "quads.lib", with its two textures renamed as given: "box" (vertices 0-3) and "card" (vertices
// 4-7), two triangles each. Index i sits at 4 + 4 i, the mesh count at 216; card's first vertex,
// second count, first index and index count at -20, -16, -12 and -8 from the end, and the version
// last.
inline std::string TwoQuads(const std::string& boxTexture = "tex.png", const std::string& cardTexture = "tex.png")
{
    return Renamed(Renamed(Seed("lib/quads.lib"), "sub\\card.png", cardTexture), "tex.png", boxTexture);
}

// Every cut of `whole` is refused by `parse` (which reads the first `size` bytes as "cut") with one
// log line naming it.
template <class Parse> void ExpectEveryCutRefused(const std::string& whole, Parse parse)
{
    for (size_t size = 0; size < whole.size(); ++size)
    {
        audiotest::LogCapture log;
        ASSERT_TRUE(parse(size)) << size;
        EXPECT_EQ(1, log.Count("cut.")) << size;
    }
}

// A recording renderer, and resources of a temporary folder that holds "images/".
class LoadTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(mHarness.Ok()); }

    void WriteTexture(const std::string& name)
    {
        std::filesystem::create_directories(mDir.Path() / "images" / std::filesystem::path(name).parent_path());
        imagetest::WriteFile(mDir.WPath("images/" + name),
                             imagetest::EncodePng(2, 2, std::vector<u32>(4, 0xFF336699u), true));
    }
    template <class T> base::CountedPtr<T> Get(const std::string& file)
    {
        base::CountedPtr<T> resource = resource::ResourceManager::Instance()->Get<T>(mDir.WPath(file));
        resource->SetRender(mHarness.mRender.get());
        return resource;
    }

    rendertest::Harness mHarness{render::HeadlessWindow::Backend::Recording};
    testsupport::TempDir mDir;
};
} // namespace animtest
