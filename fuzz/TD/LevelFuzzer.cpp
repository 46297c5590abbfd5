// Level files: parsing, spot layout and path building must survive any text.
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDProfileStore.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TDMemoryFileSource files;
    static TDDocumentProfileStore profiles;
    static bool installed = (TDFileSource::setCurrent(&files), true);
    static TDMap battle(TDBattleServices(), profiles);
    TDMap* map = &battle;
    (void)installed;
    // Path building is quadratic in the points; a level file is never this large.
    if (size > 16384)
        return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    if (map->parseLevelText(text, L"fuzz.xml") == QL_OK)
        map->mPaths.buildPaths(map->network(), map->mWaves);
    return 0;
}
