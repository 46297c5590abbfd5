// Drawing text with a loaded font on the recording device: glyph positions, alignment,
// justification, page runs and measuring commands.
#include "FntBuilder.h"
#include "Graphics/GraphicsFixture.h"
#include "Image/ImageBuilders.h"

#include "Core/Base/Box.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Resource/ResourceManager.h"
#include "support/TempDir.h"

#include <cwchar>
#include <filesystem>
#include <tuple>

using namespace graphicstest;
using fonttest::FntBuilder;
using rendertest::Only;

namespace
{
class FontDraw : public GraphicsFixture
{
protected:
    // Writes the font and a white page per page entry, then loads it through the resource manager.
    base::CountedPtr<render::BMFont> Load(const FntBuilder& builder, const std::string& name = "font")
    {
        for (const auto& [id, file] : builder.pages)
            imagetest::WriteFile(mDir.WPath(file),
                                 imagetest::EncodePng(64, 64, std::vector<u32>(64 * 64, 0xFFFFFFFF), true));
        const std::string text = builder.Build();
        imagetest::WriteFile(mDir.WPath(name + ".fnt"), imagetest::Bytes(text.begin(), text.end()));
        auto font = resource::ResourceManager::Instance()->Get<render::BMFont>(mDir.WPath(name));
        font->SetRender(mRender);
        EXPECT_EQ(QL_OK, font->Load());
        return font;
    }

    static FntBuilder Letters()
    {
        FntBuilder b;
        b.glyphs = {{65, 10, 0, 0, 0, 8, 12, 1, 2}, // x offset 1, y offset 2
                    {86, 10, 0, 10, 0, 8, 12},
                    {97, 20, 0, 0, 16, 16, 16},
                    {98, 20, 0, 16, 16, 16, 16},
                    {99, 20},
                    {100, 20},
                    {101, 20},
                    {102, 20},
                    {32, 10},
                    {119, 51},
                    {120, 5}};
        b.kernings = {{65, 86, -2}};
        return b;
    }

    // Draws the text through its command with a capturing transformer; returns the glyph quads.
    std::vector<render::SVertex2D> Draw(render::DrawUntransformedParam<render::DrawTextParam>& command)
    {
        CaptureTransformer capture(&command);
        EXPECT_EQ(QL_OK, command->Draw(&capture));
        command.Cancel();
        return capture.mSeen;
    }

    // Draws the text wrapped at the width, justified, each line measured on its own.
    std::vector<render::SVertex2D> Wrapped(const std::wstring& text, float width, u32 align = 3)
    {
        auto command = mGraphics->DrawTextWrapped(&text, width, 0.0f, align, true);
        command->mFormat.mWidestLine = false;
        return Draw(command);
    }

    testsupport::TempDir mDir;
};
} // namespace

TEST_F(FontDraw, GlyphsLandWhereKerningJustificationAndAlignmentPutThemAndMeasuringRecordsNothing)
{
    auto font = Load(Letters());
    mGraphics->mFont = font.Get();
    const std::wstring text = L"AV";
    auto command = mGraphics->DrawText(&text);
    float width = 0.0f, height = 0.0f;
    command->mOutWidth = &width;
    command->mOutHeight = &height;
    const auto quads = Draw(command);
    EXPECT_EQ(std::make_pair(18.0f, 20.0f), std::make_pair(width, height));
    ASSERT_EQ(8u, quads.size());
    EXPECT_EQ(std::make_pair(1.0f, 2.0f), std::make_pair(quads[0].x, quads[0].y)); // the offsets
    EXPECT_FLOAT_EQ(9.0f, quads[1].x);
    EXPECT_FLOAT_EQ(14.0f, quads[2].y);
    EXPECT_FLOAT_EQ(8.0f, quads[4].x) << "V drawn at the kerned advance, as measured";
    EXPECT_FLOAT_EQ(10.0f / 64.0f, quads[4].u);
    EXPECT_FLOAT_EQ(18.0f / 64.0f, quads[5].u);
    // The pair is ordered: in "VA" the A follows the whole advance of V, plus its x offset.
    const std::wstring reversed = L"VA";
    auto other = mGraphics->DrawText(&reversed);
    EXPECT_FLOAT_EQ(11.0f, Draw(other)[4].x);
    // Justified wrapped lines widen their spaces.
    const auto lines = Wrapped(L"a b c def", 100.0f);
    ASSERT_EQ(6u * 4, lines.size());
    EXPECT_FLOAT_EQ(0.0f, lines[0].x);
    EXPECT_FLOAT_EQ(40.0f, lines[4].x); // 20 + space 10 + 10 extra
    EXPECT_FLOAT_EQ(80.0f, lines[8].x);
    EXPECT_FLOAT_EQ(0.0f, lines[12].x) << "the last line keeps its indent";
    EXPECT_FLOAT_EQ(20.0f, lines[12].y) << "one line advance down";
    // Spaces that open a justified line keep their width: the inner space takes all the room.
    const auto openedQuads = Wrapped(L"  a b cd", 100.0f);
    ASSERT_EQ(4u * 4, openedQuads.size());
    EXPECT_FLOAT_EQ(20.0f, openedQuads[0].x) << "a after the two opening spaces";
    EXPECT_FLOAT_EQ(80.0f, openedQuads[4].x) << "b after a, the space and all 30 of the slack";
    // Without inner spaces the letters share the slack, the opening spaces left out.
    const auto spreadQuads = Wrapped(L"  abcdef", 110.0f);
    ASSERT_EQ(6u * 4, spreadQuads.size());
    EXPECT_FLOAT_EQ(20.0f, spreadQuads[0].x);
    EXPECT_NEAR(110.0f, spreadQuads[12].x + 20.0f, 1e-4f) << "d, the last of the line, ends at the wrap width";
    // Centred and right-aligned lines start inside the measured width.
    const struct
    {
        const wchar_t* text;
        u32 align;
        float x; // of the last glyph
    } cases[] = {
        {L"w", 2, 25.0f},  // ceil(24.5)
        {L"w", 1, 49.0f},  // right
        {L"AV", 2, 49.0f}, // the kerned 18 starts at 41: V at 41 + 10 - 2
    };
    for (const auto& c : cases)
    {
        const auto glyphs = Wrapped(c.text, 100.0f, c.align);
        ASSERT_EQ(4 * std::wcslen(c.text), glyphs.size());
        EXPECT_FLOAT_EQ(c.x, glyphs[glyphs.size() - 4].x) << c.align;
    }
    // Command alignment moves the whole text by floored halves.
    const std::wstring x = L"x";
    auto moved = mGraphics->DrawText(&x);
    moved->mAlignH = 2;
    moved->mAlignV = 3;
    const auto glyph = Draw(moved);
    EXPECT_FLOAT_EQ(-3.0f, glyph[0].x) << "floor(-2.5)";
    EXPECT_FLOAT_EQ(-18.0f, glyph[0].y) << "minus the base";
    mGraphics->mFont = nullptr;
    // Measuring records nothing and fills the outputs.
    const std::wstring lines2 = L"ab\nabc";
    const u32 before = mRender->GetCommandBuffer().GetPosition();
    width = 0.0f;
    height = 0.0f;
    math::Box bounds;
    {
        auto measure = font->MeasureText(&lines2);
        measure->mOutWidth = &width;
        measure->mOutHeight = &height;
        measure->mOutBounds = &bounds;
        measure->mAlignH = 1;
    }
    EXPECT_EQ(before, mRender->GetCommandBuffer().GetPosition());
    EXPECT_EQ(std::make_pair(60.0f, 40.0f), std::make_pair(width, height));
    EXPECT_EQ(std::make_tuple(-60.0f, 0.0f, 40.0f), std::make_tuple(bounds.minX, bounds.maxX, bounds.maxY));
    {
        auto silent = font->MeasureText(&lines2);
    } // no outputs: nothing happens
    EXPECT_EQ(before, mRender->GetCommandBuffer().GetPosition());
}

