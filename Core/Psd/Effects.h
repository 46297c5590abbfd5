// Layer effects: the old fixed-layout form "lrFX" and the descriptor form "lfx2".
#pragma once

#include "Core/Psd/LoadContext.h"

namespace psd
{
i32 ReadOldEffects(LoadContext& ctx, LayerRecord& layer, Reader& r);
i32 ReadObjectEffects(LoadContext& ctx, LayerRecord& layer, Reader& r);
} // namespace psd
