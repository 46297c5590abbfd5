// A per-frame bucket grid over the units' positions, so that every tower looks only at the
// units near it. Answers in the order of the unit list, exactly as a full scan would.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"

#include <vector>

class TDUnit;

class TDUnitGrid
{
public:
    // Buckets the units by mPos; units at no finite position are left out (no range test
    // accepts them either).
    void build(const base::OwnedList<TDUnit>& units);
    void clear() { mValid = false; }
    bool valid() const { return mValid; }
    // Indexes into the unit list of every unit whose cell touches the square around (x, y) of
    // half-side reach, ascending. False when the grid cannot answer (then scan the list).
    bool query(float x, float y, float reach, std::vector<i32>& out) const;

private:
    bool mValid = false;
    float mMinX = 0.0f, mMinY = 0.0f;
    float mCell = 64.0f;
    i32 mColumns = 0, mRows = 0;
    std::vector<i32> mStart; // first entry of each cell in mItems, plus one past the end
    std::vector<i32> mItems; // unit indexes, by cell, ascending within a cell
};
