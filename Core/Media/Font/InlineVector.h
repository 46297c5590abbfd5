// A vector that keeps its first N elements in place and spills to the heap beyond them, so
// ordinary texts lay out without allocating.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace render
{
template <class T, size_t N> class InlineVector
{
public:
    void push_back(const T& value)
    {
        if (mCount < N)
            mInline[mCount] = value;
        else
            mHeap.push_back(value);
        ++mCount;
    }
    void clear()
    {
        mCount = 0;
        mHeap.clear();
    }
    size_t size() const { return mCount; }
    bool empty() const { return mCount == 0; }
    T& operator[](size_t i) { return i < N ? mInline[i] : mHeap[i - N]; }
    const T& operator[](size_t i) const { return i < N ? mInline[i] : mHeap[i - N]; }

private:
    std::array<T, N> mInline{};
    std::vector<T> mHeap;
    size_t mCount = 0;
};
} // namespace render
