// Adjustment, fill and type-tool records of a layer's additional information.
#pragma once

#include "Core/Psd/LoadContext.h"

namespace psd
{
// Reads the record of an adjustment, fill or type key; other keys are left unread (0).
i32 ReadAdjustmentRecord(LoadContext& ctx, LayerRecord& layer, u32 key, Reader& r);
} // namespace psd
