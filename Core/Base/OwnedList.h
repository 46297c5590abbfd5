// Owned lists: OwnedList holds its items by std::unique_ptr and shows them as plain pointers, so
// loops, lookups and drawing read it like a vector of T*. The free helpers serve the raw lists
// that remain (level geometry, paths, tests).
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

namespace base
{
template <class T> class OwnedList
{
    using Holder = std::vector<std::unique_ptr<T>>;

public:
    // Reads items as T*; erasing through it is the list's own business.
    class iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T* const*;
        using reference = T*;

        iterator() = default;
        explicit iterator(typename Holder::const_iterator at) : mAt(at) {}
        T* operator*() const { return mAt->get(); }
        iterator& operator++()
        {
            ++mAt;
            return *this;
        }
        iterator operator++(int)
        {
            iterator before = *this;
            ++mAt;
            return before;
        }
        bool operator==(const iterator& other) const { return mAt == other.mAt; }
        bool operator!=(const iterator& other) const { return mAt != other.mAt; }
        typename Holder::const_iterator base() const { return mAt; }

    private:
        typename Holder::const_iterator mAt;
    };
    using value_type = T*;
    using const_iterator = iterator;

    OwnedList() = default;
    ~OwnedList() { clear(); }
    OwnedList(const OwnedList&) = delete;
    OwnedList& operator=(const OwnedList&) = delete;

    iterator begin() const { return iterator(mItems.begin()); }
    iterator end() const { return iterator(mItems.end()); }
    size_t size() const { return mItems.size(); }
    bool empty() const { return mItems.empty(); }
    T* operator[](size_t i) const { return mItems[i].get(); }
    T* front() const { return mItems.front().get(); }
    T* back() const { return mItems.back().get(); }
    bool contains(const T* item) const { return indexOf(item) != npos; }

    void swap(OwnedList& other) { mItems.swap(other.mItems); }

    void push_back(std::unique_ptr<T> item) { mItems.push_back(std::move(item)); }
    // Takes ownership of a new item (null is kept as the vector kept it).
    void push_back(T* item) { mItems.push_back(std::unique_ptr<T>(item)); }

    // Takes the item out without deleting it: the caller lets go of it where it is safe.
    std::unique_ptr<T> release(const T* item)
    {
        size_t i = indexOf(item);
        return i == npos ? nullptr : takeAt(i);
    }
    // Takes the item out, then deletes it; false when the list does not hold it.
    bool remove(const T* item) { return release(item) != nullptr; }
    // Takes the item at i out, then deletes it.
    void eraseAt(size_t i) { takeAt(i).reset(); }

    // Deletes front to back, then empties: an item's destructor still finds the list as it
    // was (the items before it already null).
    void clear()
    {
        for (std::unique_ptr<T>& item : mItems)
            item.reset();
        mItems.clear();
    }

    // Deletes and erases, in order, every item for which done(item) holds.
    template <class Done> void deleteIf(Done done)
    {
        size_t kept = 0;
        for (size_t i = 0; i < mItems.size(); ++i)
        {
            if (done(mItems[i].get()))
                mItems[i].reset();
            else
                mItems[kept++] = std::move(mItems[i]);
        }
        mItems.resize(kept);
    }

    template <class Less> void stableSort(Less less)
    {
        std::stable_sort(mItems.begin(), mItems.end(),
                         [&less](const std::unique_ptr<T>& a, const std::unique_ptr<T>& b)
                         { return less(a.get(), b.get()); });
    }

    bool operator==(const std::vector<T*>& items) const
    {
        return std::equal(begin(), end(), items.begin(), items.end());
    }

private:
    static constexpr size_t npos = static_cast<size_t>(-1);
    size_t indexOf(const T* item) const
    {
        for (size_t i = 0; i < mItems.size(); ++i)
            if (mItems[i].get() == item)
                return i;
        return npos;
    }
    std::unique_ptr<T> takeAt(size_t i)
    {
        std::unique_ptr<T> out = std::move(mItems[i]);
        mItems.erase(mItems.begin() + static_cast<std::ptrdiff_t>(i));
        return out;
    }

    Holder mItems;
};

template <class T> void DeleteAll(std::vector<T*>& list)
{
    for (T* item : list)
        delete item;
    list.clear();
}

// Deletes and erases, in place and in order, every item for which done(item) holds.
template <class T, class Done> void DeleteIf(std::vector<T*>& list, Done done)
{
    size_t kept = 0;
    for (size_t i = 0; i < list.size(); ++i)
    {
        if (done(list[i]))
            delete list[i];
        else
            list[kept++] = list[i];
    }
    list.resize(kept);
}
} // namespace base