TEST_F(FontDraw, OneDrawPerRunOfGlyphsOnAPageGlyphsWithoutAPageImageSkippedAndFontsLoadFromThePack)
{
    FntBuilder b = Letters();
    b.common["pages"] = "2";
    b.glyphs[3].page = 1;                // 'b'
    auto unlisted = Load(b, "unlisted"); // page 1 is never listed
    b.pages.push_back({1, "page1.png"});
    auto font = Load(b);
    ASSERT_EQ(2u, font->GetPages().size());
    mGraphics->mFont = font.Get();
    const std::wstring text = L"aab ba";
    mGraphics->DrawText(&text);
    const auto draws = Only(EndAndDecode(), render::CMD_DRAW_INDEXED);
    ASSERT_EQ(3u, draws.size()); // "aa", "bb", "a"
    EXPECT_EQ((std::vector<u64>{4, 4, 2}), (std::vector<u64>{draws[0].args[3], draws[1].args[3], draws[2].args[3]}));

    ASSERT_EQ(QL_OK, mRender->BeginScene());
    mGraphics->mFont = unlisted.Get();
    const std::wstring ab = L"ab";
    auto command = mGraphics->DrawText(&ab);
    const auto quads = Draw(command);
    ASSERT_EQ(4u, quads.size());
    EXPECT_FLOAT_EQ(0.0f, quads[0].x);
    mGraphics->mFont = nullptr;

    // Fonts and images load from the pack.
    // A "td/" folder with one font and one DDS image, packed into "data.dat" and mounted.
    testsupport::InFolder here(mDir.Path());
    const std::filesystem::path content = std::string(QL_SOURCE_DIR) + "/content/td/data/";
    std::filesystem::create_directories("td/data/fonts");
    std::filesystem::create_directories("td/data/images");
    for (const char* file : {"fonts/main_32_1.fnt", "fonts/main_32_1_0.png", "images/badge_dxt5.dds"})
        std::filesystem::copy_file(content / file, std::filesystem::path("td/data") / file);
    ASSERT_EQ(QL_OK, file::BuildPack(L"td", L"data.dat"));
    std::filesystem::remove_all("td");
    file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
    {
        auto font = resource::ResourceManager::Instance()->Get<render::BMFont>(L"td/data/fonts/main_32_1");
        font->SetRender(mRender);
        EXPECT_EQ(QL_OK, font->Load());
        ASSERT_EQ(1u, font->GetPages().size());
        ASSERT_NE(nullptr, font->GetPages()[0]);
        EXPECT_EQ(256, font->GetPages()[0]->GetWidth());
        render::Image* image = nullptr;
        EXPECT_EQ(QL_OK, render::LoadImage(mRender, L"td/data/images/badge_dxt5", nullptr, &image, nullptr));
        std::unique_ptr<render::Image> owner(image);
        ASSERT_NE(nullptr, image);
        EXPECT_TRUE(image->IsOpaqueAt(32, 32));
    }
    file::FileManager::Instance()->mMounts.erase(L"td/");
}
