// Prototype graphics for the battle's timing.
#include "Source/TD/Draw/TDSpriteTableMetrics.h"

#include "Source/TD/Data/TDPrototypes.h"
#include "Source/TD/Sprites/TDResources.h"

void TDSpriteTableMetrics::fill(TDSpriteTable& table, TDResources& resources, const TDPrototypes& store)
{
    table.clear();
    auto add = [&](const TDPrototype& p)
    {
        if (!p.psd.empty() || !p.img.empty())
            table.set(p.id, resources.getGraphic(p.psd, p.img, p.id));
    };
    for (const TDPrototype* p : store.all)
    {
        add(*p);
        for (const TDPrototype* tier : p->tiers)
            add(*tier);
    }
}
