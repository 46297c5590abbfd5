// Lists of owned raw pointers: the battle's clearing operation deletes front to back, then empties.
#pragma once

#include <vector>

template <class T> void tdDeleteAll(std::vector<T*>& list)
{
    for (T* item : list)
        delete item;
    list.clear();
}
