// Counts the bytes a fuzzed call holds at its peak, through the sanitizer's allocation hooks, so
// that a fuzzer can hold a decoder to the memory its input's header declares.
#pragma once

#include <sanitizer/allocator_interface.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzwatch
{
inline bool gWatching = false;
inline int64_t gHeld = 0;
inline int64_t gPeak = 0;

inline void OnMalloc(const volatile void*, size_t size)
{
    if (!gWatching)
        return;
    gHeld += static_cast<int64_t>(size);
    if (gHeld > gPeak)
        gPeak = gHeld;
}

inline void OnFree(const volatile void* pointer)
{
    if (gWatching && pointer)
        gHeld -= static_cast<int64_t>(__sanitizer_get_allocated_size(const_cast<const void*>(pointer)));
}

// Watches the allocations made while it lives; Check aborts when their peak passed the limit.
class AllocationWatch
{
public:
    AllocationWatch()
    {
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
        (void)installed;
        gHeld = gPeak = 0;
        gWatching = true;
    }
    ~AllocationWatch() { gWatching = false; }
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;

    void Check(uint64_t limit, const char* what) const
    {
        if (gPeak > 0 && static_cast<uint64_t>(gPeak) > limit)
        {
            std::fprintf(stderr, "%s held %lld bytes at its peak, beyond the %llu its header allows\n", what,
                         static_cast<long long>(gPeak), static_cast<unsigned long long>(limit));
            std::abort();
        }
    }
};
} // namespace fuzzwatch
