// Descriptor walking: every value type is skipped exactly, and what cannot be walked stops it.
#include "Core/Base/Stream.h"
#include "Core/Psd/Descriptor.h"
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

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
    bool ok = psd::WalkDescriptor(reader, 0, nullptr, [&](const std::string& key, u32 type) {
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
        {"doub", std::string(8, '\1')},                   {"UntF", "#Pxl" + std::string(8, '\2')},
        {"TEXT", Bytes().Unicode("hello", true).Str()},
        {"enum", Bytes().Id("BlnM").Id("linearDodge").Str()},
        {"bool", "\x01"},                                 {"long", std::string("\0\0\0\x07", 4)},
        {"comp", std::string(8, '\3')},                   {"alis", alias.Str()},
        {"tdta", alias.Str()},                            {"Pth ", alias.Str()},
        {"type", Bytes().Class("Clss").Str()},            {"GlbC", Bytes().Class("Clss").Str()},
        {"obj ", Reference()},                            {"VlLs", list.Str()},
        {"UnFl", unitList.Str()},                         {"ObAr", objectArray.Str()},
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
}
