// Every PSD file and "layers.xml" folder of the demo content opens as an image container whose
// images all become textures.
#include "ContainerTestSupport.h"

#include "Core/Base/StringConvert.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Render/RenderTestSupport.h"

using namespace containertest;

namespace
{
const std::filesystem::path kContent = std::filesystem::path(QL_SOURCE_DIR) / "content" / "td";

std::vector<std::filesystem::path> Layouts()
{
    std::vector<std::filesystem::path> found;
    if (!std::filesystem::exists(kContent))
        return found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kContent))
    {
        if (entry.path().extension() == ".psd")
            found.push_back(entry.path());
        else if (entry.path().filename() == "layers.xml")
            found.push_back(entry.path().parent_path());
    }
    return found;
}
} // namespace

TEST_F(ContainerTest, EveryDemoLayoutOpensAndEveryImageLoads)
{
    const auto layouts = Layouts();
    ASSERT_FALSE(layouts.empty());
    rendertest::Harness harness(render::HeadlessWindow::Backend::Recording);
    ASSERT_TRUE(harness.Ok());
    const std::string startUp = mLog->Text(); // the renderer's start-up lines
    for (const std::filesystem::path& layout : layouts)
    {
        SCOPED_TRACE(layout.string());
        auto container = Open(base::Utf8ToWide(layout.string()));
        ASSERT_NE(container, nullptr);
        EXPECT_GT(container->GetImageCount(), 0u);
        for (u32 i = 0; i < container->GetImageCount(); ++i)
        {
            const base::ImageInfo* info = container->GetImage(i);
            if (!info->mHasPixels || info->mWidth <= 0 || info->mHeight <= 0)
                continue;
            // The tutorial's text places have no picture on purpose: the page's text goes there.
            if (layout.filename() == "tutorial" && info->mName.ends_with(L"/text"))
                continue;
            render::Image* image = nullptr;
            EXPECT_EQ(QL_OK, render::LoadImage(harness.mRender.get(), info->mName, container.get(), &image, nullptr))
                << base::WideToUtf8(info->mName);
            delete image;
        }
    }
    EXPECT_EQ(startUp, mLog->Text()) << "nothing was refused";
}
