// ARGB pixels of a layer or of the merged image: allocated without clearing, because the decoder
// writes every pixel, and shareable, so a file without layers hands its merged image to the one
// layer it gets instead of copying it.
#pragma once

#include "Core/Base/Types.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace psd
{
class PixelBuffer
{
public:
    using value_type = u32;
    using iterator = u32*;
    using const_iterator = const u32*;

    PixelBuffer() = default;
    PixelBuffer(PixelBuffer&&) noexcept = default;
    PixelBuffer& operator=(PixelBuffer&&) noexcept = default;
    // Copies would alias silently: Share() says so where it is meant.
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    // Room for count pixels whose values are undefined until written. Throws std::bad_alloc.
    void Allocate(size_t count)
    {
        mData = count > 0 ? std::make_unique_for_overwrite<u32[]>(count) : nullptr;
        mSize = count;
    }
    void assign(size_t count, u32 value)
    {
        Allocate(count);
        std::fill(begin(), end(), value);
    }
    // Another handle onto the same pixels; they live as long as either handle.
    PixelBuffer Share() const
    {
        PixelBuffer other;
        other.mData = mData;
        other.mSize = mSize;
        return other;
    }
    void clear()
    {
        mData.reset();
        mSize = 0;
    }

    u32* data() { return mData.get(); }
    const u32* data() const { return mData.get(); }
    size_t size() const { return mSize; }
    bool empty() const { return mSize == 0; }
    u32& operator[](size_t i) { return mData[i]; }
    const u32& operator[](size_t i) const { return mData[i]; }
    u32* begin() { return data(); }
    u32* end() { return data() + mSize; }
    const u32* begin() const { return data(); }
    const u32* end() const { return data() + mSize; }

    friend bool operator==(const PixelBuffer& a, const PixelBuffer& b)
    {
        return a.mSize == b.mSize && std::equal(a.begin(), a.end(), b.begin());
    }
    friend bool operator==(const PixelBuffer& a, const std::vector<u32>& b)
    {
        return a.mSize == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }

private:
    std::shared_ptr<u32[]> mData;
    size_t mSize = 0;
};
} // namespace psd
