// Command names and buffer growth.
#include "Core/Render/CommandBuffer.h"

namespace render
{
const char* CommandName(u32 opcode)
{
    static const char* const kNames[] = {
        "clear",
        "begin scene",
        "end scene",
        "present",
        "set target",
        "set back buffer",
        "set shader",
        "set variables",
        "set vertex format",
        "set vertex buffer",
        "set index buffer",
        "set blend mode",
        "enable scissor",
        "set scissor rect",
        "set depth",
        "unused 15",
        "draw",
        "draw indexed",
        "end",
    };
    return opcode < sizeof kNames / sizeof kNames[0] ? kNames[opcode] : "unknown command";
}

void CommandBuffer::Resize(u32 newSize, bool keep)
{
    if (newSize <= mSize)
    {
        base::MemoryStream::Resize(newSize, keep);
        return;
    }
    const u32 grown = static_cast<u32>(mSize * 1.5);
    base::MemoryStream::Resize(newSize < grown ? grown : newSize + 1024, keep);
}
} // namespace render
