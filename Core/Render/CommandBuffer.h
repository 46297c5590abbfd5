// The recording of one frame's render commands: a memory stream that grows geometrically.
#pragma once

#include "Core/Base/Stream.h"

namespace render
{
// Command opcodes; each is a u32 followed by its arguments. Object references are pointer-sized.
enum CommandEnum : u32
{
    CMD_CLEAR = 0,             // u32 flags, 4 x f32 colour, f32 depth, u32 stencil
    CMD_BEGIN_SCENE = 1,       //
    CMD_END_SCENE = 2,         //
    CMD_PRESENT = 3,           //
    CMD_SET_TARGET = 4,        // Texture*
    CMD_SET_BACK_BUFFER = 5,   //
    CMD_SET_SHADER = 6,        // ShaderImpl*
    CMD_SET_VARIABLES = 7,     // ShaderImpl*, u8 n, n x (u8 index, value)
    CMD_SET_VERTEX_FORMAT = 8, // u32 format id
    CMD_SET_VERTEX_BUFFER = 9, // Buffer*
    CMD_SET_INDEX_BUFFER = 10, // Buffer*
    CMD_SET_BLEND_MODE = 11,   // u32 mode
    CMD_ENABLE_SCISSOR = 12,   // u8 enabled
    CMD_SET_SCISSOR_RECT = 13, // 4 x i32 x, y, width, height (pixels)
    CMD_SET_DEPTH = 14,        // u8 enabled, then u8 write when enabled
    CMD_UNUSED_15 = 15,        // never recorded; skipped by the player
    CMD_DRAW = 16,             // u32 type, u32 start vertex, u32 primitive count
    CMD_DRAW_INDEXED = 17,     // u32 type, u32 index size, u32 start index, u32 count, u32 min vertex, u32 vertices
    CMD_END = 18,              //
};

// The command's name for the log ("draw indexed"); "unknown command" outside the list.
const char* CommandName(u32 opcode);

class CommandBuffer : public base::MemoryStream
{
public:
    // New size = 1.5 x the current size when that suffices, else the needed size + 1024.
    void Resize(u32 newSize, bool keep) override;

    // Typed writes and reads; each returns false when fewer bytes than asked moved.
    bool WriteU32(u32 value) { return Write(&value, 4) == 4; }
    bool WriteU8(u8 value) { return Write(&value, 1) == 1; }
    bool WriteF32(float value) { return Write(&value, 4) == 4; }
    bool WritePointer(const void* value) { return Write(&value, sizeof value) == sizeof value; }
    bool ReadU32(u32& value) { return Read(&value, 4) == 4; }
    bool ReadU8(u8& value) { return Read(&value, 1) == 1; }
    bool ReadF32(float& value) { return Read(&value, 4) == 4; }
    template <class T> bool ReadPointer(T*& value)
    {
        void* raw = nullptr;
        if (Read(&raw, sizeof raw) != sizeof raw)
            return false;
        value = static_cast<T*>(raw);
        return true;
    }
    void Rewind() { Seek(0, 0); }
};
} // namespace render
