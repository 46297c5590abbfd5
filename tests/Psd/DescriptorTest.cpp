// Descriptor walking (every value type is skipped exactly, and what cannot be walked stops it), and
// the records the game reads past without using them (image resources, adjustments, layer effects,
// patterns): one sanity case each; their damage is DamagedInputTest's. Colour descriptors of every
// class convert to ARGB.
#include "Core/Psd/Descriptor.h"
#include "Core/Base/Stream.h"
#include "Core/Psd/Colour.h"
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

#include <limits>

using namespace psdtest;

namespace
{
// Walks a descriptor and returns the long value of its item "stop" (-1 when not reached).
i32 SentinelAfter(const Descriptor& d, bool* finished = nullptr)
{
    const std::string body = d.Body();
    base::MemoryStream stream(body.data(), static_cast<u32>(body.size()));
    psd::Reader reader(stream);
    i32 sentinel = -1;
    bool ok = psd::WalkDescriptor(reader, 0, nullptr,
                                  [&](const std::string& key, u32 type)
                                  {
                                      if (key == "stop" && type == psd::FourCC("long"))
                                      {
                                          sentinel = reader.I32();
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

Descriptor RgbColour(double r, double g, double b)
{
    Descriptor d("RGBC");
    d.Double("Rd  ", r).Double("Grn ", g).Double("Bl  ", b);
    return d;
}

std::string PatternChannel(const std::string& data)
{
    Bytes b;
    b.U32(1).U32(static_cast<u32>(23 + data.size())).U32(8).Zeros(18).U8(0).Raw(data);
    return b.Str();
}

// An RGB pattern of one pixel, or of no channel at a version no reader knows.
std::string Pattern(const std::vector<std::string>& channels, u32 version = 1)
{
    Bytes body;
    body.U32(version).U32(3).U16(1).U16(1).Unicode("Dots").U8(2).Raw("id");
    body.U32(3).U32(0).U32(0).U32(0).U32(1).U32(1).U32(static_cast<u32>(channels.size()));
    for (const std::string& c : channels)
        body.Raw(c);
    while (body.Size() % 4)
        body.U8(0);
    return Bytes().Block(body.Str()).Str();
}
} // namespace

TEST(Descriptor, EveryValueTypeIsSkippedExactlyAndWhatCannotBeWalkedStopsTheWalk)
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

    // Unknown types and deep nesting stop the walk.
    Descriptor unknown;
    unknown.RawItem("item", "Zzzz", "????").Long("stop", 5);
    bool finished = true;
    EXPECT_EQ(-1, SentinelAfter(unknown, &finished));
    EXPECT_FALSE(finished);

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
    finished = true;
    SentinelAfter(top, &finished);
    EXPECT_FALSE(finished);
    // Within the cap the walk goes through.
    Descriptor three;
    three.Object("a", Descriptor().Object("b", Descriptor().Long("c", 1)));
    Descriptor shallow;
    shallow.Object("x", three).Long("stop", 4);
    EXPECT_EQ(4, SentinelAfter(shallow));

    // Long ids are kept up to 255 bytes and the rest of the id is skipped.
    Bytes longId;
    longId.U32(1000).Raw(std::string(1000, 'k')).Key("tail");
    const std::string body = longId.Str();
    base::MemoryStream stream(body.data(), static_cast<u32>(body.size()));
    psd::Reader reader(stream);
    EXPECT_EQ(std::string(255, 'k'), psd::ReadId(reader));
    EXPECT_EQ(psd::FourCC("tail"), reader.Key());
}

TEST(Records, LevelsAnOldFormShadowPatternsAndImageResourcesAreReadWithoutReadingIntoTheNext)
{
    Bytes levels;
    levels.U16(2);
    for (int i = 0; i < 29; ++i)
        levels.U16(i).U16(255).U16(0).U16(255).U16(100);
    // An inner shadow of the old fixed form, version 2: its native colour follows the blend mode.
    Bytes shadow;
    shadow.U32(2).U32(5u << 16).U32(10u << 16).U32(90u << 16).U32(7u << 16).Colour(0, 0xFF00, 0, 0);
    shadow.Key("8BIM").Key("mul ").U8(1).U8(0).U8(128).Colour(0, 0, 0xFF00, 0);
    const std::string effects = Bytes().U16(0).U16(1).Key("8BIM").Key("isdw").Block(shadow.Str()).Str();
    DocPtr doc = LoadLayerWithExtra(Tagged("levl", levels.Str()) + Tagged("lrFX", effects));
    ASSERT_TRUE(doc);
    const psd::LayerRecord& layer = doc->mLayers[0];
    const auto* read = static_cast<const psd::LevelsRecord*>(layer.FindEntry(psd::kEntryLevels));
    ASSERT_TRUE(read);
    EXPECT_EQ(29u, read->mLevels.size());
    EXPECT_EQ(28, read->mLevels[28].mInputFloor);
    const auto* fx = static_cast<const psd::EffectsRecord*>(layer.FindEntry(psd::kEntryEffectsOld));
    ASSERT_TRUE(fx);
    EXPECT_EQ(0xFF00FF00u, fx->mInnerShadow.mNativeColour);

    // A damaged pattern stops only the pattern block.
    const std::string good = Pattern({PatternChannel("\x01"), PatternChannel("\x02"), PatternChannel("\x03")});
    Bytes section;
    section.U32(0).U32(0).Key("8BIM").Key("Patt").Block(good + Pattern({}, 7) + good);
    doc = LoadBytes(PsdBuilder(2, 2).RawLayerSection(section.Str()).Build());
    ASSERT_TRUE(doc);
    EXPECT_EQ(1u, doc->mPatterns.size());
    EXPECT_EQ(0xFF010203u, doc->mPatterns[0].mPixels[0]);

    // Image resources are skipped with their names and padding, never into the next block.
    for (const char* name : {"", "a", "ab", "abc"})
    {
        DocPtr doc = LoadBytes(PsdBuilder(2, 2)
                                   .Resource(1024, std::string("\x00\x05", 2), name)
                                   .Resource(1037, Bytes().U32(45).Str())
                                   .Build());
        ASSERT_TRUE(doc) << name;
        EXPECT_EQ(5, doc->mTargetLayer);
        EXPECT_EQ(45, doc->mGlobalAngle);
    }
    // A 1005 of two bytes must not take its fields from the following block; an unknown odd block
    // is skipped with its padding.
    doc = LoadBytes(PsdBuilder(2, 2)
                        .Resource(1005, std::string("\x00\x48", 2))
                        .Resource(1024, std::string("\x00\x09", 2))
                        .Resource(4000, "abc")
                        .Resource(1034, "\x01")
                        .Build());
    ASSERT_TRUE(doc);
    EXPECT_EQ(9, doc->mTargetLayer);
    EXPECT_EQ(0, doc->mHorizontalUnit);
    EXPECT_EQ(1, doc->mProtected);
}

TEST(Records, DescriptorFormEffectsReadPastUnknownItemsInsideAndBetweenEffects)
{
    Descriptor shadow("DrSh");
    shadow.Bool("enab", true)
        .Bool("present", true) // a newer writer's item inside the effect
        .Object("Clr ", RgbColour(0, 0, 255))
        .Unit("blur", "#Pxl", 9.0)
        .Bool("showInDialog", false);
    Descriptor stroke("FrFX");
    stroke.Bool("enab", true)
        .Unit("Sz  ", "#Pxl", 6.0)
        .Enum("Styl", "FStl", "InsF")
        .Enum("PntT", "FrFl", "SClr")
        .Object("Clr ", RgbColour(10, 20, 30));
    Descriptor root;
    root.Unit("Scl ", "#Prc", 100.0)
        .Bool("masterFXSwitch", true)
        .Object("DrSh", shadow)
        .Object("brandNewFx", Descriptor().Long("x", 1))
        .Object("FrFX", stroke);
    Bytes data;
    data.U32(0).U32(16).Raw(root.Body());
    DocPtr doc = LoadLayerWithExtra(Tagged("lfx2", data.Str()));
    ASSERT_TRUE(doc);
    const auto* fx = static_cast<const psd::EffectsRecord*>(doc->mLayers[0].FindEntry(psd::kEntryEffects));
    ASSERT_TRUE(fx);
    EXPECT_EQ(0xFF0000FFu, fx->mDropShadow.mColour);
    EXPECT_EQ(9, fx->mDropShadow.mSize);         // read past the unknown item inside it
    EXPECT_EQ(0xFF0A141Eu, fx->mStroke.mColour); // read past the unknown effect before it
    EXPECT_EQ(6, fx->mStroke.mSize);
}

TEST(Descriptor, ColoursOfEveryClassConvertToArgb)
{
    Descriptor hsb("HSBC");
    hsb.Unit("H   ", "#Ang", 0.0).Double("Strt", 100.0).Double("Brgh", 100.0);
    Descriptor cmyk("CMYC");
    cmyk.Double("Cyn ", 0).Double("Mgnt", 0).Double("Ylw ", 0).Double("Blck", 100);
    Descriptor grey("Grsc");
    grey.Double("Gry ", 0.0);
    Descriptor lab("LbCl");
    lab.Double("Lmnc", 0.0).Double("A   ", 0.0).Double("B   ", 0.0);
    const std::pair<Descriptor, u32> colours[] = {
        {RgbColour(255, 128, 0), 0xFFFF8000u},
        {hsb, 0xFFFF0000u},
        {cmyk, 0xFF000000u},
        {grey, 0xFFFFFFFFu},
        {lab, 0xFF000000u},
    };
    for (const auto& [descriptor, argb] : colours)
    {
        const std::string body = descriptor.Body();
        base::MemoryStream stream(body.data(), static_cast<u32>(body.size()));
        psd::Reader reader(stream);
        u32 colour = 0;
        EXPECT_TRUE(psd::ReadColourDescriptor(reader, 0, colour)) << std::hex << argb;
        EXPECT_EQ(argb, colour);
    }
}

// A damaged effect colour may hold NaN or infinities: each component then reads as the lowest value
// of its range (NaN, -inf) or its highest (+inf), and the others keep their own values.
TEST(Records, EffectColoursWithNanOrInfiniteComponentsReadAsTheEndsOfTheirRanges)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    auto colour = [](const std::string& cls, std::initializer_list<std::pair<const char*, double>> items)
    {
        Descriptor d(cls);
        for (const auto& [key, value] : items)
            d.Double(key, value);
        return d;
    };
    const struct
    {
        const char* mWhat;
        Descriptor mColour;
        u32 mArgb;
    } cases[] = {
        {"rgb", colour("RGBC", {{"Rd  ", -nan}, {"Grn ", 128}, {"Bl  ", inf}}), 0xFF0080FFu},
        {"rgb -inf", colour("RGBC", {{"Rd  ", 200}, {"Grn ", -inf}, {"Bl  ", 64}}), 0xFFC80040u},
        {"rgb floats", colour("RGBC", {{"redFloat", nan}, {"greenFloat", 0.5}, {"blueFloat", inf}}), 0xFF007FFFu},
        {"hsb hue", colour("HSBC", {{"H   ", nan}, {"Strt", 100}, {"Brgh", 100}}), 0xFFFF0000u},
        {"hsb saturation", colour("HSBC", {{"H   ", 120}, {"Strt", -nan}, {"Brgh", 50}}), 0xFF808080u},
        {"hsb brightness", colour("HSBC", {{"H   ", 240}, {"Strt", 100}, {"Brgh", nan}}), 0xFF000000u},
        {"hsb +inf", colour("HSBC", {{"H   ", 240}, {"Strt", 50}, {"Brgh", inf}}), 0xFF8080FFu},
        {"cmyk cyan", colour("CMYC", {{"Cyn ", -nan}, {"Mgnt", 50}, {"Ylw ", 100}, {"Blck", 0}}), 0xFFFF8000u},
        {"cmyk black", colour("CMYC", {{"Cyn ", 0}, {"Mgnt", 50}, {"Ylw ", 0}, {"Blck", nan}}), 0xFFFF80FFu},
        {"cmyk infinities", colour("CMYC", {{"Cyn ", -inf}, {"Mgnt", 50}, {"Ylw ", 0}, {"Blck", inf}}), 0xFF000000u},
        {"cmyk -inf", colour("CMYC", {{"Cyn ", 50}, {"Mgnt", -inf}, {"Ylw ", 100}, {"Blck", 0}}), 0xFF80FF00u},
        {"lab lightness", colour("LbCl", {{"Lmnc", nan}, {"A   ", 0}, {"B   ", 0}}), 0xFF000000u},
        {"lab a", colour("LbCl", {{"Lmnc", 50}, {"A   ", -nan}, {"B   ", 20}}), psd::LabToArgb(50, -128, 20)},
        {"lab b", colour("LbCl", {{"Lmnc", 60}, {"A   ", 10}, {"B   ", inf}}), psd::LabToArgb(60, 10, 127)},
        {"lab -inf", colour("LbCl", {{"Lmnc", -inf}, {"A   ", 0}, {"B   ", 0}}), 0xFF000000u},
        {"grey", colour("Grsc", {{"Gry ", nan}}), 0xFFFFFFFFu},
        {"grey +inf", colour("Grsc", {{"Gry ", inf}}), 0xFF000000u},
        {"grey -inf", colour("Grsc", {{"Gry ", -inf}}), 0xFFFFFFFFu},
    };
    for (const auto& c : cases)
    {
        Descriptor shadow("DrSh");
        shadow.Bool("enab", true).Object("Clr ", c.mColour).Unit("blur", "#Pxl", 5.0);
        Descriptor root;
        root.Unit("Scl ", "#Prc", 100.0).Object("DrSh", shadow);
        Bytes data;
        data.U32(0).U32(16).Raw(root.Body());
        DocPtr doc = LoadLayerWithExtra(Tagged("lfx2", data.Str()));
        ASSERT_TRUE(doc) << c.mWhat;
        const auto* fx = static_cast<const psd::EffectsRecord*>(doc->mLayers[0].FindEntry(psd::kEntryEffects));
        ASSERT_TRUE(fx) << c.mWhat;
        EXPECT_EQ(c.mArgb, fx->mDropShadow.mColour) << c.mWhat << std::hex << " 0x" << fx->mDropShadow.mColour;
        EXPECT_EQ(5, fx->mDropShadow.mSize) << c.mWhat; // read on past the colour
    }
    // The lowest and highest ends are not the neutral values the cases above would also match.
    EXPECT_NE(psd::LabToArgb(50, -128, 20), psd::LabToArgb(50, 0, 20));
    EXPECT_NE(psd::LabToArgb(60, 10, 127), psd::LabToArgb(60, 10, 0));
}
