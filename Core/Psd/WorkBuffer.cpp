// Work buffers: blocks of 1 MiB and more are mapped pages of their own.
#include "Core/Psd/WorkBuffer.h"

#include <new>

#include <sys/mman.h>

namespace psd
{
namespace
{
constexpr u64 kMappedFrom = 1 << 20;
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QL_PSD_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(QL_PSD_ASAN)
// The sanitizer checks bounds only on heap blocks.
constexpr bool kMapLarge = false;
#else
constexpr bool kMapLarge = true;
#endif
} // namespace

bool WorkBuffer::Grow(u64 size)
{
    if (size <= mSize)
        return true;
    if (!mBudget.Take(size - mSize))
        return false;
    Free(); // the old contents go; the budget already holds the new size
    mSize = size;
    if (kMapLarge && size >= kMappedFrom)
    {
        void* pages = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (pages != MAP_FAILED)
        {
            mData = static_cast<u8*>(pages);
            mMappedBytes = size;
            return true;
        }
    }
    mData = new u8[size];
    return true;
}

void WorkBuffer::Free()
{
    if (mMappedBytes)
        munmap(mData, mMappedBytes);
    else
        delete[] mData;
    mData = nullptr;
    mMappedBytes = 0;
}

void WorkBuffer::Release()
{
    Free();
    mBudget.Give(mSize);
    mSize = 0;
}
} // namespace psd
