// The deferred-deletion queue.
#include "Core/Base/DeferredDelete.h"

#include <algorithm>

namespace base
{
DeferredDeleteManager::~DeferredDeleteManager() { DeleteQueued(); }

void DeferredDeleteManager::QueueDelete(DeferredDeletable* object)
{
    if (object && !IsQueued(object))
        mQueue.push_back(object);
}

bool DeferredDeleteManager::IsQueued(const DeferredDeletable* object) const
{
    return std::find(mQueue.begin(), mQueue.end(), object) != mQueue.end();
}

void DeferredDeleteManager::DeleteQueued()
{
    // Entries stay in the queue until their turn, so an object queued again by an earlier
    // destructor is still seen as queued; objects queued meanwhile are appended and deleted too.
    for (size_t i = 0; i < mQueue.size(); ++i)
    {
        DeferredDeletable* object = mQueue[i];
        mQueue[i] = nullptr;
        delete object;
    }
    mQueue.clear();
}
} // namespace base
