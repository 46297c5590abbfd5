// The sound sheet parser on arbitrary text.
#include "Core/Media/Sound/SoundSheet.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    for (const k2::SoundSheetRow& row : k2::ParseSoundSheet(text))
        if (row.tag.empty() || row.tag[0] == '#' || row.tag.find(' ') != std::string::npos)
            __builtin_trap();
    return 0;
}
