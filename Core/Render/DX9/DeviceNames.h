// The device layer's names as the backend's headers use them, declared without the device layer
// itself (Platform/Gpu/Device.h defines them).
#pragma once

#include "Core/Base/Types.h"

namespace gpu
{
class Device;
using TextureId = u32;
using BufferId = u32;
using ProgramId = u32;
enum class TextureFormat : u32;
enum class TextureUsage : u32;
enum class BufferKind : u32;
} // namespace gpu
