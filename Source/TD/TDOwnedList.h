// Lists of owned raw pointers: the battle's clearing operation deletes front to back, then empties.
#pragma once

#include <vector>

template <class T> void tdDeleteAll(std::vector<T*>& list)
{
    for (T* item : list)
        delete item;
    list.clear();
}

// Deletes and erases, in place and in order, every item for which done(item) holds.
template <class T, class Done> void tdDeleteIf(std::vector<T*>& list, Done done)
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
