// Shared fixture and PSD layer builder of the image container tests.
#pragma once

#include "Core/File/FileManager.h"
#include "Core/Media/Container/ImageContainers.h"
#include "Core/Media/Image/ImageContainer.h"
#include "File/FileTestSupport.h"
#include "PsdBuilder.h"
#include "PsdTestUtil.h"

#include <array>
#include <memory>
#include <string>

namespace containertest
{
// A layer of one colour: top, left, height, width as a PSD stores its rectangle.
inline psdtest::LayerSpec Solid(const std::string& name, i32 left, i32 top, i32 width, i32 height, u32 argb)
{
    return psdtest::RawRgbaLayer(top, left, height, width, static_cast<u8>(argb >> 16), static_cast<u8>(argb >> 8),
                                 static_cast<u8>(argb), static_cast<u8>(argb >> 24), name);
}

// An image's rectangle, compared whole: x, y, width, height.
using Box = std::array<float, 4>;
inline Box BoxOf(const base::ImageInfo* info) { return {info->mX, info->mY, info->mWidth, info->mHeight}; }

// The file tests' fixture (temporary working folder, fresh singletons, captured log) with the
// image container makers registered.
class ContainerTest : public filetest::FileTest
{
protected:
    void SetUp() override
    {
        FileTest::SetUp();
        file::RegisterImageContainers();
    }
    void TearDown() override
    {
        mContainer.reset();
        file::FileContainer::SetImageContainerMakers(nullptr, nullptr);
        FileTest::TearDown();
    }

    file::FileManager* Files() const { return file::FileManager::Instance(); }
    std::unique_ptr<file::ImageContainer> Open(const std::wstring& path) const
    {
        return std::unique_ptr<file::ImageContainer>(Files()->OpenImageContainer(path));
    }
    // Opens the path into mContainer; null when it is not a container of that kind.
    template <class T> T* OpenAs(const std::wstring& path)
    {
        mContainer = Open(path);
        return dynamic_cast<T*>(mContainer.get());
    }
    std::unique_ptr<file::ImageContainer> mContainer;
};
} // namespace containertest
