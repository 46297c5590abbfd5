// Descriptor walking: every value type is skipped exactly; enums, colours, contours and depth.
#include "Core/Base/Stream.h"
#include "Core/Psd/Descriptor.h"
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{
struct Walk
{
    explicit Walk(const std::string& bytes) : mBytes(bytes), mStream(mBytes.data(), static_cast<u32>(mBytes.size())), mReader(mStream) {}
    std::string mBytes;
    base::MemoryStream mStream;
    psd::Reader mReader;
};

// Walks a descriptor and returns the long value of its item "stop" (-1 when not reached).
i32 SentinelAfter(const Descriptor& d, bool* finished = nullptr)
{
    Walk w(d.Body());
    i32 sentinel = -1;
    bool ok = psd::WalkDescriptor(w.mReader, 0, nullptr, [&](const std::string& key, u32 type) {
        if (key == "stop" && type == psd::FourCC("long"))
        {
            sentinel = w.mReader.I32();
            return 1;
        }
        return 0;
    });
    if (finished)
        *finished = ok;
    return sentinel;
}

std::string Reference()
{
    Bytes b;
    b.U32(4);
    b.Key("prop").Class("Lyr ").Id("Nm  ");
    b.Key("Enmr").Class("Lyr ").Id("Ordn").Id("Trgt");
    b.Key("Idnt").U32(5);
    b.Key("name").Unicode("layer");
    return b.Str();
}
} // namespace

TEST(Descriptor, EveryValueTypeIsSkippedExactly)
{
    Bytes list;
    list.U32(2).Key("long").U32(1).Key("TEXT").Unicode("x", true);
    Bytes unitList;
    unitList.Key("#Pxl").U32(2).F64(1.0).F64(2.0);
    Bytes objectArray;
    objectArray.U32(1).Class("null").U32(1).Id("a   ").Key("UnFl").Raw(unitList.Str());
    Bytes alias;
    alias.U32(3).Raw("abc");
    const std::pair<const char*, std::string> values[] = {
        {"doub", std::string(8, '\1')},
        {"UntF", "#Pxl" + std::string(8, '\2')},
        {"TEXT", Bytes().Unicode("hello", true).Str()},
        {"enum", Bytes().Id("BlnM").Id("linearDodge").Str()},
        {"bool", "\x01"},
        {"long", std::string("\0\0\0\x07", 4)},
        {"comp", std::string(8, '\3')},
        {"alis", alias.Str()},
        {"tdta", alias.Str()},
        {"Pth ", alias.Str()},
        {"type", Bytes().Class("Clss").Str()},
        {"GlbC", Bytes().Class("Clss").Str()},
        {"obj ", Reference()},
        {"VlLs", list.Str()},
        {"UnFl", unitList.Str()},
        {"ObAr", objectArray.Str()},
        {"Objc", Descriptor("Nstd").Long("in  ", 3).Body()},
    };
    for (const auto& [type, bytes] : values)
    {
        Descriptor d;
        d.RawItem("item", type, bytes).Long("stop", 77);
        EXPECT_EQ(77, SentinelAfter(d)) << type;
    }
}

TEST(Descriptor, UnknownTypeStopsTheWalk)
{
    Descriptor d;
    d.RawItem("item", "Zzzz", "????").Long("stop", 5);
    bool finished = true;
    EXPECT_EQ(-1, SentinelAfter(d, &finished));
    EXPECT_FALSE(finished);
}

TEST(Descriptor, DeepNestingIsCapped)
{
    Descriptor inner;
    inner.Long("leaf", 1);
    for (int i = 0; i < 100; ++i)
    {
        Descriptor outer;
        outer.Object("next", inner);
        inner = outer;
    }
    Descriptor top;
    top.Object("deep", inner).Long("stop", 3);
    bool finished = true;
    SentinelAfter(top, &finished);
    EXPECT_FALSE(finished);
    // Within the cap the walk goes through.
    Descriptor shallow;
    Descriptor three;
    three.Object("a", Descriptor().Object("b", Descriptor().Long("c", 1)));
    shallow.Object("x", three).Long("stop", 4);
    EXPECT_EQ(4, SentinelAfter(shallow));
}

