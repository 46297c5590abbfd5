// Bitmap font loading and drawing.
#include "Core/Media/Font/BMFont.h"

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/File/ReadFile.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Image/MediaScale.h"
#include "Core/Render/Render.h"
#include "Core/Render/VertexFormat.h"
#include "Core/Resource/ResourceManager.h"

#include <tinyxml2.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace render
{
namespace
{
float DisplayScale() { return render::GetMediaScale().font; }

QLResultEnum Missing(const std::wstring& source, const char* element, const char* attribute)
{
    QL_LOG(L"Font '%s': '%s' of '%s' is missing or not a value\n")
        << base::LogStyle::Error << source << attribute << element;
    return QL_FAIL;
}

QLResultEnum ReadFloat(const std::wstring& source, const tinyxml2::XMLElement* e, const char* name, float& out)
{
    return e->QueryFloatAttribute(name, &out) == tinyxml2::XML_SUCCESS ? QL_OK : Missing(source, e->Name(), name);
}
QLResultEnum ReadInt(const std::wstring& source, const tinyxml2::XMLElement* e, const char* name, i32& out)
{
    int value = 0;
    if (e->QueryIntAttribute(name, &value) != tinyxml2::XML_SUCCESS)
        return Missing(source, e->Name(), name);
    out = value;
    return QL_OK;
}
QLResultEnum ReadBool(const std::wstring& source, const tinyxml2::XMLElement* e, const char* name, bool& out)
{
    return e->QueryBoolAttribute(name, &out) == tinyxml2::XML_SUCCESS ? QL_OK : Missing(source, e->Name(), name);
}
QLResultEnum ReadText(const std::wstring& source, const tinyxml2::XMLElement* e, const char* name, std::string& out)
{
    const char* value = e->Attribute(name);
    if (!value)
        return Missing(source, e->Name(), name);
    out = value;
    return QL_OK;
}

// "a,b,c" into `count` numbers; every part must convert.
template <class T> bool ReadList(const std::string& text, T* out, int count)
{
    const char* p = text.c_str();
    for (int i = 0; i < count; ++i)
    {
        char* end = nullptr;
        if constexpr (std::is_same_v<T, float>)
            out[i] = std::strtof(p, &end);
        else
            out[i] = static_cast<T>(std::strtol(p, &end, 10));
        if (end == p)
            return false;
        p = end;
        while (*p == ' ')
            ++p;
        if (i + 1 < count)
        {
            if (*p != ',')
                return false;
            ++p;
        }
    }
    return true;
}

#define QL_TRY(expr)                                                                                                   \
    do                                                                                                                 \
    {                                                                                                                  \
        const QLResultEnum tryResult = (expr);                                                                         \
        if (tryResult != QL_OK)                                                                                        \
            return tryResult;                                                                                          \
    } while (0)
} // namespace

BMFont::~BMFont() { FreePages(); }

void BMFont::Destroy() { resource::ResourceManager::ReleaseResource(this); }

void BMFont::FreePages() { mPages.clear(); }

QLResultEnum BMFont::DoUnLoad()
{
    FreePages();
    return QL_OK;
}

bool BMFont::HasGlyph(wchar_t character) const
{
    return character >= 0 && character <= 0xFFFF && mGlyphs.count(static_cast<u16>(character)) != 0;
}

QLResultEnum BMFont::DoLoad()
{
    // Through the file manager's mounts, so fonts are read from the pack as well.
    const std::wstring path = GetName() + L".fnt";
    std::string data;
    if (!file::ReadWholeFile(*file::FileManager::Instance(), path, data))
    {
        QL_LOG(L"Font file '%s' is missing or short\n") << base::LogStyle::Error << path;
        return QL_FAIL;
    }
    return Parse(data.data(), data.size(), file::GetDirectory(GetName()), path);
}

QLResultEnum BMFont::Parse(const char* data, size_t size, const std::wstring& folder, const std::wstring& source)
{
    mSource = source;
    mTextureScale = file::FileManager::Instance()->mFontScale;
    const float displayScale = DisplayScale();
    tinyxml2::XMLDocument document;
    if (document.Parse(data, size) != tinyxml2::XML_SUCCESS)
    {
        QL_LOG(L"Font '%s': XML error '%s'\n") << base::LogStyle::Error << mSource << std::string(document.ErrorStr());
        return QL_FAIL;
    }
    const tinyxml2::XMLElement* root = document.FirstChildElement("font");
    const tinyxml2::XMLElement* info = root ? root->FirstChildElement("info") : nullptr;
    const tinyxml2::XMLElement* common = root ? root->FirstChildElement("common") : nullptr;
    const tinyxml2::XMLElement* pages = root ? root->FirstChildElement("pages") : nullptr;
    const tinyxml2::XMLElement* chars = root ? root->FirstChildElement("chars") : nullptr;
    if (!info || !common || !pages || !chars)
    {
        QL_LOG(L"Font '%s': 'font', 'info', 'common', 'pages' or 'chars' is missing\n")
            << base::LogStyle::Error << mSource;
        return QL_FAIL;
    }
    QL_TRY(ReadInfo(info, displayScale));
    QL_TRY(ReadCommon(common, displayScale));
    QL_TRY(ReadPages(pages, folder));
    QL_TRY(ReadChars(chars, displayScale));
    if (const tinyxml2::XMLElement* kernings = root->FirstChildElement("kernings"))
        QL_TRY(ReadKernings(kernings, displayScale));
    return QL_OK;
}

QLResultEnum BMFont::ReadInfo(const tinyxml2::XMLElement* info, float displayScale)
{
    float size = 0.0f;
    bool unicode = false;
    std::string padding, spacing;
    QL_TRY(ReadText(mSource, info, "face", mFace));
    QL_TRY(ReadFloat(mSource, info, "size", size));
    mSize = size * displayScale;
    QL_TRY(ReadBool(mSource, info, "bold", mBold));
    QL_TRY(ReadBool(mSource, info, "italic", mItalic));
    // Some writers spell it "chasrset".
    if (ReadText(mSource, info, info->Attribute("charset") ? "charset" : "chasrset", mCharset) != QL_OK)
        return QL_FAIL;
    QL_TRY(ReadBool(mSource, info, "unicode", unicode));
    if (!unicode)
    {
        QL_LOG(L"Font '%s': only unicode fonts are supported\n") << base::LogStyle::Error << mSource;
        return QL_FAIL;
    }
    QL_TRY(ReadFloat(mSource, info, "stretchH", mStretch));
    QL_TRY(ReadBool(mSource, info, "smooth", mSmooth));
    QL_TRY(ReadInt(mSource, info, "aa", mAntialiasing));
    QL_TRY(ReadText(mSource, info, "padding", padding));
    if (!ReadList(padding, mPadding, 4))
        return Missing(mSource, "info", "padding");
    QL_TRY(ReadText(mSource, info, "spacing", spacing));
    if (!ReadList(spacing, mSpacing, 2))
        return Missing(mSource, "info", "spacing");
    QL_TRY(ReadInt(mSource, info, "outline", mOutline));
    return QL_OK;
}

QLResultEnum BMFont::ReadCommon(const tinyxml2::XMLElement* common, float displayScale)
{
    float base = 0.0f;
    i32 pageCount = 0, packed = 0, alpha = 0, red = 0, green = 0, blue = 0;
    QL_TRY(ReadFloat(mSource, common, "lineHeight", mLineHeight));
    mLineHeight *= displayScale;
    QL_TRY(ReadFloat(mSource, common, "base", base));
    mBase = base * displayScale;
    QL_TRY(ReadFloat(mSource, common, "scaleW", mPageWidth));
    QL_TRY(ReadFloat(mSource, common, "scaleH", mPageHeight));
    QL_TRY(ReadInt(mSource, common, "pages", pageCount));
    QL_TRY(ReadInt(mSource, common, "packed", packed));
    QL_TRY(ReadInt(mSource, common, "alphaChnl", alpha));
    QL_TRY(ReadInt(mSource, common, "redChnl", red));
    QL_TRY(ReadInt(mSource, common, "greenChnl", green));
    QL_TRY(ReadInt(mSource, common, "blueChnl", blue));
    // A page count is an index range: negative or absurd counts are refused, never resized to.
    constexpr i32 kMaxPages = 256;
    if (pageCount < 0 || pageCount > kMaxPages)
    {
        QL_LOG(L"Font '%s': page count %d is out of range\n") << base::LogStyle::Error << mSource << pageCount;
        return QL_FAIL;
    }
    if (packed != 0 || alpha != 0 || red != 4 || green != 4 || blue != 4)
    {
        QL_LOG(L"Font '%s': packed or channel layout (%d, %d, %d, %d, %d) is not supported\n")
            << base::LogStyle::Error << mSource << packed << alpha << red << green << blue;
        return QL_FAIL;
    }
    FreePages();
    mPages.resize(static_cast<size_t>(pageCount));
    return QL_OK;
}

QLResultEnum BMFont::ReadPages(const tinyxml2::XMLElement* pages, const std::wstring& folder)
{
    for (const tinyxml2::XMLElement* page = pages->FirstChildElement("page"); page;
         page = page->NextSiblingElement("page"))
    {
        i32 id = 0;
        std::string file;
        QL_TRY(ReadInt(mSource, page, "id", id));
        QL_TRY(ReadText(mSource, page, "file", file));
        if (id < 0 || static_cast<size_t>(id) >= mPages.size())
        {
            QL_LOG(L"Font '%s': page id %d is outside 0..%d\n")
                << base::LogStyle::Error << mSource << id << static_cast<int>(mPages.size()) - 1;
            return QL_FAIL;
        }
        if (!mFontRender)
            continue;
        const std::wstring path = folder + base::StringToWString(file, 1);
        Image* image = nullptr;
        const QLResultEnum result = LoadImage(mFontRender, path, nullptr, &image, nullptr);
        if (result != QL_OK)
        {
            QL_LOG(L"Font '%s': page image '%s' does not load\n") << base::LogStyle::Error << mSource << path;
            return result;
        }
        mPages[static_cast<size_t>(id)].reset(image);
    }
    return QL_OK;
}

QLResultEnum BMFont::ReadChars(const tinyxml2::XMLElement* chars, float displayScale)
{
    const float rectScale = mTextureScale * displayScale;
    for (const tinyxml2::XMLElement* e = chars->FirstChildElement("char"); e; e = e->NextSiblingElement("char"))
    {
        i32 id = 0;
        Glyph g;
        QL_TRY(ReadInt(mSource, e, "id", id));
        QL_TRY(ReadFloat(mSource, e, "x", g.x));
        QL_TRY(ReadFloat(mSource, e, "y", g.y));
        QL_TRY(ReadFloat(mSource, e, "width", g.width));
        QL_TRY(ReadFloat(mSource, e, "height", g.height));
        QL_TRY(ReadFloat(mSource, e, "xoffset", g.xOffset));
        QL_TRY(ReadFloat(mSource, e, "yoffset", g.yOffset));
        QL_TRY(ReadFloat(mSource, e, "xadvance", g.xAdvance));
        QL_TRY(ReadInt(mSource, e, "page", g.page));
        QL_TRY(ReadInt(mSource, e, "chnl", g.channel));
        if (g.page < 0 || static_cast<size_t>(g.page) >= mPages.size())
        {
            QL_LOG(L"Font '%s': glyph %d names page %d of %d\n")
                << base::LogStyle::Error << mSource << id << g.page << static_cast<int>(mPages.size());
            return QL_FAIL;
        }
        // Keys are 16-bit: a character beyond U+FFFF would alias another glyph, so it is left out.
        if (id < 0 || id > 0xFFFF)
            continue;
        g.x *= rectScale;
        g.y *= rectScale;
        g.width *= rectScale;
        g.height *= rectScale;
        g.xOffset *= displayScale;
        g.yOffset *= displayScale;
        g.xAdvance *= displayScale;
        Glyph& slot = mGlyphs[static_cast<u16>(id)];
        g.kerning = std::move(slot.kerning);
        slot = std::move(g);
    }
    return QL_OK;
}

QLResultEnum BMFont::ReadKernings(const tinyxml2::XMLElement* kernings, float displayScale)
{
    for (const tinyxml2::XMLElement* e = kernings->FirstChildElement("kerning"); e;
         e = e->NextSiblingElement("kerning"))
    {
        i32 first = 0, second = 0;
        float amount = 0.0f;
        QL_TRY(ReadInt(mSource, e, "first", first));
        QL_TRY(ReadInt(mSource, e, "second", second));
        QL_TRY(ReadFloat(mSource, e, "amount", amount));
        auto glyph = mGlyphs.end();
        if (second >= 0 && second <= 0xFFFF)
            glyph = mGlyphs.find(static_cast<u16>(second));
        if (glyph == mGlyphs.end())
        {
            QL_LOG(L"Font '%s': kerning for the unknown character %d\n") << base::LogStyle::Error << mSource << second;
            return QL_FAIL;
        }
        if (first < 0 || first > 0xFFFF)
            continue;
        glyph->second.kerning[static_cast<u16>(first)] = amount * displayScale;
    }
    return QL_OK;
}

QLResultEnum BMFont::DrawText(Graphics* graphics, DrawTextParam* record, const std::wstring& text,
                              const TextFormat& format, float measured[2])
{
    TextLines lines;
    LayoutLines(mGlyphs, text, format, lines);
    MeasureLines(lines, format, mSize, GetLineAdvance(), measured);
    if (record)
    {
        record->mMeasuredWidth = measured[0];
        record->mMeasuredHeight = measured[1];
    }
    if (!graphics || lines.empty())
        return QL_OK;
    BindGraphics(graphics);
    const QLResultEnum result = DrawLines(*graphics, record, text, format, lines, measured[0]);
    BindGraphics(nullptr);
    return result;
}

namespace
{
// One run's share of the frame caches, filled glyph by glyph.
struct RunBatch
{
    SVertex2D* vertices = nullptr;
    u16* indices = nullptr;
    u32 firstVertex = 0;
    u32 firstIndex = 0;
    Buffer* vertexBuffer = nullptr;
    Buffer* indexBuffer = nullptr;
    u32 reserved = 0; // glyphs the room holds
    u32 used = 0;
    Image* page = nullptr; // null: the run's glyphs are skipped
    float textureWidth = 1.0f;
    float textureHeight = 1.0f;
};
} // namespace

QLResultEnum BMFont::DrawLines(Graphics& graphics, DrawTextParam* record, const std::wstring& text,
                               const TextFormat& format, const TextLines& lines, float width)
{
    PageRuns runs;
    BuildPageRuns(mGlyphs, text, format, runs);
    const float displayScale = DisplayScale();
    const u32 diffuse = graphics.GetPackedColor();
    const u32 specular = graphics.GetTintSpecular();
    const VertexFormat& vertexFormat = GetVertexFormat<SVertex2D>();

    size_t nextRun = 0;
    RunBatch batch;
    bool haveBatch = false;
    auto flush = [&]() -> QLResultEnum
    {
        if (!haveBatch || !batch.page || batch.used == 0)
            return QL_OK;
        const u32 count = batch.used * 4;
        if (record)
            (void)record->VertexStep(batch.vertices, vertexFormat, count);
        Graphics::OffsetHalfPixel(batch.vertices, vertexFormat, count);
        QLResultEnum result = graphics.SubmitState(graphics.GetTexturedShader(), batch.vertexBuffer, batch.indexBuffer);
        if (result == QL_OK)
            result = graphics.BindTexture(batch.page->GetTexture());
        if (result == QL_OK)
            result =
                mRender->DrawIndexed(PRIM_TRIANGLELIST, batch.firstIndex, batch.used * 2, batch.firstVertex, count);
        return result;
    };
    auto nextBatch = [&]() -> QLResultEnum
    {
        QLResultEnum result = flush();
        if (result != QL_OK)
            return result;
        batch = RunBatch();
        haveBatch = nextRun < runs.size();
        if (!haveBatch)
            return QL_OK;
        const PageRun& run = runs[nextRun++];
        batch.reserved = run.count;
        if (run.page >= 0 && static_cast<size_t>(run.page) < mPages.size())
            batch.page = mPages[static_cast<size_t>(run.page)].get();
        if (!batch.page || batch.page->GetWidth() <= 0 || batch.page->GetHeight() <= 0)
        {
            batch.page = nullptr; // no page image: these glyphs are not drawn
            return QL_OK;
        }
        batch.textureWidth = static_cast<float>(batch.page->GetWidth()) * displayScale;
        batch.textureHeight = static_cast<float>(batch.page->GetHeight()) * displayScale;
        if ((result = graphics.AllocateVertices<SVertex2D>(run.count * 4, &batch.vertices, &batch.firstVertex,
                                                           &batch.vertexBuffer)) != QL_OK)
            return result;
        return graphics.AllocateIndices(run.count * 6, &batch.indices, &batch.firstIndex, &batch.indexBuffer);
    };

    float penY = mTop;
    for (size_t l = 0; l < lines.size(); ++l)
    {
        const TextLine& line = lines[l];
        const u32 end = std::min<u32>(line.first + line.count, static_cast<u32>(text.size()));
        // Spaces that open the line indent it: justification neither widens nor counts them.
        u32 wordsFrom = line.first;
        while (wordsFrom < end && IsBlank(text[wordsFrom]))
            ++wordsFrom;
        const u32 letters = end - wordsFrom;
        float penX = line.indent;
        float extraSpace = 0.0f, extraLetter = 0.0f;
        switch (format.mAlignment)
        {
        case 1: penX = width - line.width; break;
        case 2: penX = std::ceil((width - line.width) * 0.5f) + line.indent; break;
        case 3:
            if (line.wrapped && line.innerSpaces > 0)
                extraSpace = (width - line.width) / static_cast<float>(line.innerSpaces);
            else if (line.wrapped && format.mJustifyLetters && letters > 1)
                extraLetter = (width - line.width) / static_cast<float>(letters - 1);
            break;
        default: break;
        }
        for (u32 i = line.first; i < end; ++i)
        {
            const wchar_t c = text[i];
            const Glyph* glyph = FindGlyph(mGlyphs, c, format.mFallback);
            if (!glyph || c == static_cast<wchar_t>(format.mLineBreak))
                continue;
            if (IsBlank(c))
            {
                penX += glyph->xAdvance + format.mLetterSpacing + (i >= wordsFrom ? extraSpace : 0.0f);
                continue;
            }
            // The same kerning as measured, so that aligned lines sit where their width says. A
            // line broken inside a word starts without the pair it was broken at.
            const wchar_t prev = i > 0 ? text[i - 1] : 0;
            const bool brokenInWord =
                i == line.first && prev != 0 && !IsBlank(prev) && prev != static_cast<wchar_t>(format.mLineBreak);
            if (!brokenInWord)
                penX += glyph->KerningAfter(prev);
            if (!haveBatch || batch.used >= batch.reserved)
            {
                const QLResultEnum result = nextBatch();
                if (result != QL_OK)
                    return result;
                if (!haveBatch)
                    return QL_OK; // the runs ran out: the run builder and this walk disagree
            }
            if (batch.page)
            {
                const float x0 = penX + glyph->xOffset;
                const float y0 = penY + glyph->yOffset;
                SVertex2D* quad = batch.vertices + batch.used * 4;
                FillQuad(quad, x0, y0, x0 + glyph->width / mTextureScale, y0 + glyph->height / mTextureScale,
                         glyph->x / batch.textureWidth, glyph->y / batch.textureHeight,
                         (glyph->x + glyph->width) / batch.textureWidth,
                         (glyph->y + glyph->height) / batch.textureHeight, diffuse, specular);
                FillQuadIndices(batch.indices + batch.used * 6, batch.firstVertex + batch.used * 4);
            }
            ++batch.used;
            penX += glyph->xAdvance + format.mLetterSpacing + extraLetter;
        }
        penY += GetLineAdvance() + format.mLineSpacing;
    }
    return flush();
}
} // namespace render
