// Measuring commands.
#include "Core/Media/Graphics/Font.h"

namespace render
{
DrawUntransformedParam<DrawTextParam> Font::MeasureText(const std::wstring* text)
{
    return DrawUntransformedParam<DrawTextParam>(DrawTextParam(nullptr, text, this));
}
} // namespace render
