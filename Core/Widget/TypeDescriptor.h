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
} // namespace widget
