// Descriptors: self-describing trees of keyed, typed items. A walker, a skipper for every value
// type, and readers for the values the reader understands.
#pragma once

#include "Core/Psd/Reader.h"
#include "Core/Psd/Values.h"

#include <string>

namespace psd
{
constexpr int kMaxDescriptorDepth = 32;

// An id: u32 length and that many bytes, or for length 0 a 4-character code (kept as 4 chars).
// Long ids are kept up to 255 bytes; the rest is skipped.
std::string ReadId(Reader& r);
// A class name (UTF-16 text) followed by a class id.
std::string ReadClass(Reader& r);
Utf16Units ReadUnicode(Reader& r);

// Skips one value of the given type. False for an unknown type, nesting beyond the limit or
// data past the end: the caller stops parsing that descriptor.
bool SkipValue(Reader& r, u32 type, int depth);

// Walks a descriptor body (class name, class id, items). onItem(key, type) returns 1 when it read
// the value, 0 to have it skipped, -1 to stop. False when the walk could not finish.
template <class F> bool WalkDescriptor(Reader& r, int depth, std::string* classId, F&& onItem)
{
    if (depth > kMaxDescriptorDepth)
        return false;
    std::string id = ReadClass(r);
    if (classId)
        *classId = id;
    u32 count = r.U32();
    for (u32 i = 0; i < count; ++i)
    {
        if (r.Overrun())
            return false;
        std::string key = ReadId(r);
        u32 type = r.Key();
        int handled = onItem(key, type);
        if (handled < 0)
            return false;
        if (handled == 0 && !SkipValue(r, type, depth + 1))
            return false;
    }
    return !r.Overrun();
}

// Typed value readers: each reads the value when its type fits, else skips it by its type.
// All return false when the value could not be consumed.
bool ReadNumber(Reader& r, u32 type, int depth, double& out);
bool ReadBoolValue(Reader& r, u32 type, int depth, u8& out);
bool ReadEnumValue(Reader& r, u32 type, int depth, std::string& out);
bool ReadTextValue(Reader& r, u32 type, int depth, Utf16Units& out);
bool ReadColourValue(Reader& r, u32 type, int depth, u32& out);
bool ReadContourValue(Reader& r, u32 type, int depth, Contour& out);
bool ReadGradientValue(Reader& r, u32 type, int depth, Gradient& out);
bool ReadPatternValue(Reader& r, u32 type, int depth, PatternRef& out);
bool ReadPointValue(Reader& r, u32 type, int depth, Point& out);

// Colour descriptor body of any class (RGB, HSB, CMYK, Lab, grey).
bool ReadColourDescriptor(Reader& r, int depth, u32& out);

struct ContourPoint
{
    double mX = 0.0, mY = 0.0;
    bool mCorner = false;
};
// The 256-entry table of a curve through the points (Catmull-Rom segments).
Contour BuildContour(const ContourPoint* points, size_t count);

u32 BlendModeFromEnum(const std::string& id);
u32 BevelTechniqueFromEnum(const std::string& id);
u32 GradientStyleFromEnum(const std::string& id);
// A percentage as 0-255: trunc(p x 2.55 + 0.5), clamped.
u32 PercentToByte(double percent);
// Truncation toward zero, clamped to the i32 range (NaN gives 0).
i32 TruncToInt(double value);
} // namespace psd
