// Reading effect libraries: the folder tree, atlases and frames, attribute forms, and damaged
// input (refused emitters, unreadable files, cut-off files, deep nesting).
#include "ParticleFixture.h"

#include "Platform/Particles/EffectParser.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace particles;

namespace
{
using EffectParser = ptctest::LoggedTest;

std::unique_ptr<EffectFile> Parse(const std::string& text)
{
    return ParseEffectFile(text.data(), text.size(), "test.ptc");
}

const Entry* Find(const Folder& folder, const std::string& name)
{
    for (const Entry& entry : folder.entries)
        if (entry.name == name)
            return &entry;
    return nullptr;
}
} // namespace

TEST_F(EffectParser, ReadsFoldersEmittersRangesColoursAndFramesAndRefusesDamageWithALogLine)
{
    auto file = Parse(ptctest::Library("<folder name=\"a\">" + ptctest::StillEmitter("one", 1) + "<folder name=\"b\">" +
                                       ptctest::StillEmitter("two", 2) + "</folder></folder>" +
                                       ptctest::StillEmitter("three", 3)));
    ASSERT_NE(nullptr, file);
    EXPECT_EQ("test.ptc", file->fileName);
    ASSERT_EQ(2u, file->root.entries.size());
    const Entry& a = file->root.entries[0];
    ASSERT_TRUE(a.IsFolder());
    ASSERT_EQ(2u, a.folder->entries.size());
    EXPECT_EQ(std::make_tuple("a", "one", "three"),
              std::tie(a.name, a.folder->entries[0].name, file->root.entries[1].name));
    ASSERT_NE(nullptr, a.folder->entries[0].emitter);
    EXPECT_EQ(1u, a.folder->entries[0].emitter->types[0].burst);
    ASSERT_TRUE(a.folder->entries[1].IsFolder());
    EXPECT_EQ("two", a.folder->entries[1].folder->entries[0].name);
    EXPECT_FALSE(file->root.entries[1].IsFolder());
    EXPECT_FALSE(Logged("test.ptc")) << mLog->Text();

    // The seed defaults to the name, so equal names agree.
    file = Parse(ptctest::Library(ptctest::StillEmitter("same", 1) + "<folder>" + ptctest::StillEmitter("same", 1) +
                                  ptctest::StillEmitter("other", 1) + "</folder>"));
    ASSERT_NE(nullptr, file);
    const auto& inner = file->root.entries[1].folder->entries;
    EXPECT_EQ(file->root.entries[0].emitter->seed, inner[0].emitter->seed);
    EXPECT_NE(inner[0].emitter->seed, inner[1].emitter->seed);

    // Ranges, flags, colour keys, and frames as texture coordinates.
    file = Parse(ptctest::Library(
        "<emitter name=\"e\" duration=\"2\" prewarm=\"1.5\" step=\"20\" seed=\"77\">"
        "<particles texture=\"white\" blend=\"add\" rate=\"12.5\" life=\"2 1\" speed=\"5\" gravity=\"3\" "
        "area=\"4 6\" align=\"true\" trail=\"1\">"
        "<color t=\"1\" argb=\"00112233\"/><color t=\"0\" argb=\"ff8000\"/></particles></emitter>"));
    ASSERT_NE(nullptr, file);
    const Entry* e = Find(file->root, "e");
    ASSERT_TRUE(e && e->emitter);
    const EmitterDesc& d = *e->emitter;
    EXPECT_EQ(std::make_tuple(2.0f, 1.5f, 20.0f, 77u), std::tie(d.duration, d.prewarm, d.step, d.seed));
    const ParticleType& t = d.types[0];
    // The life range is put in order; one value is both ends.
    EXPECT_EQ(std::make_tuple(true, 12.5f, 1.0f, 2.0f, 5.0f, 5.0f, 3.0f, 3.0f, 6.0f, true, true),
              std::tie(t.additive, t.rate, t.life.min, t.life.max, t.speed.min, t.speed.max, t.gravityX, t.gravityY,
                       t.areaY, t.align, t.trail));
    ASSERT_EQ(2u, t.colors.size());
    // Sorted by t; six digits are opaque.
    EXPECT_EQ(std::make_tuple(0.0f, 1.0f, 128.0f / 255.0f, 0.0f, 0x33 / 255.0f),
              std::tie(t.colors[0].t, t.colors[0].a, t.colors[0].g, t.colors[1].a, t.colors[1].b));

    file = Parse("<effects><atlas file=\"a.png\" width=\"8\" height=\"8\"><frame name=\"x\" w=\"8\" h=\"8\"/>"
                 "</atlas><atlas file=\"b.png\" width=\"64\" height=\"32\">"
                 "<frame name=\"y\" x=\"16\" y=\"8\" w=\"16\" h=\"8\"/></atlas>"
                 "<emitter name=\"e\"><particles texture=\"y\"/><particles texture=\"x\"/></emitter></effects>");
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(2u, file->atlases.size());
    EXPECT_EQ("b.png", file->atlases[1].file);
    e = Find(file->root, "e");
    ASSERT_TRUE(e && e->emitter);
    const ParticleType& y = e->emitter->types[0];
    EXPECT_EQ(std::make_tuple(1, 0.25f, 0.25f, 0.5f, 0.5f), std::tie(y.atlas, y.u0, y.v0, y.u1, y.v1));
    EXPECT_EQ(0, e->emitter->types[1].atlas);

    file = Parse("<effects><atlas file=\"a.png\"><frame name=\"x\" w=\"1\" h=\"1\"/></atlas>" + ptctest::Atlas() +
                 "<emitter name=\"e\"><particles texture=\"white\"/></emitter>"
                 "<emitter name=\"f\"><particles texture=\"x\"/></emitter></effects>");
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(2u, file->atlases.size());
    EXPECT_EQ(1, Find(file->root, "e")->emitter->types[0].atlas);
    EXPECT_EQ(nullptr, Find(file->root, "f")->emitter);
    EXPECT_TRUE(Logged("atlas 'a.png' ignored"));

    // Damaged emitters and files are refused and named in the log while the rest loads.
    std::string kinds;
    for (int i = 0; i < 33; ++i)
        kinds += "<particles texture=\"white\"/>";
    const std::string bad[] = {
        "<emitter name=\"tex\"><particles texture=\"nothing\"/></emitter>",
        "<emitter name=\"nan\"><particles texture=\"white\" speed=\"nan\"/></emitter>",
        "<emitter name=\"life\"><particles texture=\"white\" life=\"-1\"/></emitter>",
        "<emitter name=\"blend\"><particles texture=\"white\" blend=\"multiply\"/></emitter>",
        "<emitter name=\"colour\"><particles texture=\"white\"><color argb=\"12\"/></particles></emitter>",
        "<emitter name=\"burst\"><particles texture=\"white\" burst=\"-3\"/></emitter>",
        "<emitter name=\"text\"><particles texture=\"white\" size=\"10 px\"/></emitter>",
        "<emitter name=\"empty\"/>",
        "<emitter><particles texture=\"white\"/></emitter>",
        "<emitter name=\"dur\" duration=\"1e30\"><particles texture=\"white\"/></emitter>",
        "<emitter name=\"pass\" duration=\"0.001\"><particles texture=\"white\"/></emitter>",
        "<emitter name=\"kinds\">" + kinds + "</emitter>",
    };
    std::string body;
    for (const std::string& b : bad)
        body += b;
    file = Parse(ptctest::Library(body + ptctest::StillEmitter("good", 2)));
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(std::size(bad) + 1, file->root.entries.size());
    for (size_t i = 0; i < std::size(bad); ++i)
        EXPECT_EQ(nullptr, file->root.entries[i].emitter) << bad[i];
    EXPECT_NE(nullptr, Find(file->root, "good")->emitter);
    for (const char* name : {"'tex'", "'nan'", "'life'", "'blend'", "'colour'", "'burst'", "'text'", "'empty'", "'dur'",
                             "'pass'", "more than 32 particle kinds", "unknown texture 'nothing'"})
        EXPECT_TRUE(Logged(name)) << name << "\n" << mLog->Text();

    // Text that is no library fails; folders nested too deep are left out.
    for (const std::string& text : {std::string(), std::string("not xml at all"), std::string("<effects>"),
                                    std::string("<particles/>"), std::string("\0\0\0", 3)})
    {
        mLog = std::make_unique<audiotest::LogCapture>();
        EXPECT_EQ(nullptr, Parse(text)) << text;
        EXPECT_TRUE(Logged("Particle file 'test.ptc'")) << text;
    }
    EXPECT_EQ(nullptr, ParseEffectFile(nullptr, 0, "null"));

    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "<folder name=\"d\">";
    text += ptctest::StillEmitter("deep", 1);
    for (int i = 0; i < 40; ++i)
        text += "</folder>";
    file = Parse(ptctest::Library(text));
    ASSERT_NE(nullptr, file);
    int depth = 0;
    const Folder* folder = &file->root;
    while (!folder->entries.empty() && folder->entries[0].IsFolder())
    {
        folder = folder->entries[0].folder.get();
        ++depth;
    }
    EXPECT_EQ(16, depth);
    EXPECT_TRUE(Logged("nested deeper"));
}
