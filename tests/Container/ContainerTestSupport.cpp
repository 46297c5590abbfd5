// Builders shared by the image container tests.
#include "ContainerTestSupport.h"

#include "Core/File/ArchiveBuilder.h"
#include "PsdTestUtil.h"

namespace containertest
{
psdtest::LayerSpec Solid(const std::string& name, i32 left, i32 top, i32 width, i32 height, u32 argb)
{
    return psdtest::RawRgbaLayer(top, left, height, width, static_cast<u8>(argb >> 16), static_cast<u8>(argb >> 8),
                                 static_cast<u8>(argb), static_cast<u8>(argb >> 24), name);
}

psdtest::LayerSpec GroupStart(const std::string& name)
{
    psdtest::LayerSpec layer;
    layer.mName = name;
    layer.mExtra = psdtest::Divider(1, "pass");
    return layer;
}

psdtest::LayerSpec GroupEnd()
{
    psdtest::LayerSpec layer;
    layer.mName = "</Layer group>";
    layer.mExtra = psdtest::Divider(3);
    return layer;
}

void ContainerTest::PackAndMount() const
{
    ASSERT_EQ(QL_OK, file::BuildPack(L"src", L"data.dat"));
    file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
}
} // namespace containertest
