// A pointer that either owns its object or borrows it. The owning half is a std::unique_ptr, so
// what gets deleted follows from the type; the (pointer, owns) pair of older interfaces is turned
// into one or the other where it comes in.
#pragma once

#include <memory>
#include <utility>

namespace base
{
template <class T> class OwnedOrBorrowed
{
public:
    OwnedOrBorrowed() = default;
    OwnedOrBorrowed(const OwnedOrBorrowed&) = delete;
    OwnedOrBorrowed& operator=(const OwnedOrBorrowed&) = delete;

    T* get() const { return mPointer; }
    T* operator->() const { return mPointer; }
    explicit operator bool() const { return mPointer != nullptr; }
    bool owns() const { return mOwned != nullptr; }
    friend bool operator==(const OwnedOrBorrowed& slot, const T* object) { return slot.mPointer == object; }

    // Takes the object over; an owned previous object is deleted.
    void own(std::unique_ptr<T> object)
    {
        mPointer = object.get();
        mOwned = std::move(object);
    }
    // Points at an object someone else deletes; an owned previous object is deleted, unless it
    // is this very object, which is then let go of without being deleted.
    void borrow(T* object) { reset(object, false); }
    // The raw-pointer form: with owns, the object is taken over. Passing the current object
    // again keeps it alive and only changes who deletes it. A replaced owned object is deleted
    // last, so that its destructor already finds the new one here.
    void reset(T* object, bool owns)
    {
        std::unique_ptr<T> replaced;
        if (mOwned.get() != object)
            replaced = std::move(mOwned);
        if (!owns)
            (void)mOwned.release();
        else if (!mOwned)
            mOwned.reset(object);
        mPointer = object;
    }
    // Deletes an owned object; points at nothing.
    void clear() { reset(nullptr, false); }
    // Gives the object up without deleting it; null when it was only borrowed. The pointer stays.
    std::unique_ptr<T> release() { return std::move(mOwned); }
    // Drops the pointer without deleting anything: for an object that is being destroyed already.
    void forget()
    {
        (void)mOwned.release();
        mPointer = nullptr;
    }

private:
    T* mPointer = nullptr;
    std::unique_ptr<T> mOwned;
};
} // namespace base
