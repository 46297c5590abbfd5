#include "Core/Media/Image/DevilMemory.h"

#include <IL/il.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace render
{
// Every block carries this header; 32 bytes keep the 16-byte alignment malloc gives.
struct alignas(16) DevilBlock
{
    DevilBlock* prev;
    DevilBlock* next;
    u64 serial; // the scope that allocated it, 0 outside any
    u64 size;
};
static_assert(sizeof(DevilBlock) == 32);

namespace
{
constexpr u64 kBytesPerPixel = 16;
constexpr u64 kMargin = 4u << 20;

thread_local DevilDecodeScope* tScope = nullptr;
std::atomic<u64> gNextSerial{1};
} // namespace

struct DevilAllocator
{
    static void* ILAPIENTRY Alloc(const ILsizei size)
    {
        DevilDecodeScope* scope = tScope && tScope->mCounting ? tScope : nullptr;
        if (scope && size > scope->mBudget - scope->mHeld) // what is held never exceeds the budget
        {
            if (size > scope->mRefused)
                scope->mRefused = size;
            return nullptr;
        }
        if (size > SIZE_MAX - sizeof(DevilBlock))
            return nullptr;
        auto* block = static_cast<DevilBlock*>(std::malloc(sizeof(DevilBlock) + size));
        if (!block)
            return nullptr;
        *block = {nullptr, nullptr, 0, size};
        if (scope)
        {
            block->serial = scope->mSerial;
            block->next = scope->mFirst;
            if (scope->mFirst)
                scope->mFirst->prev = block;
            scope->mFirst = block;
            scope->mHeld += size;
            if (scope->mHeld > scope->mPeak)
                scope->mPeak = scope->mHeld;
        }
        return block + 1;
    }

    static void ILAPIENTRY Free(const void* pointer)
    {
        if (!pointer)
            return;
        auto* block = const_cast<DevilBlock*>(static_cast<const DevilBlock*>(pointer) - 1);
        DevilDecodeScope* scope = tScope;
        if (scope && block->serial == scope->mSerial)
            Unlink(*scope, block);
        std::free(block);
    }

    static void Unlink(DevilDecodeScope& scope, DevilBlock* block)
    {
        if (block->prev)
            block->prev->next = block->next;
        else
            scope.mFirst = block->next;
        if (block->next)
            block->next->prev = block->prev;
        scope.mHeld -= block->size;
    }
};

u64 DevilBudget(u32 width, u32 height) { return static_cast<u64>(width) * height * kBytesPerPixel + kMargin; }

void InstallDevilMemory() { ilSetMemory(DevilAllocator::Alloc, DevilAllocator::Free); }

DevilDecodeScope::DevilDecodeScope(u64 budget) : mSerial(gNextSerial++), mBudget(budget) { tScope = this; }

// Blocks that outlive the scope (the decoded image) keep a serial no later scope has.
DevilDecodeScope::~DevilDecodeScope() { tScope = nullptr; }

size_t DevilDecodeScope::FreeLeftovers()
{
    size_t count = 0;
    while (mFirst)
    {
        DevilBlock* block = mFirst;
        DevilAllocator::Unlink(*this, block);
        std::free(block);
        ++count;
    }
    return count;
}
} // namespace render
