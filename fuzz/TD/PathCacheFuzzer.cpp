// Path caches: any bytes are read or rejected, never trusted.
#include "Source/TD/Level/TDLink.h"
#include "Source/TD/Level/TDPathSet.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TDLink storage[8] = {{0, 1, 0, 5},  {1, 2, 10, 5}, {2, 3, 20, 5}, {3, 4, 30, 5},
                                {4, 5, 40, 5}, {5, 6, 50, 5}, {6, 7, 60, 5}, {7, 8, 70, 5}};
    static std::vector<TDLink*> links = []
    {
        std::vector<TDLink*> list;
        for (TDLink& link : storage)
            list.push_back(&link);
        return list;
    }();
    TDPathSet set;
    (void)set.readCache(std::string(reinterpret_cast<const char*>(data), size), links);
    std::vector<TDPathPoint*> out;
    set.find(links[0], 0, out);
    return 0;
}
