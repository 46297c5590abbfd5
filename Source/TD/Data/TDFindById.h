// The first record of a list whose `id` equals the wanted id, or null.
#pragma once

#include "Core/Base/OwnedList.h"

#include <vector>

template <class T, class Id> T* TDFindById(const std::vector<T*>& list, Id id)
{
    for (T* item : list)
        if (item && item->id == id)
            return item;
    return nullptr;
}

template <class T, class Id> T* TDFindById(const base::OwnedList<T>& list, Id id)
{
    for (T* item : list)
        if (item && item->id == id)
            return item;
    return nullptr;
}
