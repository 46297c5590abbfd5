// Bucket grid over the units' positions.
#include "Source/TD/Units/TDUnitGrid.h"

#include "Source/TD/Units/TDUnit.h"

#include <algorithm>
#include <cmath>

namespace
{
const i32 kMaxSide = 512;
}

void TDUnitGrid::build(const base::OwnedList<TDUnit>& units)
{
    mValid = false;
    float minX = 0.0f, minY = 0.0f, maxX = 0.0f, maxY = 0.0f;
    bool any = false;
    for (const TDUnit* u : units)
    {
        float x = u->mPos[0], y = u->mPos[1];
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        if (!any)
        {
            minX = maxX = x;
            minY = maxY = y;
            any = true;
        }
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    mMinX = minX;
    mMinY = minY;
    // Cells of at least 64 units, more when the units spread far.
    float span = std::max(maxX - minX, maxY - minY);
    mCell = std::max(64.0f, span / static_cast<float>(kMaxSide - 1));
    if (!std::isfinite(mCell))
        return;
    mColumns = static_cast<i32>((maxX - minX) / mCell) + 1;
    mRows = static_cast<i32>((maxY - minY) / mCell) + 1;
    size_t cells = static_cast<size_t>(mColumns) * static_cast<size_t>(mRows);
    mStart.assign(cells + 1, 0);
    std::vector<i32> cellOf(units.size(), -1);
    for (size_t i = 0; i < units.size(); ++i)
    {
        float x = units[i]->mPos[0], y = units[i]->mPos[1];
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        i32 cx = std::min(mColumns - 1, static_cast<i32>((x - mMinX) / mCell));
        i32 cy = std::min(mRows - 1, static_cast<i32>((y - mMinY) / mCell));
        cellOf[i] = cy * mColumns + cx;
        ++mStart[static_cast<size_t>(cellOf[i]) + 1];
    }
    for (size_t c = 0; c < cells; ++c)
        mStart[c + 1] += mStart[c];
    mItems.assign(static_cast<size_t>(mStart[cells]), 0);
    std::vector<i32> fill(mStart.begin(), mStart.end() - 1);
    for (size_t i = 0; i < units.size(); ++i)
        if (cellOf[i] >= 0)
            mItems[static_cast<size_t>(fill[static_cast<size_t>(cellOf[i])]++)] = static_cast<i32>(i);
    mValid = true;
}

bool TDUnitGrid::query(float x, float y, float reach, std::vector<i32>& out) const
{
    out.clear();
    if (!mValid || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(reach))
        return false;
    if (reach < 0.0f)
        return true;
    float fx0 = std::floor((x - reach - mMinX) / mCell), fx1 = std::floor((x + reach - mMinX) / mCell);
    float fy0 = std::floor((y - reach - mMinY) / mCell), fy1 = std::floor((y + reach - mMinY) / mCell);
    if (fx1 < 0.0f || fy1 < 0.0f || fx0 > static_cast<float>(mColumns - 1) || fy0 > static_cast<float>(mRows - 1))
        return true;
    i32 x0 = static_cast<i32>(std::max(fx0, 0.0f)),
        x1 = static_cast<i32>(std::min(fx1, static_cast<float>(mColumns - 1)));
    i32 y0 = static_cast<i32>(std::max(fy0, 0.0f)), y1 = static_cast<i32>(std::min(fy1, static_cast<float>(mRows - 1)));
    for (i32 cy = y0; cy <= y1; ++cy)
        for (i32 cx = x0; cx <= x1; ++cx)
        {
            size_t c = static_cast<size_t>(cy * mColumns + cx);
            out.insert(out.end(), mItems.begin() + mStart[c], mItems.begin() + mStart[c + 1]);
        }
    std::sort(out.begin(), out.end());
    return true;
}
