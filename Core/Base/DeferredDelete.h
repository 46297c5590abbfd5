// Objects deleted after the current dispatch pass instead of while their own handler runs.
#pragma once

#include <cstddef>
#include <vector>

namespace base
{
class DeferredDeletable
{
public:
    virtual ~DeferredDeletable() = default;
};

class DeferredDeleteManager
{
public:
    DeferredDeleteManager() = default;
    // Deletes whatever is still queued.
    virtual ~DeferredDeleteManager();
    DeferredDeleteManager(const DeferredDeleteManager&) = delete;
    DeferredDeleteManager& operator=(const DeferredDeleteManager&) = delete;

    // Queues the object for deletion; null and objects already queued are ignored,
    // so nothing is deleted twice.
    void QueueDelete(DeferredDeletable* object);
    bool IsQueued(const DeferredDeletable* object) const;
    size_t GetQueuedCount() const { return mQueue.size(); }

    // Deletes the queued objects in queue order and empties the queue. Objects queued by
    // those destructors are deleted in the same call.
    void DeleteQueued();

private:
    std::vector<DeferredDeletable*> mQueue;
};
} // namespace base
