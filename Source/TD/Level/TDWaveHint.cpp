// The next-wave countdown.
#include "Source/TD/Level/TDWaveHint.h"

#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDPoint.h"

#include <algorithm>

void TDWaveHint::addButton(const TDPoint* p)
{
    if (!p)
        return;
    Button b;
    b.width = iconWidth;
    b.height = iconHeight;
    b.x = tdtext::truncToInt(std::min(std::max(p->x, 0.0f), 1024.0f));
    b.y = tdtext::truncToInt(std::min(std::max(p->y, 0.0f), 768.0f));
    if (b.x + b.width > 1024)
        b.x = 1024 - b.width;
    if (b.y < 100)
        b.y = 100;
    else if (b.y + b.height > 668)
        b.y = 668 - b.height;
    buttons.push_back(b);
}