TEST(Descriptor, LongIdsAreBoundedAndSkipped)
{
    Bytes b;
    b.U32(1000).Raw(std::string(1000, 'k')).Key("tail");
    Walk w(b.Str());
    std::string id = psd::ReadId(w.mReader);
    EXPECT_EQ(255u, id.size());
    EXPECT_EQ(psd::FourCC("tail"), w.mReader.Key());
}

TEST(Descriptor, Enumerations)
{
    EXPECT_EQ(9u, psd::BlendModeFromEnum("linearDodge"));
    EXPECT_EQ(3u, psd::BlendModeFromEnum("Mltp"));
    EXPECT_EQ(19u, psd::BlendModeFromEnum("H   "));
    EXPECT_EQ(0u, psd::BlendModeFromEnum("whatever"));
    EXPECT_EQ(2u, psd::BevelTechniqueFromEnum("Slmt"));
    EXPECT_EQ(0u, psd::BevelTechniqueFromEnum("odd"));
    EXPECT_EQ(4u, psd::GradientStyleFromEnum("Dmnd"));
    EXPECT_EQ(255u, psd::PercentToByte(100.0));
    EXPECT_EQ(191u, psd::PercentToByte(75.0));
    EXPECT_EQ(0u, psd::PercentToByte(-5.0));
    EXPECT_EQ(255u, psd::PercentToByte(1e300));
}

TEST(Descriptor, ColoursOfEveryClass)
{
    auto read = [](const Descriptor& d) {
        Walk w(d.Body());
        u32 colour = 0;
        EXPECT_TRUE(psd::ReadColourDescriptor(w.mReader, 0, colour));
        return colour;
    };
    EXPECT_EQ(0xFFFF8000u, read(RgbColour(255, 128, 0)));
    Descriptor hsb("HSBC");
    hsb.Unit("H   ", "#Ang", 0.0).Double("Strt", 100.0).Double("Brgh", 100.0);
    EXPECT_EQ(0xFFFF0000u, read(hsb));
    Descriptor cmyk("CMYC");
    cmyk.Double("Cyn ", 0).Double("Mgnt", 0).Double("Ylw ", 0).Double("Blck", 100);
    EXPECT_EQ(0xFF000000u, read(cmyk));
    Descriptor grey("Grsc");
    grey.Double("Gry ", 0.0);
    EXPECT_EQ(0xFFFFFFFFu, read(grey));
    Descriptor lab("LbCl");
    lab.Double("Lmnc", 0.0).Double("A   ", 0.0).Double("B   ", 0.0);
    EXPECT_EQ(0xFF000000u, read(lab));
}

TEST(Descriptor, Contours)
{
    psd::ContourPoint line[2] = {{0, 0, false}, {255, 255, false}};
    psd::Contour identity;
    EXPECT_EQ(identity.mTable, psd::BuildContour(line, 2).mTable);
    EXPECT_EQ(identity.mTable, psd::BuildContour(nullptr, 0).mTable);
    // A flat curve at 100 from x 50: entries below take the first point's y.
    psd::ContourPoint flat[2] = {{50, 100, false}, {200, 100, false}};
    psd::Contour table = psd::BuildContour(flat, 2);
    EXPECT_EQ(100, table.mTable[0]);
    EXPECT_EQ(100, table.mTable[128]);
    EXPECT_EQ(100, table.mTable[255]);
    // A peak: the middle is high, both ends low, and the curve is smooth around it.
    psd::ContourPoint peak[3] = {{0, 0, false}, {128, 255, false}, {255, 0, false}};
    table = psd::BuildContour(peak, 3);
    EXPECT_EQ(255, table.mTable[128]);
    EXPECT_EQ(0, table.mTable[0]);
    EXPECT_NEAR(128, table.mTable[64], 40);
    // Through a descriptor: "Crv " list of points.
    Descriptor curve("ShpC");
    curve.Text("Nm  ", "Linear").ObjectList("Crv ", {Descriptor("CrPt").Double("Hrzn", 0).Double("Vrtc", 0),
                                                     Descriptor("CrPt").Double("Hrzn", 255).Double("Vrtc", 255)});
    Descriptor holder;
    holder.Object("TrnS", curve);
    Walk w(holder.Body());
    psd::Contour read;
    read.mTable.fill(7);
    psd::WalkDescriptor(w.mReader, 0, nullptr, [&](const std::string&, u32 type) {
        return psd::ReadContourValue(w.mReader, type, 1, read) ? 1 : -1;
    });
    EXPECT_EQ(identity.mTable, read.mTable);
}
