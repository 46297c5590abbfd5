// Bitmap fonts in the XML ".fnt" form: glyph rectangles on page images, offsets, advances and
// kerning; text drawn as one textured quad per glyph, one draw per run of glyphs on a page.
#pragma once

#include "Core/Media/Font/TextLayout.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Graphics/GraphicsFriend.h"
#include "Core/Media/Image/Image.h"

#include <memory>
#include <string>
#include <vector>

namespace tinyxml2
{
class XMLElement;
}

namespace render
{
class Render;
struct SVertex2D;

class BMFont : public Font, public GraphicsFriend
{
public:
    BMFont() = default;
    ~BMFont() override;

    void Destroy() override;
    // Reads name + ".fnt" through the file manager.
    QLResultEnum DoLoad() override;
    // Frees the page images; the glyphs stay.
    QLResultEnum DoUnLoad() override;

    QLResultEnum DrawText(Graphics* graphics, DrawTextParam* record, const std::wstring& text, const TextFormat& format,
                          float measured[2]) override;
    bool HasGlyph(wchar_t character) const override;

    // Parses a ".fnt" document; page files are relative to `folder`. Without a render the page
    // images are not loaded (the font then lays out and measures only).
    QLResultEnum Parse(const char* data, size_t size, const std::wstring& folder,
                       const std::wstring& source = L"(memory)");

    void SetRender(Render* render) { mFontRender = render; }
    const GlyphMap& GetGlyphs() const { return mGlyphs; }
    const std::vector<std::unique_ptr<Image>>& GetPages() const { return mPages; }
    const std::string& GetFace() const { return mFace; }
    float GetLineHeight() const { return mLineHeight; }
    // Glyph rectangles are divided by it when drawn (the file manager's font texture scale).
    float GetTextureScale() const { return mTextureScale; }

private:
    QLResultEnum ReadInfo(const tinyxml2::XMLElement* info, float displayScale);
    QLResultEnum ReadCommon(const tinyxml2::XMLElement* common, float displayScale);
    QLResultEnum ReadPages(const tinyxml2::XMLElement* pages, const std::wstring& folder);
    QLResultEnum ReadChars(const tinyxml2::XMLElement* chars, float displayScale);
    QLResultEnum ReadKernings(const tinyxml2::XMLElement* kernings, float displayScale);
    void FreePages();
    QLResultEnum DrawLines(Graphics& graphics, DrawTextParam* record, const std::wstring& text,
                           const TextFormat& format, const TextLines& lines, float width);

    Render* mFontRender = nullptr;
    std::wstring mSource; // named in error lines
    std::string mFace;
    bool mBold = false;
    bool mItalic = false;
    std::string mCharset;
    float mStretch = 100.0f;
    bool mSmooth = false;
    i32 mAntialiasing = 0;
    i32 mPadding[4] = {};
    float mSpacing[2] = {};
    i32 mOutline = 0;
    float mLineHeight = 0.0f;
    float mPageWidth = 0.0f;
    float mPageHeight = 0.0f;
    GlyphMap mGlyphs;
    std::vector<std::unique_ptr<Image>> mPages; // null where a page did not load
    float mTop = 0.0f;
    float mTextureScale = 1.0f;
};
} // namespace render
