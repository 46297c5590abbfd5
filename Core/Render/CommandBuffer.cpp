// Command buffer growth.
#include "Core/Render/CommandBuffer.h"

namespace render
{
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
