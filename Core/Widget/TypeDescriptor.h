// Run-time type ids of widget classes, built on first request from the base class's descriptor.
#pragma once

#include "Core/Base/Types.h"

namespace widget
{
struct TypeDescriptor
{
    u32 id = 0;
    u32 depth = 0;
    u32 count = 0; // descriptors derived from this one so far
};

// A descriptor one level below base: the base's count goes up and names the new class, shifted
// by 8 bits per level above the first and joined with the base's id. Past depth 4 the id is 0,
// so ids depend on the order in which classes first ask for theirs.
TypeDescriptor DeriveTypeDescriptor(TypeDescriptor& base);

// Whether a class of descriptor `type` is the class of `base` or derives from it: a derived id
// repeats its ancestors' ids in its lower bytes. A class past depth 4 (id 0) is known only as
// itself and as a widget.
bool IsKindOf(const TypeDescriptor& type, const TypeDescriptor& base);
} // namespace widget
