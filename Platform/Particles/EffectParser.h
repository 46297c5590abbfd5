// Reads a ".ptc" effect library (XML, see FORMAT.md) from memory.
#pragma once

#include "Platform/Particles/EffectData.h"

#include <cstddef>
#include <memory>
#include <string>

namespace particles
{
// The library, or null when the text is not a library at all (logged). A damaged emitter is
// logged and kept as a refused entry (null description); the rest of the file still loads.
std::unique_ptr<EffectFile> ParseEffectFile(const char* data, size_t size, const std::string& fileName);
} // namespace particles
