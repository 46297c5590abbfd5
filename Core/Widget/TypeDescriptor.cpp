// Type descriptor ids.
#include "Core/Widget/TypeDescriptor.h"

namespace widget
{
TypeDescriptor DeriveTypeDescriptor(TypeDescriptor& base)
{
    TypeDescriptor derived;
    derived.depth = base.depth + 1;
    const u32 n = ++base.count;
    switch (derived.depth)
    {
    case 1: derived.id = n; break;
    case 2: derived.id = (n << 8) | base.id; break;
    case 3: derived.id = (n << 16) | base.id; break;
    case 4: derived.id = (n << 24) | base.id; break;
    default: derived.id = 0; break;
    }
    return derived;
}

bool IsKindOf(const TypeDescriptor& type, const TypeDescriptor& base)
{
    if (&type == &base || base.depth == 0)
        return true;
    if (type.id == 0 || base.id == 0 || type.depth < base.depth)
        return false;
    const u32 mask = base.depth >= 4 ? 0xFFFFFFFFu : (1u << (8 * base.depth)) - 1u;
    return (type.id & mask) == base.id;
}
} // namespace widget
